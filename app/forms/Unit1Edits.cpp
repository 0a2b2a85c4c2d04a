// The main window's edit history and document state: undo and redo, the
// title with the work's name and modified mark, and the recent works.

#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <filesystem>

#include "app/forms/CaptionEdit.h"
#include "app/forms/Unit1.h"
#include "app/logic/Recovery.h"
#include "platform/PathText.h"
#include "scene/Textures.h"

namespace vantrix {

namespace {

// A texture named by the restored design is loaded again; none switches it off.
void RestoreTexture(TScene& scene, bool button) {
  const std::string& file = button ? scene.Params.ButTexFile : scene.Params.TxtTexFile;
  bool& textured = button ? scene.View3D.ButtonTextured : scene.View3D.TextTextured;
  if (file.empty())
    textured = false;
  else if (button)
    LoadButtonTexture(scene);
  else
    LoadCaptionTexture(scene);
}

}  // namespace

TDesign TForm1::CurrentDesign() const {
  return {scene_->Params, scene_->Effect, Edit1->Caption()};
}

void TForm1::NoteEdit(TPreviewWork work) {
  if (restoring_) return;
  history_.Record(CurrentDesign(), work, QDateTime::currentMSecsSinceEpoch());
  modified_ = history_.Modified();
  ShowEditState();
}

void TForm1::StartHistory(const std::string& workFile) {
  workFile_ = workFile;
  history_.Reset(CurrentDesign());
  modified_ = false;
  if (!workFile.empty()) AddRecentWork(settings_.Recent, workFile);
  ShowEditState();
}

void TForm1::ShowEditState() {
  // The recovery copy follows the modified flag: written soon after the last
  // edit, gone once the work is as saved.
  if (recovery_ != nullptr) {
    if (modified_) {
      recoveryTimer_->start();
    } else {
      recoveryTimer_->stop();
      recovery_->Discard();
    }
  }
  if (undo_ != nullptr) {
    undo_->setText(QString::fromStdString(history_.UndoText()));
    undo_->setEnabled(history_.CanUndo());
    redo_->setText(QString::fromStdString(history_.RedoText()));
    redo_->setEnabled(history_.CanRedo());
  }
  const std::string name = workFile_.empty() ? "Untitled" : FileNameOf(workFile_);
  setWindowTitle(QString::fromStdString(name) + "[*] \u2014 Vantrix");
  setWindowModified(modified_);
}

void TForm1::Undo1Click() {
  StepHistory(false);
}

void TForm1::Redo1Click() {
  StepHistory(true);
}

void TForm1::StepHistory(bool redo) {
  TPreviewWork work = TPreviewWork::None;
  const TDesign before = CurrentDesign();
  const TDesign design = redo ? history_.Redo(work) : history_.Undo(work);
  if (work != TPreviewWork::None) ApplyDesign(before, design, work);
}

void TForm1::ApplyDesign(const TDesign& before, const TDesign& design, TPreviewWork work) {
  restoring_ = true;
  scene_->Params = design.Params;
  scene_->Effect = design.Effect;
  Edit1->SetCaption(design.Caption);
  ControlsFromScene();
  // The controls' reactions may round what they show: the design is put back as recorded.
  scene_->Params = design.Params;
  scene_->Effect = design.Effect;
  scene_->BuildRamp(true);
  scene_->BuildRamp(false);
  MarkerFromLight();
  QPalette pal = Panel1->palette();
  pal.setColor(QPalette::Window, QColorOf(design.Params.BkgColor));
  Panel1->setPalette(pal);
  restoring_ = false;
  for (bool button : {false, true}) {
    const std::string& was = button ? before.Params.ButTexFile : before.Params.TxtTexFile;
    const std::string& now = button ? design.Params.ButTexFile : design.Params.TxtTexFile;
    if (was == now) continue;
    RestoreTexture(*scene_, button);
    if (work == TPreviewWork::Refresh) work = TPreviewWork::Rebuild;
  }
  // Put on screen as the edit was, without the user's typing delay.
  switch (work) {
    case TPreviewWork::Rebuild:
      schedule_.RequestRebuild(0);
      break;
    case TPreviewWork::TextureRebuild:
      schedule_.RequestTextureRebuild(0);
      break;
    default:
      schedule_.RequestRefresh(0);
      break;
  }
  schedule_.RequestPhases(scene_->Params.RDelay);
  modified_ = history_.Modified();
  ShowEditState();
}

void TForm1::WriteRecoveryCopy() {
  if (!modified_) return;
  try {
    recovery_->Write(*scene_, Edit1->Caption(), workFile_);
  } catch (const std::exception& e) {
    statusBar()->showMessage(QString("No recovery copy: ") + e.what(), 8000);
  }
}

bool TForm1::OfferRecovery() {
  for (const TRecovered& orphan : recovery_->Orphans()) {
    const QString name =
        QString::fromStdString(orphan.WorkFile.empty() ? "an untitled work" : FileNameOf(orphan.WorkFile));
    const auto answer = QMessageBox::question(
        this, "Recover unsaved work",
        "Vantrix ended before the changes to " + name + " were saved.\nOpen the recovered design?",
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes) {
      recovery_->Drop(orphan);
      continue;
    }
    OpenWorkFile(orphan.Copy);
    workFile_ = orphan.WorkFile;
    history_.ResetUnsaved(CurrentDesign());
    modified_ = true;
    ShowEditState();
    WriteRecoveryCopy();  // this run's own copy before the old one goes
    recovery_->Drop(orphan);
    return true;
  }
  return false;
}

void TForm1::FillRecentMenu() {
  recentMenu_->clear();
  for (const std::string& path : settings_.Recent) {
    QAction* a = recentMenu_->addAction(QString::fromStdString(FileNameOf(path)));
    a->setToolTip(QString::fromStdString(path));
    connect(a, &QAction::triggered, this, [this, path] { OpenRecent(path); });
  }
  recentMenu_->setEnabled(!settings_.Recent.empty());
}

void TForm1::OpenRecent(const std::string& path) {
  if (!QFileInfo(QString::fromStdString(path)).isFile()) {
    QMessageBox::warning(this, "Recent works",
                         QString::fromStdString(path) + "\nno longer exists; it is taken off the list.");
    std::erase(settings_.Recent, path);
    FillRecentMenu();
    return;
  }
  if (!ConfirmReplace("Open confirmation")) return;
  settings_.Saves = FolderOf(path);
  OpenWorkFile(path);
  ShowPhases();
  StartHistory(path);
}

}  // namespace vantrix
