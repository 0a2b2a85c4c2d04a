// The main window's documents: the start with the welcome dialog, opening and
// saving works, the settings file, the quit confirmation and the Advanced
// Options dialog.

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <filesystem>

#include "app/forms/CaptionEdit.h"
#include "app/forms/Unit1.h"
#include "app/forms/Unit3.h"
#include "app/forms/Unit4.h"
#include "app/logic/WorkDocuments.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "scene/Ico2Ini.h"
#include "scene/WorkDocument.h"
#include "scene/WorkFile.h"

namespace vantrix {

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  // After the window is on the screen, so the welcome dialog has an owner to sit on.
  QTimer::singleShot(0, this, &TForm1::FormShow);
}

void TForm1::FormShow() {
  MarkerFromLight();
  if (OfferRecovery()) {
    activateWindow();
    Edit1->setFocus(Qt::OtherFocusReason);
    return;
  }
  std::string file = initialFile_;
  if (file.empty()) {
    RunWelcome(" Welcome to Vantrix v1.7", static_cast<int>(TWelcomeMode::New));
    const bool chosen = form4_->result() == QDialog::Accepted && !form4_->Choice().ChosenFile.empty();
    file = chosen ? form4_->Choice().ChosenFile : programFolder_ + "default.dat";
  }
  OpenWorkFile(file);
  StartHistory(SavesInPlace(file) ? file : std::string());
  // Typing goes to the caption from the start.
  activateWindow();
  Edit1->setFocus(Qt::OtherFocusReason);
}

void TForm1::RunWelcome(const QString& caption, int mode, bool cancellable) {
  form4_->setWindowTitle(caption);
  form4_->ShowCancel(cancellable);
  form4_->ProgramFolder = programFolder_;
  settings_.Saves = WorksFolderOfJob(settings_.JobFile, programFolder_);
  std::error_code ec;
  std::filesystem::create_directories(settings_.Saves, ec);
  form4_->WorksFolder = settings_.Saves;
  form4_->TemplatesFolder = settings_.Templates;
  form4_->PressMode(static_cast<TWelcomeMode>(mode));
  form4_->exec();
}

void TForm1::OpenWorkFile(const std::string& fileName) {
  TCaption caption = Edit1->Caption();
  std::string path = fileName;
  // "default.dat" and "Default.dat" name the same work on any file system.
  if (!std::filesystem::exists(path)) {
    const std::string found =
        FindFileNoCase(FolderOf(path).empty() ? "./" : FolderOf(path), FileNameOf(path));
    if (!found.empty()) path = found;
  }
  try {
    LoadWork(*scene_, caption, path, Edit1->EditorFont());
    Edit1->SetCaption(caption);
  } catch (const std::exception& e) {
    // The message as the work file reader words it, and which file it was about.
    QString text = QString::fromStdString(e.what());
    if (!text.contains(QString::fromStdString(path))) text += "\n" + QString::fromStdString(path);
    ShowMessageBox(this, text);
  }
  PrepareLoadedWork(*scene_);
  ControlsFromScene();
  QPalette pal = Panel1->palette();
  pal.setColor(QPalette::Window, QColorOf(scene_->Params.BkgColor));
  Panel1->setPalette(pal);
  MarkerFromLight();
  RebuildPreview();
}

void TForm1::SaveWorkIcon(const std::string& fileName, const std::string& section) {
  if (previewImage_.width() * previewImage_.height() <= 1 || size_.ExportWidth <= 1 ||
      size_.ExportHeight <= 1)
    return;
  progress_->SetStatus(" Sretching icon ...");
  const TPicture icon = MakeWorkIcon(PictureOfImage(previewImage_));
  progress_->SetStatus(" Saving icon ...");
  IconToIni(fileName, section, icon, progress_.get());
  progress_->SetPosition(100);
  progress_->SetStatus(" Done");
  schedule_.StatusDone(scene_->Params.RDelay);
}

bool TForm1::ConfirmReplace(const QString& title) {
  if (!modified_) return true;
  const auto answer = QMessageBox::question(this, title, "Save changes to current work?",
                                            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  if (answer == QMessageBox::Cancel) return false;
  if (answer == QMessageBox::Yes) Save2Click();
  return true;
}

void TForm1::New1Click() {
  if (!ConfirmReplace("New confirmation")) return;
  OpenWorkFile(programFolder_ + std::string(kDefaultWork));
  PageControl1->setCurrentIndex(0);
  ShowPhases();
  StartHistory({});
}

void TForm1::Newfromtemplate1Click() {
  if (!ConfirmReplace("New confirmation")) return;
  RunWelcome(" New from template", static_cast<int>(TWelcomeMode::Templates), true);
  if (form4_->result() != QDialog::Accepted || !form4_->Choice().SelectionMade) return;
  settings_.TemplateFile = form4_->Choice().ChosenFile;
  settings_.Saves = form4_->Choice().WorksFolder;
  OpenWorkFile(settings_.TemplateFile);
  ShowPhases();
  StartHistory({});
}

void TForm1::Open1Click() {
  if (!ConfirmReplace("Open confirmation")) return;
  RunWelcome(" Open", static_cast<int>(TWelcomeMode::Saved), true);
  if (form4_->result() != QDialog::Accepted || !form4_->Choice().SelectionMade) return;
  settings_.Saves = form4_->Choice().WorksFolder;
  OpenWorkFile(form4_->Choice().ChosenFile);
  ShowPhases();
  StartHistory(SavesInPlace(form4_->Choice().ChosenFile) ? form4_->Choice().ChosenFile : std::string());
}

bool TForm1::Save2Click() {
  if (workFile_.empty()) return SaveAs1Click();
  SaveTo(workFile_, false);
  return true;
}

bool TForm1::SaveAs1Click() {
  // The work's own name, never that of another work saved earlier: Enter and
  // Yes must not replace a different design.
  const std::string own = workFile_.empty() ? std::string(kUntitledWork) : FileNameOf(workFile_);
  const std::string folder = workFile_.empty() ? settings_.Saves : FolderOf(workFile_);
  const QString works = "3D Button FIles (*.vtxs)", templates = "VTXS Templates (*.vtxm)";
  QFileDialog dialog(this);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters({works, templates});
  dialog.selectNameFilter(works);
  dialog.setDirectory(QString::fromStdString(folder));
  dialog.selectFile(QString::fromStdString(own));
  dialog.setOption(QFileDialog::DontUseNativeDialog, qEnvironmentVariableIsSet("VANTRIX_PLAIN_DIALOGS"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  const bool asTemplate = dialog.selectedNameFilter() == templates;
  const std::string name = ReplaceExtension(dialog.selectedFiles().first().toStdString(),
                                            asTemplate ? kTemplateExtension : kWorkExtension);
  SaveTo(name, asTemplate);
  return true;
}

bool TForm1::SaveTo(const std::string& name, bool asTemplate) {
  scene_->Params.ExpWidth = size_.ExportWidth;
  scene_->Params.ExpHeight = size_.ExportHeight;
  try {
    const TCaption caption = Edit1->Caption();
    SaveWork(*scene_, caption, name);
    if (!caption.Empty()) SaveWorkIcon(name, "Icon");
    if (asTemplate) {
      settings_.TemplateFile = name;
      settings_.Templates = FolderOf(name);
    } else {
      // A template saved is a template to start from; the work keeps its own file.
      settings_.JobFile = name;
      settings_.Saves = FolderOf(name);
      workFile_ = name;
      AddRecentWork(settings_.Recent, name);
    }
  } catch (const std::exception& e) {
    ShowMessageBox(this, e.what());
    return false;
  }
  history_.MarkSaved(CurrentDesign());
  modified_ = false;
  ShowEditState();
  return true;
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (modified_) {
    const auto answer =
        QMessageBox::question(this, "Quit confirmation", "Save changes to current work before quit?",
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) {
      event->ignore();
      return;
    }
    if (answer == QMessageBox::Yes) Save2Click();
  }
  event->accept();
}

void TForm1::WriteSettings() {
  std::error_code ec;
  settings_.CurPath = WithTrailingSlash(std::filesystem::current_path(ec).string());
  try {
    WriteProgramSettings(programFolder_, settings_);
  } catch (const TIniError& e) {
    ShowMessageBox(this, e.what());
  }
}

void TForm1::AdvancedOptions1Click() {
  form3_->Params = scene_->Params;
  const int result = form3_->exec();
  // The fields are taken back whether OK or Cancel closed the dialog.
  const bool taken = form3_->FormHide();
  if (result != QDialog::Accepted || !taken) return;
  scene_->Params = form3_->Params;
  // One step per OK, whatever was edited just before.
  history_.EndBurst();
  NoteEdit(TPreviewWork::Rebuild);
  history_.EndBurst();
  RebuildPreview();
  ShowPhases();
}

}  // namespace vantrix
