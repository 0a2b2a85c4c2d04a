#pragma once
// Small pieces the forms share: spinners changed by their arrows only, the
// flat picture buttons (first letter of the caption in the picture), the
// window's report of pipeline stages, the modal message box the scene speaks
// through, and conversions between the core's pictures and colours and Qt's.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <functional>

#include "platform/Color.h"
#include "platform/Picture.h"
#include "platform/RgbaPicture.h"
#include "scene/Messages.h"
#include "scene/Progress.h"

namespace vantrix {

// A spin box that takes a typed number when the user presses Enter or leaves
// it, not at every digit, and its arrows' steps at once.
class TArrowSpinBox : public QSpinBox {
  Q_OBJECT
 public:
  TArrowSpinBox(const QString& name, int min, int max, int step, QWidget* parent);
};

// A field that shows a slider's number and takes a typed one on Enter or when
// left: a number outside the slider's range is brought into it, text that is
// no number is said so ("'abc' is not a valid integer value") and selected.
void BindNumberField(QLineEdit* field, QSlider* slider);

// The slider in a row with a small field (named after it, "TrackBar2Number")
// that shows its number and takes a typed one as BindNumberField does; the
// field is enabled with the slider.
QWidget* SliderWithNumber(QSlider* slider);

// The bevel profiles (straight, round, cove, two steps) as a row of small
// pictures of their cross-sections, one of them pressed; a click or the arrow
// keys choose. Emits activated with the profile's number.
class TProfileRow : public QWidget {
  Q_OBJECT
 public:
  TProfileRow(const QString& name, QWidget* parent);
  int currentIndex() const;
  void setCurrentIndex(int index);

 signals:
  void activated(int index);

 private:
  class QButtonGroup* group_;
};

// A flat button named `name` whose text opens with a large blue letter
// ("F&ont Selection"). The letter after '&' is its Alt shortcut, underlined;
// each page gives its buttons letters of their own, clear of the menu bar's.
QToolButton* MakeSpeedButton(const QString& name, const QString& text, QWidget* parent);

// Named controls of the pages, as the window's tests find them.
QSlider* MakeTrackBar(const QString& name, int min, int max, int page, QWidget* parent,
                      Qt::Orientation orientation = Qt::Horizontal);
QCheckBox* MakeCheckBox(const QString& name, const QString& caption, bool checked, QWidget* parent);
QLabel* MakeLabel(const QString& text, QWidget* parent, bool bold = false);
// A labelled list of the page's item texts in row `row` of a group's grid.
QComboBox* AddList(QGroupBox* group, QGridLayout* grid, const QString& name, const QString& label,
                   const char* const* items, int count, int row);
// The light marker: a small sun with a transparent background, ringed when
// it has the keyboard focus.
QPixmap MarkerPicture(qreal dpr, bool focused = false);

class TWindowProgress : public TProgress {
 public:
  TWindowProgress(QProgressBar* bar, QLabel* stage) : bar_(bar), stage_(stage) {}
  void SetStatus(const std::string& text) override;
  void SetPosition(int position) override;

 private:
  QProgressBar* bar_;
  QLabel* stage_;
};

class TBoxMessages : public TMessageSink {
 public:
  explicit TBoxMessages(QWidget* owner, std::function<void(const QString&)> note = {})
      : owner_(owner), note_(std::move(note)) {}
  void ShowMessage(const std::string& text) override;
  void ShowNote(const std::string& text) override;

 private:
  QWidget* owner_;
  std::function<void(const QString&)> note_;
};

void ShowMessageBox(QWidget* owner, const QString& text);

// OK (Button1, the default) and Cancel (Button2), accepting and rejecting the dialog.
QDialogButtonBox* MakeOkCancel(QDialog* dialog);

// What a list shows for a file without a picture: caption centred on white in
// a dark green frame.
QPixmap PlaceholderPicture(int width, int height, const QString& caption);

QColor QColorOf(TColor c);
TColor TColorOf(const QColor& c);
// A 24- or 32-bit picture as a Qt image (copied).
QImage ImageOfPicture(const TPicture& picture);
// A straight-alpha RGBA picture as a QImage of the same size.
QImage ImageOfRgba(const TRgbaPicture& picture);
// A Qt image as a 24-bit picture.
TPicture PictureOfImage(const QImage& image);

}  // namespace vantrix
