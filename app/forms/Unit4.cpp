#include "app/forms/Unit4.h"

#include <QButtonGroup>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <filesystem>

#include "app/forms/FormWidgets.h"
#include "platform/CodePage.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "scene/Ico2Ini.h"

namespace vantrix {

namespace {

// Reports icon decoding on the dialog's own bar.
class TBarProgress : public TProgress {
 public:
  explicit TBarProgress(QProgressBar* bar) : bar_(bar) {}
  void SetStatus(const std::string&) override {}
  void SetPosition(int position) override { bar_->setValue(position); }

 private:
  QProgressBar* bar_;
};

}  // namespace

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
  setObjectName("Form4");
  setModal(true);
  resize(640, 420);
  auto* column = new QVBoxLayout(this);
  auto* modes = new QHBoxLayout;
  auto* group = new QButtonGroup(this);
  const char* names[3] = {"SpeedButton1", "SpeedButton2", "SpeedButton3"};
  const char* captions[3] = {"&New", "&Saved", "&Templates"};
  for (int i = 0; i < 3; ++i) {
    ModeButton[i] = MakeSpeedButton(names[i], captions[i], this);
    ModeButton[i]->setCheckable(true);
    group->addButton(ModeButton[i]);
    modes->addWidget(ModeButton[i]);
    connect(ModeButton[i], &QToolButton::clicked, this,
            [this, i] { PressMode(static_cast<TWelcomeMode>(i + 1)); });
  }
  modes->addStretch(1);
  column->addLayout(modes);
  ListView1 = new QListWidget(this);
  ListView1->setObjectName("ListView1");
  ListView1->setViewMode(QListView::IconMode);
  ListView1->setIconSize(QSize(kWorkIconWidth, kWorkIconHeight));
  ListView1->setGridSize(QSize(kWorkIconWidth + 24, kWorkIconHeight + 36));
  ListView1->setMovement(QListView::Static);
  ListView1->setResizeMode(QListView::Adjust);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(ListView1, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  column->addWidget(ListView1, 1);
  HelpLines = new QLabel(
      "Click \"OK\" to create a new button\nClick \"Saved\" to browse previously saved buttons\n"
      "Click \"Templates\" to create a new button based on one of the built-in templates",
      ListView1);
  QFont bold = HelpLines->font();
  bold.setBold(true);
  HelpLines->setFont(bold);
  HelpLines->setAlignment(Qt::AlignCenter);
  auto* helpLayout = new QVBoxLayout(ListView1);
  helpLayout->addWidget(HelpLines);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setFixedHeight(6);
  ProgressBar1->setTextVisible(false);
  column->addWidget(ProgressBar1);
  auto* buttons = new QHBoxLayout;
  BrowseFolder = new QPushButton("Browse Folder", this);
  BrowseFolder->setObjectName("Button2");
  BrowseFolder->setEnabled(false);
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("Button1");
  ok->setDefault(true);
  Cancel = new QPushButton("Cancel", this);
  Cancel->setObjectName("Button3");
  Cancel->hide();
  buttons->addWidget(BrowseFolder);
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(Cancel);
  column->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(BrowseFolder, &QPushButton::clicked, this, &TForm4::BrowseFolderClick);
  PressMode(TWelcomeMode::New);
}

void TForm4::PressMode(TWelcomeMode mode) {
  mode_ = mode;
  ModeButton[static_cast<int>(mode) - 1]->setChecked(true);
  BrowseFolder->setEnabled(mode == TWelcomeMode::Saved);
  HelpLines->setVisible(mode == TWelcomeMode::New);
  if (mode == TWelcomeMode::New) {
    ListView1->clear();
    ListView1->setStyleSheet("QListWidget { background: palette(button); }");
  } else if (mode == TWelcomeMode::Saved) {
    ListWorks(WorksFolder, kWorkExtension);
  } else {
    ListWorks(TemplatesFolder, kTemplateExtension);
  }
}

void TForm4::ListWorks(const std::string& folder, std::string_view ext) {
  ListView1->clear();
  std::error_code ec;
  if (folder.empty() || !std::filesystem::is_directory(folder, ec)) {
    ShowMessageBox(this,
                   folder.empty()
                       ? QString("You do not have the saved files")
                       : QString("Directory: \"%1\" does not exist").arg(QString::fromStdString(folder)));
    ListView1->setStyleSheet("QListWidget { background: palette(button); }");
    return;
  }
  ListView1->setStyleSheet(QString());
  for (const std::string& name : ListWorkFiles(folder, ext)) {
    try {
      AddWorkItem(WithTrailingSlash(folder) + name);
    } catch (const std::exception& e) {
      ShowMessageBox(this, e.what());  // a damaged icon ends the listing
      break;
    }
  }
  ProgressBar1->setValue(0);
}

void TForm4::AddWorkItem(const std::string& file) {
  TPicture icon;
  TBarProgress progress(ProgressBar1);
  const TIniFile ini(file);
  QPixmap picture;
  if (IniToIcon(ini, "Icon", icon, &progress)) {
    picture = QPixmap::fromImage(ImageOfPicture(icon)).copy(0, 0, kWorkIconWidth, kWorkIconHeight);
  } else {
    const std::string text = Cp1252ToUtf8(ini.ReadString("Message", "Text", ""));
    picture = PlaceholderPicture(kWorkIconWidth, kWorkIconHeight,
                                 text.empty() ? QString("<None>") : QString::fromStdString(text));
  }
  ListView1->addItem(new QListWidgetItem(QIcon(picture), QString::fromStdString(FileNameOf(file))));
}

void TForm4::BrowseFolderClick() {
  std::string start = WorksFolder;
  if (start.size() > 1 && start.back() == '/') start.pop_back();
  const QString chosen = QFileDialog::getExistingDirectory(this, "Select folder with saved works (*.vtxs)",
                                                           QString::fromStdString(start));
  if (chosen.isEmpty()) return;
  WorksFolder = WithTrailingSlash(chosen.toStdString());
  ListWorks(WorksFolder, kWorkExtension);
}

void TForm4::ShowCancel(bool shown) {
  Cancel->setVisible(shown);
}

void TForm4::done(int result) {
  // The item the keyboard stands on is the choice too, selected or not: Enter
  // on it must not make a new default button instead.
  const QListWidgetItem* item = ListView1->currentItem();
  const bool chosen = item && (item->isSelected() || (result == Accepted && focusWidget() == ListView1));
  const std::string selected = chosen ? item->text().toStdString() : std::string();
  choice_ = WelcomeChoiceOf(mode_, selected, ProgramFolder, WorksFolder, TemplatesFolder);
  WorksFolder = choice_.WorksFolder;
  QDialog::done(result);
}

}  // namespace vantrix
