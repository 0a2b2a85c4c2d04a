#include "app/forms/ActualSize.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "app/forms/FormWidgets.h"

namespace vantrix {

TActualSizeForm::TActualSizeForm(QWidget* owner) : QWidget(owner, Qt::Tool) {
  setObjectName("ActualSizeForm");
  setWindowTitle("Actual Size");
  auto* column = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  checker_ = new QCheckBox("&Checkerboard behind the picture", this);
  checker_->setObjectName("CheckerBox");
  checker_->setChecked(true);
  checker_->setToolTip("Off: the page colour of the Background page");
  auto* refresh = new QPushButton("&Refresh", this);
  refresh->setObjectName("RefreshButton");
  refresh->setShortcut(QKeySequence(Qt::Key_F5));
  row->addWidget(checker_);
  row->addStretch(1);
  row->addWidget(refresh);
  column->addLayout(row);
  auto* scroll = new QScrollArea(this);
  picture_ = new QLabel(scroll);
  picture_->setObjectName("ActualPicture");
  picture_->setAlignment(Qt::AlignCenter);
  scroll->setWidget(picture_);
  scroll->setWidgetResizable(true);
  scroll->setAlignment(Qt::AlignCenter);
  column->addWidget(scroll, 1);
  connect(checker_, &QCheckBox::toggled, this, &TActualSizeForm::Compose);
  connect(refresh, &QPushButton::clicked, this, &TActualSizeForm::RefreshRequested);
  resize(640, 360);
}

void TActualSizeForm::SetPicture(const TRgbaPicture& picture, TColor page) {
  image_ = ImageOfRgba(picture);
  page_ = page;
  setWindowTitle(QString("Actual Size: %1 x %2 pixels").arg(picture.Width).arg(picture.Height));
  Compose();
}

void TActualSizeForm::Compose() {
  if (image_.isNull()) return;
  shown_ = QImage(image_.size(), QImage::Format_RGB32);
  QPainter p(&shown_);
  if (checker_->isChecked()) {
    // Eight-pixel squares in two light greys, as image editors draw transparency.
    QPixmap tile(16, 16);
    tile.fill(QColor(255, 255, 255));
    QPainter t(&tile);
    t.fillRect(0, 0, 8, 8, QColor(204, 204, 204));
    t.fillRect(8, 8, 8, 8, QColor(204, 204, 204));
    t.end();
    p.fillRect(shown_.rect(), QBrush(tile));
  } else {
    p.fillRect(shown_.rect(), QColorOf(page_));
  }
  p.drawImage(0, 0, image_);
  p.end();
  QPixmap pixmap = QPixmap::fromImage(shown_);
  // One picture pixel to one device pixel, on any screen.
  pixmap.setDevicePixelRatio(devicePixelRatioF());
  picture_->setPixmap(pixmap);
}

}  // namespace vantrix
