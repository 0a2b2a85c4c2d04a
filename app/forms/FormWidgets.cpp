#include "app/forms/FormWidgets.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <algorithm>
#include <cstring>

#include "app/logic/PreviewGeometry.h"
#include "app/logic/TypedValues.h"

namespace vantrix {

TArrowSpinBox::TArrowSpinBox(const QString& name, int min, int max, int step, QWidget* parent)
    : QSpinBox(parent) {
  setObjectName(name);
  setRange(min, max);
  setSingleStep(step);
  setKeyboardTracking(false);
}

void BindNumberField(QLineEdit* field, QSlider* slider) {
  field->setReadOnly(false);
  QObject::connect(field, &QLineEdit::editingFinished, field, [field, slider] {
    if (!field->isModified()) return;
    field->setModified(false);
    try {
      const int32_t value = ParseInt(field->text().toStdString());
      slider->setValue(std::clamp(value, slider->minimum(), slider->maximum()));
      field->setText(QString::number(slider->value()));
    } catch (const TConversionError& e) {
      ShowMessageBox(field->window(), QString::fromStdString(e.what()));
      field->setFocus();
      field->selectAll();
    }
  });
}

QToolButton* MakeSpeedButton(const QString& name, QChar letter, const QString& caption, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setAutoRaise(true);
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  const qreal dpr = parent ? parent->devicePixelRatioF() : qApp->devicePixelRatio();
  QPixmap picture(QSize(20, 20) * dpr);
  picture.setDevicePixelRatio(dpr);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  QFont font = button->font();
  font.setBold(true);
  font.setPointSize(font.pointSize() + 3);
  p.setFont(font);
  p.setPen(QColor(0, 0, 128));
  p.drawText(QRect(0, 0, 20, 20), Qt::AlignRight | Qt::AlignVCenter, QString(letter));
  p.end();
  button->setIcon(QIcon(picture));
  button->setText(caption);
  return button;
}

// From the window's thread the change is made at once; from another it is
// posted to the window's.
void TWindowProgress::SetStatus(const std::string& text) {
  QMetaObject::invokeMethod(stage_,
                            [stage = stage_, t = QString::fromStdString(text)] { stage->setText(t); });
}

void TWindowProgress::SetPosition(int position) {
  QMetaObject::invokeMethod(bar_, [bar = bar_, position] { bar->setValue(position); });
}

void ShowMessageBox(QWidget* owner, const QString& text) {
  QMessageBox::warning(owner, QApplication::applicationName(), text);
}

QPixmap PlaceholderPicture(int width, int height, const QString& caption) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  p.setPen(QColor(0, 128, 0));
  p.drawRect(0, 0, width - 1, height - 1);
  p.setPen(Qt::black);
  p.drawText(pixmap.rect(), Qt::AlignCenter, caption);
  return pixmap;
}

void TBoxMessages::ShowMessage(const std::string& text) {
  ShowMessageBox(owner_, QString::fromStdString(text));
}

void TBoxMessages::ShowNote(const std::string& text) {
  if (note_) note_(QString::fromStdString(text));
}

QColor QColorOf(TColor c) {
  return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c));
}

TColor TColorOf(const QColor& c) {
  return MakeColor(static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
                   static_cast<uint8_t>(c.blue()));
}

QImage ImageOfPicture(const TPicture& picture) {
  const TPicture rgb = picture.BitsPerPixel() == 24 ? picture : picture.Converted(24);
  QImage image(rgb.Width(), rgb.Height(), QImage::Format_BGR888);
  for (int y = 0; y < rgb.Height(); ++y) std::memcpy(image.scanLine(y), rgb.Row(y), size_t(rgb.Width()) * 3);
  return image;
}

TPicture PictureOfImage(const QImage& image) {
  const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
  TPicture picture(bgr.width(), bgr.height(), 24);
  for (int y = 0; y < bgr.height(); ++y)
    std::memcpy(picture.Row(y), bgr.constScanLine(y), size_t(bgr.width()) * 3);
  return picture;
}

QDialogButtonBox* MakeOkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("Button1");
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("Button2");
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

QSlider* MakeTrackBar(const QString& name, int min, int max, int page, QWidget* parent,
                      Qt::Orientation orientation) {
  auto* s = new QSlider(orientation, parent);
  s->setObjectName(name);
  s->setRange(min, max);
  s->setPageStep(page);
  s->setTickPosition(orientation == Qt::Horizontal ? QSlider::TicksBelow : QSlider::TicksRight);
  s->setTickInterval(std::max(1, (max - min) / 20));
  if (orientation == Qt::Horizontal) s->setMinimumWidth(220);
  return s;
}

QCheckBox* MakeCheckBox(const QString& name, const QString& caption, bool checked, QWidget* parent) {
  auto* c = new QCheckBox(caption, parent);
  c->setObjectName(name);
  c->setChecked(checked);
  return c;
}

QComboBox* AddList(QGroupBox* group, QGridLayout* grid, const QString& name, const QString& label,
                   const char* const* items, int count, int row) {
  auto* combo = new QComboBox(group);
  combo->setObjectName(name);
  for (int i = 0; i < count; ++i) combo->addItem(items[i]);
  grid->addWidget(MakeLabel(label, group), row, 0);
  grid->addWidget(combo, row, 1);
  return combo;
}

QLabel* MakeLabel(const QString& text, QWidget* parent, bool bold) {
  auto* l = new QLabel(text, parent);
  if (bold) {
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
  }
  return l;
}

QPixmap MarkerPicture(qreal dpr) {
  QPixmap pixmap(QSize(kMarkerSize, kMarkerSize) * dpr);
  pixmap.setDevicePixelRatio(dpr);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(160, 96, 0), 2));
  for (int i = 0; i < 8; ++i) {
    p.save();
    p.translate(16, 16);
    p.rotate(i * 45);
    p.drawLine(QPointF(10, 0), QPointF(15, 0));
    p.restore();
  }
  p.setBrush(QColor(255, 208, 0));
  p.drawEllipse(QPointF(16, 16), 8, 8);
  return pixmap;
}

}  // namespace vantrix
