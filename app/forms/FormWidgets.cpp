#include "app/forms/FormWidgets.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionToolButton>
#include <QToolButton>
#include <algorithm>
#include <cstring>
#include <utility>

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

namespace {

// Keeps a slider's number field enabled exactly when the slider is.
class TEnabledFollower : public QObject {
 public:
  TEnabledFollower(QSlider* slider, QWidget* follower) : QObject(slider), follower_(follower) {
    slider->installEventFilter(this);
    follower->setEnabled(slider->isEnabled());
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::EnabledChange)
      follower_->setEnabled(static_cast<QWidget*>(watched)->isEnabled());
    return false;
  }

 private:
  QWidget* follower_;
};

}  // namespace

namespace {

// The cross-section of a bevel: from the cap (top left) out and down to the
// wall (bottom right), as the profile cuts it.
QIcon ProfileIcon(int profile, qreal dpr) {
  constexpr int kSide = 28;
  QPixmap pixmap(QSize(kSide, kSide) * dpr);
  pixmap.setDevicePixelRatio(dpr);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath path(QPointF(2, 4));
  const QPointF from(10, 4), to(26, 20);
  path.lineTo(from);
  switch (profile) {
    case 1:  // round: a convex quarter circle
      path.arcTo(QRectF(from.x() - 16, from.y(), 32, 32), 90, -90);
      break;
    case 2:  // cove: a concave quarter circle
      path.arcTo(QRectF(from.x(), from.y() - 16, 32, 32), 180, 90);
      break;
    case 3:  // two steps
      path.lineTo(12, 4), path.lineTo(12, 12), path.lineTo(19, 12), path.lineTo(19, 20), path.lineTo(to);
      break;
    default:
      path.lineTo(to);
      break;
  }
  path.lineTo(26, 26), path.lineTo(2, 26), path.closeSubpath();
  p.setPen(QPen(QColor(0, 0, 96), 1.2));
  p.setBrush(QColor(120, 150, 210));
  p.drawPath(path);
  return QIcon(pixmap);
}

}  // namespace

TProfileRow::TProfileRow(const QString& name, QWidget* parent)
    : QWidget(parent), group_(new QButtonGroup(this)) {
  setObjectName(name);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  const char* names[] = {"Straight", "Round", "Cove", "Two Steps"};
  for (int i = 0; i < 4; ++i) {
    auto* button = new QToolButton(this);
    button->setObjectName(name + "_" + QString::number(i));
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setIcon(ProfileIcon(i, parent ? parent->devicePixelRatioF() : qApp->devicePixelRatio()));
    button->setIconSize(QSize(28, 28));
    button->setToolTip(names[i]);
    button->setAccessibleName(names[i]);
    group_->addButton(button, i);
    row->addWidget(button);
  }
  row->addStretch(1);
  group_->button(0)->setChecked(true);
  connect(group_, &QButtonGroup::idClicked, this, &TProfileRow::activated);
}

int TProfileRow::currentIndex() const {
  return group_->checkedId();
}

void TProfileRow::setCurrentIndex(int index) {
  if (QAbstractButton* b = group_->button(std::clamp(index, 0, 3))) b->setChecked(true);
}

QWidget* SliderWithNumber(QSlider* slider) {
  auto* row = new QWidget(slider->parentWidget());
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* field = new QLineEdit(row);
  field->setObjectName(slider->objectName() + "Number");
  field->setAccessibleName(slider->accessibleName());
  field->setAlignment(Qt::AlignRight);
  field->setFixedWidth(field->fontMetrics().horizontalAdvance(QString(5, '0')) + 12);
  field->setText(QString::number(slider->value()));
  QObject::connect(slider, &QSlider::valueChanged, field, [field](int value) {
    field->setText(QString::number(value));
    field->setModified(false);
  });
  BindNumberField(field, slider);
  new TEnabledFollower(slider, field);
  layout->addWidget(slider, 1);
  layout->addWidget(field);
  return row;
}

namespace {

// The first letter large, bold and navy, and the rest of the text right after
// it, on a flat tool button's panel.
class TSpeedButton : public QToolButton {
 public:
  using QToolButton::QToolButton;

  QSize sizeHint() const override {
    const auto [first, rest] = Parts();
    const QFontMetrics big(LetterFont()), plain(font());
    const int width = big.horizontalAdvance(first) + plain.horizontalAdvance(rest) + 2 * kMargin;
    return {width, std::max(big.height(), plain.height()) + 2 * kMargin};
  }
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    style()->drawComplexControl(QStyle::CC_ToolButton, &option, &p, this);
    const int flags =
        Qt::AlignLeft | Qt::AlignVCenter |
        (style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this) ? Qt::TextShowMnemonic
                                                                         : Qt::TextHideMnemonic);
    const auto [first, rest] = Parts();
    QRect area = rect().adjusted(kMargin, 0, -kMargin, 0);
    const QColor text =
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText);
    p.setFont(LetterFont());
    p.setPen(isEnabled() ? QColor(0, 0, 128) : text);
    QRect used;
    p.drawText(area, flags, first, &used);
    area.setLeft(used.right() + 1);
    p.setFont(font());
    p.setPen(text);
    p.drawText(area, flags, rest);
  }

 private:
  static constexpr int kMargin = 4;
  QFont LetterFont() const {
    QFont f = font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() + 3);
    return f;
  }
  // The first letter (with its '&' when it is the shortcut) and the rest.
  std::pair<QString, QString> Parts() const {
    const QString t = text();
    const int n = t.startsWith('&') ? 2 : 1;
    return {t.left(n), t.mid(n)};
  }
};

}  // namespace

QToolButton* MakeSpeedButton(const QString& name, const QString& text, QWidget* parent) {
  auto* button = new TSpeedButton(parent);
  button->setObjectName(name);
  button->setAutoRaise(true);
  button->setText(text);  // with '&', also the Alt shortcut
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

QImage ImageOfRgba(const TRgbaPicture& picture) {
  QImage image(picture.Width, picture.Height, QImage::Format_RGBA8888);
  const size_t row = static_cast<size_t>(picture.Width) * 4;
  for (int y = 0; y < picture.Height; ++y)
    std::copy_n(picture.Pixels.data() + static_cast<size_t>(y) * row, row, image.scanLine(y));
  return image;
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

QPixmap MarkerPicture(qreal dpr, bool focused) {
  QPixmap pixmap(QSize(kMarkerSize, kMarkerSize) * dpr);
  pixmap.setDevicePixelRatio(dpr);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  if (focused) {
    // A ring of dashes, dark under light, readable on any preview colour.
    for (const auto& [color, offset] : {std::pair{QColor(255, 255, 255), 0}, std::pair{QColor(0, 0, 0), 3}}) {
      QPen pen(color, 1.5, Qt::CustomDashLine);
      pen.setDashPattern({3, 3});
      pen.setDashOffset(offset);
      p.setPen(pen);
      p.drawEllipse(QPointF(16, 16), 14.5, 14.5);
    }
  }
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
