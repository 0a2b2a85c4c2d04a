// Edit > Copy Picture: the button at the export size, with true alpha, for
// pasting straight into an image editor or a page builder.

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <memory>

#include "app/forms/CaptionEdit.h"
#include "app/forms/Unit1.h"
#include "imaging/Export.h"
#include "platform/PngCodec.h"

namespace vantrix {

namespace {

// Programs that take no PNG get a plain image; QImage wants straight RGBA rows.
QImage ImageOfRgba(const TRgbaPicture& picture) {
  QImage image(picture.Width, picture.Height, QImage::Format_RGBA8888);
  for (int y = 0; y < picture.Height; ++y)
    std::copy_n(picture.Pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(picture.Width) * 4,
                static_cast<size_t>(picture.Width) * 4, image.scanLine(y));
  return image;
}

}  // namespace

void TForm1::CopyPicture1Click() {
  if (exportRunning_) return;  // the export's scene is busy; the user presses again after it
  const TCaption caption = Edit1->Caption();
  if (caption.Empty()) {
    ShowMessageBox(this, "Sorry, there is nothing to export");
    return;
  }
  exportScene_ = std::make_shared<TScene>();
  CopySceneLook(*scene_, *exportScene_);
  exportScene_->Messages = &exportLog_;
  const int width = size_.ExportWidth, height = size_.ExportHeight;
  auto png = std::make_shared<std::vector<uint8_t>>();
  auto rgba = std::make_shared<TRgbaPicture>();
  ProgressBar1->setValue(0);
  QApplication::setOverrideCursor(Qt::BusyCursor);
  RunExportStep(
      [scene = exportScene_, caption, width, height, png, rgba, progress = progress_.get()] {
        const TExportPhases phases = RenderExportPhases(*scene, caption, progress, true);
        *rgba = ExportAlphaPicture(phases.Black1, phases.White1, width, height);
        *png = EncodePng(*rgba);
      },
      [this, png, rgba](const std::string& error) {
        if (!error.empty()) {
          ShowMessageBox(this, QString::fromStdString(error));
          return;
        }
        auto* picture = new QMimeData;
        picture->setData("image/png", QByteArray(reinterpret_cast<const char*>(png->data()),
                                                 static_cast<qsizetype>(png->size())));
        picture->setImageData(ImageOfRgba(*rgba));
        QGuiApplication::clipboard()->setMimeData(picture);
        schedule_.StatusDone(scene_->Params.RDelay);
        messages_->ShowNote("Picture copied: " + std::to_string(rgba->Width) + " x " +
                            std::to_string(rgba->Height) + " pixels");
      });
}

}  // namespace vantrix
