#pragma once
// The Actual Size window: the export picture, with its true alpha, at one
// picture pixel per device pixel, over a checkerboard or the page colour, so
// that a designer sees exactly what a page will show.

#include <QWidget>

#include "platform/Color.h"
#include "platform/RgbaPicture.h"

class QCheckBox;
class QLabel;

namespace vantrix {

class TActualSizeForm : public QWidget {
  Q_OBJECT
 public:
  explicit TActualSizeForm(QWidget* owner);

  // Shows picture over the checkerboard or page.
  void SetPicture(const TRgbaPicture& picture, TColor page);
  // The picture as drawn in the window, in device pixels.
  QImage Shown() const { return shown_; }

 signals:
  void RefreshRequested();

 private:
  void Compose();

  QCheckBox* checker_ = nullptr;
  QLabel* picture_ = nullptr;
  QImage image_;  // straight RGBA at the export size
  TColor page_{};
  QImage shown_;
};

}  // namespace vantrix
