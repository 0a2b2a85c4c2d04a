// The main window's preview: rebuilding and re-rendering the scene, shrinking
// the picture into the preview in device pixels (a 2x screen shows every
// rendered pixel), the two-phase roll-over view, the light marker and the
// export-size preview.

#include <malloc.h>

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>

#include "app/forms/CaptionEdit.h"
#include "app/forms/Unit1.h"
#include "app/logic/PreviewGeometry.h"
#include "app/logic/TypedValues.h"
#include "platform/Rounding.h"
#include "resample/Resample.h"

namespace vantrix {

namespace {

// Keeps the hourglass for the lifetime of a run.
struct TWaitCursor {
  TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

void TForm1::RebuildPreview(QLabel* target) {
  if (building_ || InsideRun()) {
    DeferRebuild(0);  // asked for inside a run: the next free tick does it
    return;
  }
  schedule_.RebuildStarted();
  ProgressBar1->setValue(0);
  schedule_.StatusCleared();
  const TCaption caption = Edit1->Caption();
  if (caption.Empty() || (scene_->Params.ButType == 0 && TScene::CountNonBlank(caption.TextUtf8()) < 1)) {
    scene_->ClearImage();
    ShowPreview(false, target);
    return;
  }
  building_ = true;
  TParams& p = scene_->Params;
  p.TxtTexW = static_cast<float>(SpinEdit[1]->value());
  p.TxtTexH = static_cast<float>(SpinEdit[2]->value());
  p.ButTexW = static_cast<float>(SpinEdit[3]->value());
  p.ButTexH = static_cast<float>(SpinEdit[4]->value());
  {
    TWaitCursor wait;
    // The guard above keeps runs apart, so a refusal here is not expected;
    // should one come, the next free tick tries again.
    if (!scene_->Build(caption, progress_.get())) {
      building_ = false;
      DeferRebuild(0);
      return;
    }
    ++rebuilds_;
    NoteEdit(TPreviewWork::Rebuild);
  }
  RefreshPreview(true, target);
  if (!p.HoldButtonSize) size_.FollowPicture(scene_->Image.Width(), scene_->Image.Height());
  building_ = false;
  QSignalBlocker b1(SpinEdit[1]), b2(SpinEdit[2]), b3(SpinEdit[3]), b4(SpinEdit[4]);
  SpinEdit[1]->setValue(RoundInt(p.TxtTexW));
  SpinEdit[2]->setValue(RoundInt(p.TxtTexH));
  SpinEdit[3]->setValue(RoundInt(p.ButTexW));
  SpinEdit[4]->setValue(RoundInt(p.ButTexH));
}

void TForm1::RefreshPreview(bool filtered, QLabel* target) {
  schedule_.RefreshStarted();
  if (CaptionEmpty()) {
    ShowPreview(false, target);
    return;
  }
  if (InsideRun()) {
    DeferRefresh(0);
    return;
  }
  if (!building_) {
    ProgressBar1->setValue(0);
    schedule_.StatusCleared();
  }
  TWaitCursor wait;
  const size_t memory = mallinfo2().uordblks;
  if (!scene_->Render({.ShowProgress = true}, progress_.get())) {
    DeferRefresh(0);
    return;
  }
  ++renders_;
  ShowPreview(filtered, target);
  StatusPanels[0]->setText(QString("V : %1").arg(scene_->View3D.VertexCount()));
  StatusPanels[1]->setText(QString("F : %1").arg(scene_->View3D.FaceCount()));
  StatusPanels[2]->setText(QString("%1 Kb").arg(memory / 1024));
}

bool TForm1::InsideRun() const {
  return scene_->Busy() || showing_ || exporting_;
}

void TForm1::ShowPreview(bool filtered, QLabel* target) {
  // The stage texts let timers and queued calls run; none may start a run of its own.
  const QScopedValueRollback<bool> showing(showing_, true);
  if (ProgressBar1->value() == 100) ProgressBar1->setValue(0);
  if (CaptionEmpty()) {
    scene_->Image.SetSize(16, 16, 32);
    scene_->ClearImage();
    filtered = false;
  }
  const qreal dpr = target->devicePixelRatioF();
  const TSize2 area{RoundInt(target->width() * dpr), RoundInt(target->height() * dpr)};
  const TSize2 size =
      PreviewSize(area, scene_->Params.ViewSize, {scene_->Image.Width(), scene_->Image.Height()});
  const TPicture& copy = scene_->Image;
  progress_->SetPosition(80);
  progress_->SetStatus(" Stretching preview ...");
  progress_->LetMessagesRun();
  QImage preview;
  if (size.Width >= 1 && size.Height >= 1 && !copy.Empty()) {
    if (filtered) {
      TPicture out(size.Width, size.Height, 24);
      try {
        ResampleBitmap(copy, out, SplineFilter, 2);
      } catch (const TResampleError& e) {
        ShowMessageBox(this, e.what());
      }
      preview = ImageOfPicture(out);
    } else {
      preview =
          ImageOfPicture(copy).scaled(size.Width, size.Height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
  }
  progress_->SetPosition(95);
  progress_->SetStatus(" Displaying preview ...");
  progress_->LetMessagesRun();
  QPalette pal = Panel1->palette();
  pal.setColor(QPalette::Window, QColorOf(scene_->Params.BkgColor));
  Panel1->setPalette(pal);
  QPixmap pixmap = QPixmap::fromImage(preview);
  pixmap.setDevicePixelRatio(dpr);
  target->setPixmap(pixmap);
  if (target == Image2) previewImage_ = preview;
  progress_->SetPosition(100);
  progress_->SetStatus(" Done");
  schedule_.StatusDone(scene_->Params.RDelay);
  if (target == Image2) emit PreviewShown();
}

void TForm1::LayoutPreview() {
  const int h = Panel1->height();
  const int h5 = (h - ProgressBar1->height()) / 2;
  Image5->setGeometry(0, h - h5, Panel1->width(), h5);
  Image2->setGeometry(0, 0, Panel1->width(), Image5->isVisible() ? h - h5 : h);
  StaticText39->move(8, Image5->y() - 8 - StaticText39->height());
}

void TForm1::ShowPhases() {
  Image5->hide();
  StaticText38->hide();
  StaticText39->hide();
  LayoutPreview();
  schedule_.PhasesShown();
  if (scene_->Params.EffectType <= 0 || PageControl1->currentWidget() != TabSheet9) return;
  Image5->show();
  LayoutPreview();
  const TPhase saved = scene_->SavePhase();
  scene_->ApplyPhase(scene_->Effect);
  RebuildPreview(Image5);
  scene_->ApplyPhase(saved);
  RebuildPreview(Image2);
  StaticText38->show();
  StaticText39->show();
  StaticText38->raise();
  StaticText39->raise();
}

void TForm1::ShowSizePreview() {
  if (previewImage_.width() < 2 || previewImage_.height() < 2 || size_.ExportWidth < 2 ||
      size_.ExportHeight < 2)
    return;
  TPicture out(size_.ExportWidth, size_.ExportHeight, 24);
  ResampleBitmap(PictureOfImage(previewImage_), out, TriangleFilter, 1);
  QPalette pal = Panel13->palette();
  pal.setColor(QPalette::Window, QColorOf(scene_->Params.BkgColor));
  Panel13->setPalette(pal);
  Image4->setPixmap(QPixmap::fromImage(ImageOfPicture(out)));
}

void TForm1::Panel1Resize() {
  // A new window size redraws the same work: it is no change to save.
  const bool modified = modified_;
  RebuildPreview(Image2);
  modified_ = modified;
  ShowPhases();
  MarkerFromLight();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Edit1 && event->type() == QEvent::ShortcutOverride) {
    // Undo and redo are the window's, for the caption as for every control:
    // left unaccepted here, the shortcut reaches the Edit menu.
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
        key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y))
      return true;
  }
  if (watched == Panel1 && event->type() == QEvent::Resize) {
    LayoutPreview();
    // A burst of resizes (maximising) gives one rebuild.
    static_cast<void>(QTimer::singleShot(0, this, [this] {
      if (shown_) Panel1Resize();
    }));
  } else if (watched == Image1) {
    auto* mouse = dynamic_cast<QMouseEvent*>(event);
    const bool leftOnly = mouse && mouse->buttons() == Qt::LeftButton && mouse->modifiers() == Qt::NoModifier;
    if (event->type() == QEvent::MouseButtonPress && leftOnly) {
      markerDragging_ = true;
      return true;
    }
    if (event->type() == QEvent::MouseMove && leftOnly && markerDragging_) {
      const TPoint m{RoundInt(mouse->position().x()), RoundInt(mouse->position().y())};
      const TPoint corner = DragMarker({Image1->x(), Image1->y()}, m, {Image2->width(), Image2->height()});
      Image1->move(corner.X, corner.Y);
      return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && markerDragging_) {
      SetLightFromMarker(Image1->x() + RoundInt(mouse->position().x()),
                         Image1->y() + RoundInt(mouse->position().y()));
      markerDragging_ = false;
      NoteEdit(TPreviewWork::Refresh);
      RefreshPreview(true, Image2);
      return true;
    }
  } else if ((watched == edWidth || watched == edHeight) && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    if (!text.isEmpty() && !AcceptSizeKey(text.at(0).unicode())) return true;  // swallowed
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace vantrix
