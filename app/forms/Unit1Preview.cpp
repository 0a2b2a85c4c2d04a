// The main window's preview: rebuilding and re-rendering the scene, shrinking
// the picture into the preview in device pixels (a 2x screen shows every
// rendered pixel), the two-phase roll-over view, the light marker and the
// export-size preview.

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>

#include "app/forms/CaptionEdit.h"
#include "app/forms/Unit1.h"
#include "app/logic/PreviewGeometry.h"
#include "app/logic/TypedValues.h"
#include "platform/Rounding.h"
#include "resample/Resample.h"

namespace vantrix {

namespace {

TSize2 DeviceArea(const QLabel* target) {
  const qreal dpr = target->devicePixelRatioF();
  return {RoundInt(target->width() * dpr), RoundInt(target->height() * dpr)};
}

void ShowPicture(QFrame* panel, TColor background, QLabel* target, const QImage& picture) {
  QPalette pal = panel->palette();
  pal.setColor(QPalette::Window, QColorOf(background));
  panel->setPalette(pal);
  QPixmap pixmap = QPixmap::fromImage(picture);
  pixmap.setDevicePixelRatio(target->devicePixelRatioF());
  target->setPixmap(pixmap);
}

}  // namespace

std::shared_ptr<const TPicture> TForm1::HandedTexture(bool button) {
  const TView3D& v = scene_->View3D;
  if (!(button ? v.ButtonTextured : v.TextTextured)) return nullptr;
  std::shared_ptr<const TPicture>& handed = button ? buttonTexture_ : textTexture_;
  const TPicture& now = button ? v.ButtonTexture() : v.TextTexture();
  if (!handed || !(*handed == now)) handed = std::make_shared<const TPicture>(now);
  return handed;
}

void TForm1::StartPreview(TPreviewWork work, bool withPhase, bool drag) {
  TParams& p = scene_->Params;
  if (!drag) {
    if (work == TPreviewWork::Refresh)
      schedule_.RefreshStarted();
    else
      schedule_.RebuildStarted();
    ProgressBar1->setValue(0);
    schedule_.StatusCleared();
  }
  const TCaption caption = Edit1->Caption();
  if (caption.Empty() || (p.ButType == 0 && TScene::CountNonBlank(caption.TextUtf8()) < 1)) {
    ShowBlankPreview();
    return;
  }
  if (work != TPreviewWork::Refresh) {
    p.TxtTexW = static_cast<float>(SpinEdit[1]->value());
    p.TxtTexH = static_cast<float>(SpinEdit[2]->value());
    p.ButTexW = static_cast<float>(SpinEdit[3]->value());
    p.ButTexH = static_cast<float>(SpinEdit[4]->value());
  }
  TPreviewRequest request;
  request.Work = work == TPreviewWork::Refresh ? TPreviewWork::Refresh : TPreviewWork::Rebuild;
  request.Params = p;
  request.Effect = scene_->Effect;
  request.ButtonRamp = scene_->ButtonRamp;
  request.TextRamp = scene_->TextRamp;
  request.Caption = caption;
  request.ButtonTexture = HandedTexture(true);
  request.TextTexture = HandedTexture(false);
  request.Area = DeviceArea(Image2);
  if (withPhase) request.PhaseArea = DeviceArea(Image5);
  request.Drag = drag;
  worker_->Submit(std::move(request));
}

void TForm1::ShowPreviewResult(TPreviewResult r) {
  if (r.Generation < shownGeneration_) return;  // a drag frame overtaken by a newer picture
  shownGeneration_ = r.Generation;
  const bool current = r.Generation == worker_->Latest();
  r.Messages.Replay(*messages_);
  previewImage_ = ImageOfPicture(r.Preview);
  ShowPicture(Panel1, scene_->Params.BkgColor, Image2, previewImage_);
  if (!r.PhasePreview.Empty())
    ShowPicture(Panel1, scene_->Params.BkgColor, Image5, ImageOfPicture(r.PhasePreview));
  ++renders_;
  if (r.Work == TPreviewWork::Rebuild) {
    ++rebuilds_;
    if (current && !r.Drag) {
      TParams& p = scene_->Params;
      p.TxtTexW = r.TxtTexW;
      p.TxtTexH = r.TxtTexH;
      p.ButTexW = r.ButTexW;
      p.ButTexH = r.ButTexH;
      const QSignalBlocker b1(SpinEdit[1]), b2(SpinEdit[2]), b3(SpinEdit[3]), b4(SpinEdit[4]);
      SpinEdit[1]->setValue(RoundInt(p.TxtTexW));
      SpinEdit[2]->setValue(RoundInt(p.TxtTexH));
      SpinEdit[3]->setValue(RoundInt(p.ButTexW));
      SpinEdit[4]->setValue(RoundInt(p.ButTexH));
      NoteEdit(TPreviewWork::Rebuild);
      if (!p.HoldButtonSize) size_.FollowPicture(r.ImageWidth, r.ImageHeight);
    }
  }
  StatusPanels[0]->setText(QString("V : %1").arg(r.Vertices));
  StatusPanels[1]->setText(QString("F : %1").arg(r.Faces));
  StatusPanels[2]->setText(QString("%1 Kb").arg(r.MemoryInUse / 1024));
  if (current && !r.Drag) {
    progress_->SetPosition(100);
    progress_->SetStatus(" Done");
    schedule_.StatusDone(scene_->Params.RDelay);
  }
  emit PreviewShown();
}

// Nothing to draw: the background colour alone, and no run in flight may
// bring back the old caption.
void TForm1::ShowBlankPreview() {
  worker_->Cancel();
  const TSize2 size = PreviewSize(DeviceArea(Image2), scene_->Params.ViewSize, {16, 16});
  QImage blank(std::max(size.Width, 1), std::max(size.Height, 1), QImage::Format_RGB32);
  blank.fill(QColorOf(scene_->Params.BkgColor));
  previewImage_ = blank;
  ShowPicture(Panel1, scene_->Params.BkgColor, Image2, blank);
  progress_->SetPosition(100);
  progress_->SetStatus(" Done");
  schedule_.StatusDone(scene_->Params.RDelay);
  emit PreviewShown();
}

void TForm1::WaitForPreview() {
  worker_->WaitIdle();
  QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void TForm1::SetDragging(bool dragging) {
  dragging_ = dragging && settings_.LiveDrag;
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
  StartPreview(TPreviewWork::Rebuild, true);
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
  RebuildPreview();
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
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
      Image1->setPixmap(MarkerPicture(devicePixelRatioF(), event->type() == QEvent::FocusIn));
    if (event->type() == QEvent::KeyPress) {
      // Arrow keys move the marker a pixel (ten with Shift) inside the preview;
      // the picture follows after the render delay, as for a typed change.
      auto* key = static_cast<QKeyEvent*>(event);
      const int step = key->modifiers() & Qt::ShiftModifier ? 10 : 1;
      int dx = 0, dy = 0;
      switch (key->key()) {
        case Qt::Key_Left:
          dx = -step;
          break;
        case Qt::Key_Right:
          dx = step;
          break;
        case Qt::Key_Up:
          dy = -step;
          break;
        case Qt::Key_Down:
          dy = step;
          break;
        default:
          return QMainWindow::eventFilter(watched, event);
      }
      const int half = kMarkerSize / 2;
      const int x = std::clamp(Image1->x() + half + dx, 0, std::max(0, Image2->width() - 1));
      const int y = std::clamp(Image1->y() + half + dy, 0, std::max(0, Image2->height() - 1));
      Image1->move(x - half, y - half);
      SetLightFromMarker(x, y);
      DeferRefresh();
      return true;
    }
    auto* mouse = dynamic_cast<QMouseEvent*>(event);
    const bool leftOnly = mouse && mouse->buttons() == Qt::LeftButton && mouse->modifiers() == Qt::NoModifier;
    if (event->type() == QEvent::MouseButtonPress && leftOnly) {
      Image1->setFocus(Qt::MouseFocusReason);
      markerDragging_ = true;
      return true;
    }
    if (event->type() == QEvent::MouseMove && leftOnly && markerDragging_) {
      const TPoint m{RoundInt(mouse->position().x()), RoundInt(mouse->position().y())};
      const TPoint corner = DragMarker({Image1->x(), Image1->y()}, m, {Image2->width(), Image2->height()});
      Image1->move(corner.X, corner.Y);
      if (settings_.LiveDrag) {
        // The light follows the marker's centre while it moves.
        SetLightFromMarker(corner.X + kMarkerSize / 2, corner.Y + kMarkerSize / 2);
        StartPreview(TPreviewWork::Refresh, false, true);
      }
      return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && markerDragging_) {
      SetLightFromMarker(Image1->x() + RoundInt(mouse->position().x()),
                         Image1->y() + RoundInt(mouse->position().y()));
      markerDragging_ = false;
      NoteEdit(TPreviewWork::Refresh);
      RefreshPreview();
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
