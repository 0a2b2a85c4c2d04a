// What the main window's controls do: each hands its value to the scene and
// asks for a rebuild or a refresh, now or after the render delay.

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <cmath>
#include <filesystem>

#include "app/forms/CaptionEdit.h"
#include "app/forms/FontFaces.h"
#include "app/forms/TextureDialog.h"
#include "app/forms/Unit1.h"
#include "app/logic/PreviewGeometry.h"
#include "app/logic/TypedValues.h"
#include "imaging/ColorText.h"
#include "platform/Rounding.h"
#include "scene/Textures.h"

namespace vantrix {

namespace {

bool PickColor(QWidget* owner, TColor start, TColor& chosen) {
  const QColor c = QColorDialog::getColor(QColorOf(start), owner);
  if (!c.isValid()) return false;
  chosen = TColorOf(c);
  return true;
}

}  // namespace

void TForm1::BindValueControls() {
  for (const TValueControl& control : ValueControls()) {
    QWidget* widget = findChild<QWidget*>(control.Widget);
    auto apply = [this, &control](int32_t value) {
      const TEditWork work = control.Set(*scene_, value);
      if (!restoring_) ApplyEdit(work);
    };
    if (auto* slider = qobject_cast<QSlider*>(widget)) {
      connect(slider, &QSlider::valueChanged, this, apply);
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
      connect(list, &QComboBox::activated, this, apply);
    } else if (auto* row = qobject_cast<TProfileRow*>(widget)) {
      connect(row, &TProfileRow::activated, this, apply);
    } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
      // A drop shadow's box switches its slider's altitude on and off.
      QSlider* altitude = box == CheckBox4 ? TrackBar1 : box == CheckBox5 ? TrackBar4 : nullptr;
      connect(box, &QCheckBox::clicked, this, [apply, altitude](bool on) {
        if (altitude) altitude->setEnabled(on);
        apply(altitude ? (on ? altitude->value() : 0) : (on ? 1 : 0));
      });
    }
  }
}

void TForm1::ApplyEdit(const TEditWork& work) {
  switch (work.Work) {
    case TPreviewWork::Rebuild:
    case TPreviewWork::TextureRebuild:
      if (!work.Now) return DeferRebuild();
      NoteEdit(TPreviewWork::Rebuild);
      return RebuildPreview();
    case TPreviewWork::Refresh:
      if (!work.Now) return DeferRefresh();
      NoteEdit(TPreviewWork::Refresh);
      return RefreshPreview();
    case TPreviewWork::None:
      // No picture of its own (holding the size), but an edit to undo all the same.
      NoteEdit(TPreviewWork::Refresh);
      if (!work.Phases) return;
      if (work.Now)
        ShowPhases();
      else
        schedule_.RequestPhases(scene_->Params.RDelay);
      return;
  }
}

// While a slider is held the preview follows at once; the full picture still
// waits for the delay after the last change.
void TForm1::DeferRebuild(int delay) {
  NoteEdit(TPreviewWork::Rebuild);
  schedule_.RequestRebuild(delay < 0 ? scene_->Params.RDelay : delay);
  if (dragging_) StartPreview(TPreviewWork::Rebuild, false, true);
}
void TForm1::DeferRefresh(int delay) {
  NoteEdit(TPreviewWork::Refresh);
  schedule_.RequestRefresh(delay < 0 ? scene_->Params.RDelay : delay);
  if (dragging_) StartPreview(TPreviewWork::Refresh, false, true);
}
void TForm1::DeferTextureRebuild(int delay) {
  NoteEdit(TPreviewWork::TextureRebuild);
  schedule_.RequestTextureRebuild(delay < 0 ? scene_->Params.RDelay : delay);
}

bool TForm1::CaptionEmpty() const {
  return Edit1->Length() == 0;
}

void TForm1::Timer1Timer() {
  const TTickWork work = schedule_.Tick();
  switch (work.Preview) {
    case TPreviewWork::Rebuild:
      RebuildPreview();
      break;
    case TPreviewWork::TextureRebuild:
      if (scene_->View3D.TextTextured) LoadCaptionTexture(*scene_);
      if (scene_->View3D.ButtonTextured) LoadButtonTexture(*scene_);
      if (scene_->View3D.TextTextured || scene_->View3D.ButtonTextured)
        RebuildPreview();  // settles a refresh too
      break;
    case TPreviewWork::Refresh:
      RefreshPreview();
      break;
    case TPreviewWork::None:
      break;
  }
  if (work.ClearStatus) {
    ProgressBar1->setValue(0);
    StatusPanels[3]->clear();
  }
  if (work.ShowPhases) ShowPhases();
}

void TForm1::ControlsFromScene() {
  const TParams& p = scene_->Params;
  ComboBox1->setCurrentIndex(ClampInt(p.SplPnt - 1, 0, 2));
  TrackBar1->setValue(p.ViewParams.TextAltitude);
  TrackBar2->setValue(p.TxtY);
  TrackBar4->setValue(p.ViewParams.ButtonAltitude);
  TrackBar3->setValue(-p.ButY);
  TrackBar8->setValue(255 - p.ViewParams.Brightness);
  // The look's newer controls, set as the table reads them.
  for (const char* name : {"ProfileRow1", "ProfileRow2", "TrackBar10", "TrackBar11", "TrackBar12"}) {
    const int32_t value = FindValueControl(name)->Get(*scene_);
    if (auto* row = findChild<TProfileRow*>(name)) row->setCurrentIndex(value);
    if (auto* slider = findChild<QSlider*>(name)) slider->setValue(value);
  }
  {
    // The repetitions are shown, not changed: no texture reload for them.
    QSignalBlocker b1(SpinEdit[1]), b2(SpinEdit[2]), b3(SpinEdit[3]), b4(SpinEdit[4]);
    SpinEdit[1]->setValue(RoundInt(p.TxtTexW));
    SpinEdit[2]->setValue(RoundInt(p.TxtTexH));
    SpinEdit[3]->setValue(RoundInt(p.ButTexW));
    SpinEdit[4]->setValue(RoundInt(p.ButTexH));
  }
  QPalette pal = Panel13->palette();
  pal.setColor(QPalette::Window, QColorOf(p.BkgColor));
  Panel13->setPalette(pal);
  CheckBox6->setChecked(p.HoldButtonSize);
  Edit8->setText(QString::fromStdString(ColorToHex(p.BkgColor)));
  CheckBox7->setChecked(p.TxtHoldRatio);
  CheckBox8->setChecked(p.ButHoldRatio);
  SpinEdit[1]->setEnabled(!p.TxtHoldRatio);
  SpinEdit[3]->setEnabled(!p.ButHoldRatio);
  CheckBox9->setChecked(p.ButType < 1);
  findChild<QCheckBox*>("CheckBox12")->setChecked(p.Kerning);
  ShowEffectButtons(p.EffectType);
  SetEffectType(p.EffectType);
  TrackBar6->setValue(scene_->Effect.TxtY);
  TrackBar7->setValue(-scene_->Effect.ButY);
}

// The dialog starts from the caption's own font and changes only what the
// user changed in it: OK on an untouched dialog leaves the caption as it is.
void TForm1::SpeedButton1Click() {
  const TFontSpec start = Edit1->DialogFont();
  QFont startFont(QString::fromStdString(start.FaceName));
  startFont.setPointSize(start.Size);
  startFont.setBold(start.Bold);
  startFont.setItalic(start.Italic);
  startFont.setUnderline(start.Underline);
  startFont.setStrikeOut(start.Strikeout);
  QFontDialog dialog(startFont, this);
  dialog.setOption(QFontDialog::ScalableFonts);
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  ShowFacesInTheirOwnFont(&dialog);
  if (dialog.exec() != QDialog::Accepted) return;
  const QFont chosen = dialog.selectedFont();
  TFontSpec picked = start;
  picked.FaceName = chosen.family().toStdString();
  if (chosen.pointSize() > 0) picked.Size = chosen.pointSize();
  picked.Bold = chosen.bold();
  picked.Italic = chosen.italic();
  picked.Underline = chosen.underline();
  picked.Strikeout = chosen.strikeOut();
  const TFontChange change = FontChangeBetween(start, picked);
  if (change.Empty()) return;
  Edit1->ChangeFont(change);
  ApplyEdit({TPreviewWork::Rebuild, true, false});
}

void TForm1::ChooseBackground(TColor color) {
  const TEditWork work = SetBackground(*scene_, color);
  for (QWidget* panel : {static_cast<QWidget*>(Panel13), static_cast<QWidget*>(Panel1)}) {
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, QColorOf(color));
    panel->setPalette(pal);
  }
  ApplyEdit(work);
}

void TForm1::SpeedButton2Click() {
  TColor color = scene_->Params.BkgColor;
  if (!PickColor(this, color, color)) return;
  Edit8->setText(QString::fromStdString(ColorToHex(color)));
  ChooseBackground(color);
}

void TForm1::SpeedButton10Click() {
  try {
    ChooseBackground(HexToColor(Edit8->text().toStdString()));
  } catch (const TConversionError& e) {
    ShowMessageBox(this, e.what());
  }
}

void TForm1::ChooseMainColor(bool button) {
  TColor color = (button ? scene_->Params.ButColors : scene_->Params.TxtColors).MColor;
  if (!PickColor(this, color, color)) return;
  ApplyEdit(SetMainColor(*scene_, button, color));
}

std::string TForm1::TextureDialogFolder() const {
  std::error_code ec;
  if (!settings_.TextureDir.empty() && std::filesystem::is_directory(settings_.TextureDir, ec))
    return settings_.TextureDir;
  return texturesFolder_;
}

void TForm1::ChooseTexture(bool button) {
  const std::string& path = button ? scene_->Params.ButTexFile : scene_->Params.TxtTexFile;
  const QString start =
      path.empty() ? QString::fromStdString(TextureDialogFolder()) : QString::fromStdString(path);
  const QString chosen = ChooseTextureFile(this, start);
  if (chosen.isEmpty()) return;
  ApplyEdit(SetTexture(*scene_, button, chosen.toStdString()));
}

void TForm1::ClearTexture(bool button) {
  ApplyEdit(vantrix::ClearTexture(*scene_, button));
}

void TForm1::TextureRepeatsChanged(bool button, bool width) {
  TParams& p = scene_->Params;
  const int first = button ? 3 : 1;
  const float value = static_cast<float>(SpinEdit[first + (width ? 0 : 1)]->value());
  if (button)
    (width ? p.ButTexW : p.ButTexH) = value;
  else
    (width ? p.TxtTexW : p.TxtTexH) = value;
  NoteEdit(TPreviewWork::TextureRebuild);
  const bool textured = button ? scene_->View3D.ButtonTextured && p.ButType > 0 : scene_->View3D.TextTextured;
  const bool held = button ? p.ButHoldRatio : p.TxtHoldRatio;
  if (textured && !(width && held)) DeferTextureRebuild();
}

void TForm1::HoldRatioClick(bool button) {
  QCheckBox* box = button ? CheckBox8 : CheckBox7;
  (button ? scene_->Params.ButHoldRatio : scene_->Params.TxtHoldRatio) = box->isChecked();
  DeferTextureRebuild(0);
  SpinEdit[button ? 3 : 1]->setEnabled(!box->isChecked());
}

void TForm1::SpeedButton13Click() {
  TColor light = scene_->Params.ViewParams.LightColor;
  if (!PickColor(this, light, light)) return;
  ApplyEdit(SetLightColor(*scene_, light));
}

void TForm1::ToolButton1Click(int tag) {
  if (PageControl1->currentWidget() != TabSheet9) return;
  SetEffectType(tag);
  TrackBar6->setValue(scene_->Effect.TxtY);
  TrackBar7->setValue(-scene_->Effect.ButY);
}

void TForm1::SetEffectType(int type) {
  scene_->Params.EffectType = ClampInt(type, 0, 2);
  EffectPanels->setCurrentIndex(scene_->Params.EffectType);
  ShowPhases();
  if (scene_->Params.EffectType == 0) scene_->Effect = scene_->SavePhase();
}

void TForm1::ShowEffectButtons(int type) {
  ToolButton[ClampInt(type, 0, 2)]->setChecked(true);
}

void TForm1::EffectColorClick(int which) {
  const TColor color = which == 0   ? scene_->Effect.TColor
                       : which == 1 ? scene_->Effect.BColor
                                    : scene_->Effect.LColor;
  TColor chosen = color;
  if (!PickColor(this, color, chosen)) return;
  ApplyEdit(SetEffectColor(*scene_, which, chosen));
}

void TForm1::MarkerFromLight() {
  const TPoint corner =
      vantrix::MarkerFromLight({Image2->width(), Image2->height()}, scene_->Params.ViewParams.LightA1,
                               scene_->Params.ViewParams.LightA2);
  Image1->move(corner.X, corner.Y);
  ShowLightAngles();
}

void TForm1::ShowLightAngles() {
  const TViewParams& v = scene_->Params.ViewParams;
  LightAngles->setText(QString("Light from %1\u00b0 across, %2\u00b0 down")
                           .arg(qRound(v.LightA1 * 180.0 / M_PI))
                           .arg(qRound(v.LightA2 * 180.0 / M_PI)));
}

void TForm1::SetLightFromMarker(int x, int y) {
  float a1 = scene_->Params.ViewParams.LightA1, a2 = scene_->Params.ViewParams.LightA2;
  LightFromPoint({x, y}, {Image2->width(), Image2->height()}, a1, a2);
  SetLightDirection(*scene_, a1, a2);
  ShowLightAngles();
}

void TForm1::TabSheet13Show() {
  rulersActive_ = false;
  SetDimensionControls();
  rulersActive_ = true;
  ShowSizePreview();
}

void TForm1::SetDimensionControls() {
  edWidth->setText(QString::number(size_.ExportWidth));
  edHeight->setText(QString::number(size_.ExportHeight));
  trackHeight->setValue(size_.HeightRuler());
  trackWidth->setValue(size_.WidthRuler());
}

void TForm1::ApplyExportSize(bool widthChanged) {
  size_.Apply(widthChanged, checkConstrain->isChecked());
  rulersActive_ = false;
  SetDimensionControls();
  rulersActive_ = true;
  ShowSizePreview();
}

void TForm1::PageChanged(int) {
  QWidget* page = PageControl1->currentWidget();
  // Leaving the Light Source or Roll-over page.
  Image1->setVisible(page == TabSheet7);
  Image1->setEnabled(page == TabSheet7);
  Image1->raise();
  Image5->hide();
  StaticText38->hide();
  StaticText39->hide();
  LayoutPreview();
  if (page == TabSheet9) {
    if (scene_->Params.EffectType > 0)
      ShowPhases();
    else
      scene_->Effect = scene_->SavePhase();
  } else if (page == TabSheet13) {
    TabSheet13Show();
  } else if (page->objectName() == "TabSheet14") {
    TabSheet14Show();
  }
}

}  // namespace vantrix
