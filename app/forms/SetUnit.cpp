#include "app/forms/SetUnit.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <filesystem>
#include <tuple>

#include "app/forms/FormWidgets.h"
#include "scene/CaptionList.h"

namespace vantrix {

TSetForm::TSetForm(TSource source, QWidget* parent) : QDialog(parent), source_(std::move(source)) {
  setObjectName("SetForm");
  setWindowTitle("Export a Set of Buttons");
  setModal(true);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setTabChangesFocus(false);
  Memo1->setMinimumSize(360, 160);
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  auto* browse = new QToolButton(this);
  browse->setObjectName("SpeedButton1");
  browse->setText("Browse ...");
  CheckBox1 = new QCheckBox(" Navigation page (nav.html, and nav.txt to paste)", this);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox1->setChecked(true);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  StaticText1 = new QLabel("The buttons take the Export page's format and options.", this);
  StaticText1->setObjectName("StaticText1");
  StaticText1->setWordWrap(true);
  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName("ListBox1");
  ListBox1->setMinimumHeight(110);
  auto* buttons = new QDialogButtonBox(this);
  Button1 = buttons->addButton("Export", QDialogButtonBox::AcceptRole);
  Button1->setObjectName("Button1");
  Button1->setDefault(true);
  Button2 = buttons->addButton("Close", QDialogButtonBox::RejectRole);
  Button2->setObjectName("Button2");

  auto* grid = new QGridLayout(this);
  grid->addWidget(
      new QLabel("Captions, one a line (a tab and a link after a caption give it its own link):", this), 0, 0,
      1, 3);
  grid->addWidget(Memo1, 1, 0, 1, 3);
  grid->addWidget(new QLabel("Folder ", this), 2, 0);
  grid->addWidget(Edit1, 2, 1);
  grid->addWidget(browse, 2, 2);
  grid->addWidget(CheckBox1, 3, 0, 1, 3);
  grid->addWidget(StaticText1, 4, 0, 1, 3);
  grid->addWidget(ProgressBar1, 5, 0, 1, 3);
  grid->addWidget(ListBox1, 6, 0, 1, 3);
  grid->addWidget(buttons, 7, 0, 1, 3);
  grid->setRowStretch(1, 2);
  grid->setRowStretch(6, 1);

  // The box's own accept would close the dialog; Export keeps it open for the results.
  disconnect(buttons, &QDialogButtonBox::accepted, nullptr, nullptr);
  connect(Button1, &QPushButton::clicked, this, &TSetForm::ExportClick);
  connect(Button2, &QPushButton::clicked, this, [this] { Running() ? StopClick() : QDialog::reject(); });
  connect(browse, &QToolButton::clicked, this, &TSetForm::BrowseClick);
}

TSetForm::~TSetForm() {
  stop_ = true;
  if (worker_.joinable()) worker_.join();
}

void TSetForm::Prepare(const QString& caption, const QString& folder) {
  if (Memo1->toPlainText().trimmed().isEmpty()) Memo1->setPlainText(caption);
  if (Edit1->text().isEmpty()) Edit1->setText(folder);
}

void TSetForm::reject() {
  // Escape or the window's close box while the set runs stops it first.
  if (Running()) {
    StopClick();
    return;
  }
  QDialog::reject();
}

void TSetForm::BrowseClick() {
  const QString dir = QFileDialog::getExistingDirectory(this, "Folder for the buttons", Edit1->text());
  if (!dir.isEmpty()) Edit1->setText(dir);
}

void TSetForm::StopClick() {
  stop_ = true;
  StaticText1->setText("Stopping after the buttons being drawn ...");
}

void TSetForm::ExportClick() {
  if (Running()) return;
  const std::vector<TCaptionLine> lines = ParseCaptionList(Memo1->toPlainText().toStdString(), "captions");
  const bool any =
      std::any_of(lines.begin(), lines.end(), [](const TCaptionLine& l) { return l.Error.empty(); });
  if (!any) {
    ShowMessageBox(this, "Sorry, there is nothing to export");
    return;
  }
  ListBox1->clear();
  ProgressBar1->setValue(0);
  StaticText1->setText("Measuring the captions ...");
  Button1->setEnabled(false);
  Button2->setText("Stop");
  stop_ = false;
  page_ = CheckBox1->isChecked();
  folder_ = Edit1->text().toStdString();
  set_ = std::make_unique<TExportSet>(source_.Look(), lines);
  const TExportSettings base = source_.Settings();
  const TExportSize window = source_.Size();
  // Both steps block; the window waits for the worker's calls instead.
  worker_ = std::thread([this, base, window] {
    QString failure;
    const TExportSetProgressFunc progress = [this](const TExportSetProgress& p) {
      QMetaObject::invokeMethod(
          this, [this, p] { Progress(p.Stage, p.Done, p.Total); }, Qt::QueuedConnection);
      return !stop_.load();
    };
    try {
      if (set_->Plan(progress) && !stop_) {
        const TPicture& sample = set_->SamplePicture();
        TExportSettings settings = base;
        std::tie(settings.ExportWidth, settings.ExportHeight) =
            SetExportSize(window, sample.Width(), sample.Height());
        result_ = set_->Export(settings, folder_, page_, progress);
      } else {
        result_ = TExportSetResult{};
        result_.Items = set_->Items();
      }
    } catch (const std::exception& e) {
      failure = QString::fromStdString(e.what());
      result_ = TExportSetResult{};
      result_.Items = set_->Items();
    }
    QMetaObject::invokeMethod(
        this, [this, failure] { Done(failure); }, Qt::QueuedConnection);
  });
}

void TSetForm::Progress(int stage, int done, int total) {
  if (total <= 0) return;
  // Measuring is the first fifth of the bar, drawing and writing the rest.
  const int part = stage == TExportSetProgress::Measuring ? 20 * done / total : 20 + 80 * done / total;
  ProgressBar1->setValue(std::max(ProgressBar1->value(), part));
  if (stage == TExportSetProgress::Exporting)
    StaticText1->setText(QString("Exporting %1 of %2 buttons ...").arg(done).arg(total));
}

void TSetForm::Done(const QString& failure) {
  if (worker_.joinable()) worker_.join();
  int written = 0;
  for (const TExportSetItem& item : result_.Items) {
    QString line;
    if (item.Written()) {
      ++written;
      line = QString::fromStdString(std::filesystem::path(item.FirstFile).filename().string());
      if (!item.SecondFile.empty())
        line += ", " + QString::fromStdString(std::filesystem::path(item.SecondFile).filename().string());
    } else {
      line = QString("line %1: %2")
                 .arg(item.Line)
                 .arg(QString::fromStdString(item.Error.empty() ? "not exported" : item.Error));
    }
    auto* entry = new QListWidgetItem(line, ListBox1);
    if (!item.Written()) entry->setForeground(Qt::red);
    for (const std::string& m : item.Messages)
      new QListWidgetItem("    " + QString::fromStdString(m), ListBox1);
  }
  for (const std::string& m : result_.Messages) new QListWidgetItem(QString::fromStdString(m), ListBox1);
  if (!failure.isEmpty()) {
    auto* entry = new QListWidgetItem(failure, ListBox1);
    entry->setForeground(Qt::red);
  }
  const int total = static_cast<int>(result_.Items.size());
  StaticText1->setText(
      written == total
          ? QString("%1 buttons written to %2").arg(written).arg(Edit1->text())
          : QString("%1 of %2 buttons written to %3").arg(written).arg(total).arg(Edit1->text()));
  if (written > 0) ProgressBar1->setValue(100);
  Button1->setEnabled(true);
  Button2->setText("Close");
  set_.reset();
  if (!result_.PageFiles.empty() && source_.ShowPage) source_.ShowPage(result_.PageFiles.front());
  emit Finished();
}

}  // namespace vantrix
