#include "app/forms/OpenShape.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <filesystem>

#include "app/forms/FormWidgets.h"
#include "app/logic/ShapeList.h"

namespace vantrix {

namespace {

constexpr int kPreviewWidth = 120;
constexpr int kPreviewHeight = 40;

QPixmap PreviewOf(const std::string& file) {
  const TPicture picture = ReadShapePreview(file);
  if (picture.Empty()) return PlaceholderPicture(kPreviewWidth, kPreviewHeight, "No Icon");
  return QPixmap::fromImage(ImageOfPicture(picture));
}

struct TBuiltInOutline {
  int Type;
  const char* Caption;
};
constexpr TBuiltInOutline kBuiltIns[] = {
    {1, "Rectangle"}, {2, "Rounded"}, {3, "Slightly Rounded"}, {4, "Chamfered"}, {5, "Slightly Chamfered"},
    {6, "Ellipse"},   {7, "Circle"}};

// A picture of the outline in the style of the shape files' previews.
QPixmap BuiltInPreview(int type, qreal dpr) {
  QPixmap pixmap(QSize(kPreviewWidth, kPreviewHeight) * dpr);
  pixmap.setDevicePixelRatio(dpr);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0, 0, 96), 1.5));
  p.setBrush(QColor(64, 96, 192));
  const QRectF box(8, 6, kPreviewWidth - 16, kPreviewHeight - 12);
  const qreal h = box.height();
  switch (type) {
    case 1:
      p.drawRect(box);
      break;
    case 2:
    case 3: {  // corner radius as the button's: the height over 4 or 8, times the square root of 2
      const qreal r = std::sqrt(2.0) * h / (type == 2 ? 4 : 8);
      p.drawRoundedRect(box, r, r);
      break;
    }
    case 4:
    case 5: {
      const qreal c = h / (type == 4 ? 4 : 8);
      p.drawPolygon(QPolygonF({box.topLeft() + QPointF(c, 0), box.topRight() - QPointF(c, 0),
                               box.topRight() + QPointF(0, c), box.bottomRight() - QPointF(0, c),
                               box.bottomRight() - QPointF(c, 0), box.bottomLeft() + QPointF(c, 0),
                               box.bottomLeft() - QPointF(0, c), box.topLeft() + QPointF(0, c)}));
      break;
    }
    case 6:
      p.drawEllipse(box);
      break;
    default:
      p.drawEllipse(box.center(), h / 2, h / 2);
      break;
  }
  return pixmap;
}

}  // namespace

TOpenShForm::TOpenShForm(QWidget* parent) : QDialog(parent) {
  setObjectName("OpenShForm");
  setWindowTitle(" Open 3D Button Shape");
  setModal(true);
  resize(560, 380);
  ListView1 = new QListWidget(this);
  ListView1->setObjectName("ListView1");
  ListView1->setViewMode(QListView::IconMode);
  ListView1->setIconSize(QSize(kPreviewWidth, kPreviewHeight));
  ListView1->setGridSize(QSize(kPreviewWidth + 24, kPreviewHeight + 36));
  ListView1->setMovement(QListView::Static);
  ListView1->setResizeMode(QListView::Adjust);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(ListView1, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  CheckBox1 = new QCheckBox(" Sorted", this);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox1->setChecked(true);
  connect(CheckBox1, &QCheckBox::toggled, this, &TOpenShForm::ListShapes);
  QDialogButtonBox* buttons = MakeOkCancel(this);
  auto* row = new QHBoxLayout;
  row->addWidget(CheckBox1);
  row->addStretch(1);
  row->addWidget(buttons);
  auto* column = new QVBoxLayout(this);
  column->addWidget(ListView1, 1);
  column->addLayout(row);
}

std::string TOpenShForm::ShapesFolder() const {
  return ProgramFolder + kShapesFolderName;
}

void TOpenShForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ListShapes();
}

void TOpenShForm::ListShapes() {
  // A re-listing keeps the selected shape selected.
  const QListWidgetItem* current = ListView1->currentItem();
  const QString kept = current && current->isSelected() ? current->text() : QString();
  ListView1->clear();
  const std::string folder = ShapesFolder();
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) {
    ListView1->setStyleSheet("QListWidget { background: palette(button); }");
    ShowMessageBox(this, QString("Directory: \"%1\" does not exist").arg(QString::fromStdString(folder)));
    return;
  }
  ListView1->setStyleSheet(QString());
  for (const TBuiltInOutline& outline : kBuiltIns) {
    auto* item =
        new QListWidgetItem(QIcon(BuiltInPreview(outline.Type, devicePixelRatioF())), outline.Caption);
    item->setData(Qt::UserRole, outline.Type);
    ListView1->addItem(item);
    if (item->text() == kept) ListView1->setCurrentItem(item);
  }
  for (const TShapeEntry& entry : vantrix::ListShapes(folder, CheckBox1->isChecked())) {
    QPixmap picture;
    try {
      picture = PreviewOf(entry.File);
    } catch (const std::exception& e) {
      ShowMessageBox(this, e.what());  // a damaged preview ends the listing
      break;
    }
    auto* item = new QListWidgetItem(QIcon(picture), QString::fromStdString(entry.Caption));
    ListView1->addItem(item);
    if (item->text() == kept) ListView1->setCurrentItem(item);
  }
}

void TOpenShForm::done(int result) {
  const QListWidgetItem* item = ListView1->currentItem();
  selected_ = item && item->isSelected();
  builtIn_ = selected_ ? item->data(Qt::UserRole).toInt() : 0;
  fileName_ = selected_ && builtIn_ == 0 ? ChosenShapeFile(ShapesFolder(), item->text().toStdString())
                                         : std::string();
  QDialog::done(result);
}

}  // namespace vantrix
