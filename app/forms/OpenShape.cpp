#include "app/forms/OpenShape.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
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
  fileName_ = selected_ ? ChosenShapeFile(ShapesFolder(), item->text().toStdString()) : std::string();
  QDialog::done(result);
}

}  // namespace vantrix
