#pragma once
// TForm4: the welcome dialog, which is also the Open and New-from-template
// dialog: New, the saved works of the works folder, or the templates, each
// listed with the preview icon its file carries. Which file a closing dialog
// names is app/logic/WorkDocuments.h's rule.

#include <QDialog>
#include <string>

#include "app/logic/WorkDocuments.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace vantrix {

class TForm4 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm4(QWidget* parent = nullptr);

  // Given before each showing; WorksFolder may change inside (Browse Folder).
  std::string ProgramFolder, WorksFolder, TemplatesFolder;

  TWelcomeMode Mode() const { return mode_; }
  void PressMode(TWelcomeMode mode);
  const TWelcomeChoice& Choice() const { return choice_; }
  void ListWorks(const std::string& folder, std::string_view ext);
  // A Cancel button beside OK: for the File menu's showings, not the welcome.
  void ShowCancel(bool shown);

  void done(int result) override;

 private:
  void AddWorkItem(const std::string& file);
  void BrowseFolderClick();

  TWelcomeMode mode_ = TWelcomeMode::New;
  TWelcomeChoice choice_;
  QToolButton* ModeButton[3] = {};
  QListWidget* ListView1 = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QPushButton* BrowseFolder = nullptr;
  QPushButton* Cancel = nullptr;
  QLabel* HelpLines = nullptr;
};

}  // namespace vantrix
