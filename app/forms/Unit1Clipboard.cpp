// Edit > Copy Picture: the button at the export size, with true alpha, for
// pasting straight into an image editor or a page builder.

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <functional>
#include <memory>

#include "app/forms/ActualSize.h"
#include "app/forms/CaptionEdit.h"
#include "app/forms/Unit1.h"
#include "imaging/Export.h"
#include "platform/PngCodec.h"

namespace vantrix {

// Renders the export picture with alpha on the export thread; `then` gets it
// (and its PNG) on the window's thread.
void TForm1::RenderExportPicture(std::function<void(const TRgbaPicture&, const std::vector<uint8_t>&)> then) {
  if (!SnapshotForExport()) return;
  const TCaption& caption = exportCaption_;
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
      [this, png, rgba, then = std::move(then)](const std::string& error) {
        if (!error.empty()) {
          ShowMessageBox(this, QString::fromStdString(error));
          return;
        }
        schedule_.StatusDone(scene_->Params.RDelay);
        then(*rgba, *png);
      });
}

void TForm1::CopyPicture1Click() {
  RenderExportPicture([this](const TRgbaPicture& rgba, const std::vector<uint8_t>& png) {
    auto* picture = new QMimeData;
    picture->setData("image/png", QByteArray(reinterpret_cast<const char*>(png.data()),
                                             static_cast<qsizetype>(png.size())));
    picture->setImageData(ImageOfRgba(rgba));  // for programs that take no PNG
    QGuiApplication::clipboard()->setMimeData(picture);
    messages_->ShowNote("Picture copied: " + std::to_string(rgba.Width) + " x " +
                        std::to_string(rgba.Height) + " pixels");
  });
}

void TForm1::ActualSize1Click() {
  if (!actualSize_) {
    actualSize_ = new TActualSizeForm(this);
    connect(actualSize_, &TActualSizeForm::RefreshRequested, this, &TForm1::ActualSize1Click);
  }
  RenderExportPicture([this](const TRgbaPicture& rgba, const std::vector<uint8_t>&) {
    actualSize_->SetPicture(rgba, scene_->Params.BkgColor);
    actualSize_->show();
    actualSize_->raise();
    actualSize_->activateWindow();
  });
}

}  // namespace vantrix
