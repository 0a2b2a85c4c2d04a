// The main window's Export page: the controls keep the one TExportSettings
// record, and the export runs the same core calls as vantrix-cli export,
// asking for the file name in between and showing the HTML page after.

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <vector>

#include "app/forms/CaptionEdit.h"
#include "app/forms/SetUnit.h"
#include "app/forms/Unit1.h"
#include "app/forms/WebUnit.h"
#include "app/logic/ExportDialog.h"
#include "imaging/Export.h"
#include "imaging/HTMLUnit.h"
#include "platform/FileIO.h"

namespace vantrix {

void TForm1::ConnectExportPage() {
  connect(PageControl2, &QTabWidget::currentChanged, this,
          [this](int index) { export_.Type = ExportTypeOfIndex(index); });
  connect(RadioGroup1, &QButtonGroup::idClicked, this, &TForm1::RadioGroup1Click);
  connect(RadioGroup2, &QButtonGroup::idClicked, this, &TForm1::RadioGroup2Click);
  connect(Button4, &QToolButton::clicked, this, &TForm1::Button4Click);
  connect(Button5, &QToolButton::clicked, this, &TForm1::Button5Click);
  connect(ComboBox3, &QComboBox::currentIndexChanged, this, [this](int i) { export_.Dither = i; });
  connect(ComboBox4, &QComboBox::currentIndexChanged, this, &TForm1::ComboBox4Change);
  connect(ComboBox5, &QComboBox::currentIndexChanged, this, [this](int i) { export_.ColorIndex = i; });
  connect(CheckBox2, &QCheckBox::toggled, this, [this](bool on) { export_.Transparency = on; });
  connect(CheckBox3, &QCheckBox::toggled, this, [this](bool on) { export_.BrowserPreview = on; });
  connect(TrackBar5, &QSlider::valueChanged, this, &TForm1::TrackBar5Change);
  connect(RadioGroup3, &QButtonGroup::idClicked, this, [this](int id) {
    export_.PngIndexed = id == 1;
    WebControlsFromSettings();
  });
  connect(ComboBox6, &QComboBox::currentIndexChanged, this, [this](int i) { export_.PngColorIndex = i; });
  connect(ComboBox7, &QComboBox::currentIndexChanged, this, [this](int i) { export_.PngDither = i; });
  connect(CheckBox10, &QCheckBox::toggled, this, [this](bool on) {
    export_.WebpLossless = on;
    WebControlsFromSettings();
  });
  connect(TrackBar9, &QSlider::valueChanged, this, [this](int q) {
    export_.WebpQuality = q;
    Edit5->setText(QString::number(q));
  });
  connect(TrackBar13, &QSlider::valueChanged, this, [this](int q) {
    export_.AvifQuality = q;
    Edit9->setText(QString::number(q));
  });
  BindNumberField(Edit9, TrackBar13);
  for (QCheckBox* box : {CheckBox13, CheckBox14})
    connect(box, &QCheckBox::toggled, this, [this] {
      export_.AlsoOffer.clear();
      if (CheckBox13->isChecked()) export_.AlsoOffer.push_back(kExportAvif);
      if (CheckBox14->isChecked()) export_.AlsoOffer.push_back(kExportWebp);
    });
  BindNumberField(Edit4, TrackBar5);
  BindNumberField(Edit5, TrackBar9);
  connect(CheckBox11, &QCheckBox::toggled, this, [this](bool on) { export_.SetHighDensity(on); });
  connect(ComboBox8, &QComboBox::currentIndexChanged, this,
          [this](int i) { export_.Rollover = i == 1 ? TRollover::Css : TRollover::Script; });
  // Wide enough for either caption, so that toggling does not move the page.
  for (QToolButton* b : {Button4, Button5}) {
    const QFontMetrics m(b->font());
    const int wider = std::max(m.horizontalAdvance(AdvancedButtonCaption(false)),
                               m.horizontalAdvance(AdvancedButtonCaption(true)));
    b->setMinimumWidth(wider + 2 * m.averageCharWidth() + 8);
  }
}

void TForm1::ExportControlsFromSettings() {
  const QSignalBlocker b1(ComboBox3), b2(ComboBox4), b3(ComboBox5), b4(TrackBar5), b5(PageControl2);
  PageControl2->setCurrentIndex(static_cast<int>(export_.Type) - 1);
  ComboBox3->setCurrentIndex(export_.Dither);
  ComboBox4->setCurrentIndex(export_.Palette);
  ComboBox5->setCurrentIndex(export_.ColorIndex);
  ComboBox5->setEnabled(export_.ColorListEnabled());
  CheckBox2->setChecked(export_.Transparency);
  CheckBox3->setChecked(export_.BrowserPreview);
  TrackBar5->setValue(export_.JpegQuality);
  Edit4->setText(QString::number(export_.JpegQuality));
  WebControlsFromSettings();
}

void TForm1::WebControlsFromSettings() {
  const QSignalBlocker b1(ComboBox6), b2(ComboBox7), b3(CheckBox10), b4(TrackBar9), b5(CheckBox11),
      b6(ComboBox8);
  RadioGroup3->button(export_.PngIndexed ? 1 : 0)->setChecked(true);
  ComboBox6->setCurrentIndex(export_.PngColorIndex);
  ComboBox7->setCurrentIndex(export_.PngDither);
  // The palette's lists only count for the indexed picture, the quality only when lossy.
  ComboBox6->setEnabled(export_.PngIndexed);
  ComboBox7->setEnabled(export_.PngIndexed);
  CheckBox10->setChecked(export_.WebpLossless);
  TrackBar9->setValue(export_.WebpQuality);
  TrackBar9->setEnabled(!export_.WebpLossless);
  Edit5->setEnabled(!export_.WebpLossless);
  Edit5->setText(QString::number(export_.WebpQuality));
  CheckBox11->setChecked(export_.HighDensity());
  ComboBox8->setCurrentIndex(export_.Rollover == TRollover::Css ? 1 : 0);
  const QSignalBlocker b7(TrackBar13);
  TrackBar13->setValue(export_.AvifQuality);
  Edit9->setText(QString::number(export_.AvifQuality));
  for (auto [box, type] : {std::pair{CheckBox13, kExportAvif}, std::pair{CheckBox14, kExportWebp}}) {
    const QSignalBlocker block(box);
    box->setChecked(std::find(export_.AlsoOffer.begin(), export_.AlsoOffer.end(), type) !=
                    export_.AlsoOffer.end());
  }
}

void TForm1::RadioGroup1Click(int index) {
  export_.ApplyGifPreset(index);
  ExportControlsFromSettings();
}

void TForm1::RadioGroup2Click(int index) {
  export_.ApplyJpegPreset(index);
  ExportControlsFromSettings();
}

void TForm1::Button4Click() {
  GroupBox2->setVisible(!GroupBox2->isVisible());
  Button4->setText(AdvancedButtonCaption(GroupBox2->isVisible()));
}

void TForm1::Button5Click() {
  GroupBox3->setVisible(!GroupBox3->isVisible());
  Button5->setText(AdvancedButtonCaption(GroupBox3->isVisible()));
}

// The fixed palettes have their own size: the colour list only counts for
// the optimized one.
void TForm1::ComboBox4Change() {
  export_.Palette = ComboBox4->currentIndex();
  ComboBox5->setEnabled(export_.ColorListEnabled());
}

void TForm1::TrackBar5Change() {
  export_.JpegQuality = TrackBar5->value();
  Edit4->setText(QString::number(export_.JpegQuality));
}

void TForm1::TabSheet14Show() {
  Edit6->setText(QString(" %1").arg(size_.ExportWidth));
  Edit7->setText(QString(" %1").arg(size_.ExportHeight));
  QPalette pal = Panel13->palette();
  pal.setColor(QPalette::Window, QColorOf(scene_->Params.BkgColor));
  Panel13->setPalette(pal);
}

void TForm1::SpeedButton9Click() {
  ExportButton();
}

void TForm1::RunExportStep(std::function<void()> work, std::function<void(const std::string&)> then) {
  exportRunning_ = true;
  if (exportThread_.joinable()) exportThread_.join();
  exportThread_ = std::thread([this, work = std::move(work), then = std::move(then)] {
    std::string error;
    try {
      work();
    } catch (const std::exception& e) {
      error = e.what();
    }
    QMetaObject::invokeMethod(
        this,
        [this, then, error] {
          exportRunning_ = false;
          QApplication::restoreOverrideCursor();
          exportLog_.Replay(*messages_);
          exportLog_.Entries.clear();
          then(error);
        },
        Qt::QueuedConnection);
  });
}

void TForm1::WaitForExport() {
  while (exportRunning_) {
    if (exportThread_.joinable()) exportThread_.join();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
  }
}

// The export draws a copy of the design as it stands at the click, on a
// thread of its own: the window goes on answering, and edits made meanwhile
// belong to the next export. False (and nothing copied) while an export runs
// or when there is nothing to export.
bool TForm1::SnapshotForExport() {
  if (exportRunning_) return false;  // one export at a time; the click waits for the user to press again
  const TCaption caption = Edit1->Caption();
  if (caption.Empty()) {
    ShowMessageBox(this, "Sorry, there is nothing to export");
    return false;
  }
  exportScene_ = std::make_shared<TScene>();
  CopySceneLook(*scene_, *exportScene_);
  exportScene_->Messages = &exportLog_;
  exportCaption_ = caption;
  return true;
}

void TForm1::ExportButton() {
  if (!SnapshotForExport()) return;
  const TCaption& caption = exportCaption_;
  auto phases = std::make_shared<TExportPhases>();
  // A tab with alpha, or formats offered beside it, render on black and white
  // too, so that the usual case asks for no second round after the dialog.
  TExportSettings asked = export_;
  asked.Type = ExportTypeOfIndex(PageControl2->currentIndex());
  const bool withAlpha = asked.RendersAlpha();
  ProgressBar1->setValue(0);
  QApplication::setOverrideCursor(Qt::BusyCursor);
  RunExportStep(
      [scene = exportScene_, caption, phases, withAlpha, progress = progress_.get()] {
        *phases = vantrix::ExportButton(*scene, caption, progress, withAlpha);
      },
      [this, phases](const std::string& error) {
        if (!error.empty()) {
          ShowMessageBox(this, QString::fromStdString(error));
          return;
        }
        schedule_.StatusDone(scene_->Params.RDelay);
        SaveExport(phases);
      });
}

void TForm1::SaveExport(std::shared_ptr<TExportPhases> phases) {
  // The window's export size and the link join the page's record; the
  // filter the user leaves in the dialog decides this export's type only.
  export_.Type = ExportTypeOfIndex(PageControl2->currentIndex());
  export_.ExportWidth = size_.ExportWidth;
  export_.ExportHeight = size_.ExportHeight;
  export_.TargetURL = Edit2->text().toStdString();
  TExportSettings settings = export_;
  const TCaption& caption = exportCaption_;

  const std::string folder = ExportFolder(programFolder_);
  std::error_code ec;
  std::filesystem::create_directories(folder,
                                      ec);  // a folder that cannot be made leaves the dialog elsewhere
  QFileDialog dialog(this, kExportDialogTitle);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  // The overwrite question is asked below, of the files the export really
  // writes (with "_1" and "_2" and the filter's extension), not of the name typed.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  QStringList filters;
  for (const char* f : kExportFilters) filters << f;
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(filters.value(settings.Type - 1));
  dialog.setDefaultSuffix(ExportSuffix(settings.Type));
  connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
    dialog.setDefaultSuffix(ExportSuffix(ExportTypeOfFilter(filter.toStdString())));
  });
  dialog.setDirectory(QString::fromStdString(folder));
  dialog.selectFile(QString::fromStdString(ProposedExportName(caption, settings.Type)));
  dialog.setOption(QFileDialog::DontUseNativeDialog, qEnvironmentVariableIsSet("VANTRIX_PLAIN_DIALOGS"));
  // The name and filter as they stand when the user accepts: the dialog
  // may still refresh its view (and its selection) before exec returns.
  QString pickedFile, pickedFilter;
  connect(&dialog, &QDialog::accepted, &dialog, [&] {
    pickedFile = dialog.selectedFiles().value(0);
    pickedFilter = dialog.selectedNameFilter();
  });
  std::string chosen;
  for (;;) {
    pickedFile.clear();
    if (dialog.exec() != QDialog::Accepted || pickedFile.isEmpty()) return;
    settings.Type = ExportTypeOfFilter(pickedFilter.toStdString());
    chosen = pickedFile.toStdString();
    const TExportResult names = ExportFileNames(chosen, settings, ExportHasSecond(*exportScene_, *phases));
    std::vector<std::string> files = names.FirstFiles;
    if (names.SecondFiles != names.FirstFiles)
      files.insert(files.end(), names.SecondFiles.begin(), names.SecondFiles.end());
    if (ConfirmReplace(files)) break;
    dialog.selectFile(QString::fromStdString(chosen));
  }

  if (settings.RendersAlpha() && !phases->HasAlpha()) {
    // A filter with alpha chosen in the dialog (or a format offered beside it):
    // the renders on black and white are still to make.
    QApplication::setOverrideCursor(Qt::BusyCursor);
    RunExportStep(
        [scene = exportScene_, caption, phases, progress = progress_.get()] {
          *phases = vantrix::ExportButton(*scene, caption, progress, true);
        },
        [this, phases, settings, chosen](const std::string& error) {
          if (!error.empty()) {
            ShowMessageBox(this, QString::fromStdString(error));
            return;
          }
          WriteExport(phases, settings, chosen);
        });
    return;
  }
  WriteExport(phases, settings, chosen);
}

void TForm1::WriteExport(const std::shared_ptr<TExportPhases>& phases, const TExportSettings& settings,
                         const std::string& chosen) {
  TExportResult r;
  try {
    vantrix::SaveExport(*exportScene_, *phases, settings, chosen, r);
  } catch (const std::exception& e) {
    // A first picture written before the failure is kept, and so is its size.
    if (r.ImageFileSize > 0) imageFileSize_ = r.ImageFileSize;
    ShowMessageBox(this, QString::fromStdString(e.what()));
    return;
  }
  imageFileSize_ = r.ImageFileSize;
  if (phases->HasSecond()) phase2FileSize_ = r.Phase2FileSize;
  if (!settings.BrowserPreview) return;
  try {
    ShowPage(MakeHtml(programFolder_, r.FirstFile, r.SecondFile, settings, *exportScene_, exportCaption_,
                      imageFileSize_, phase2FileSize_));
  } catch (const std::exception& e) {
    ShowMessageBox(this, QString::fromStdString(e.what()));
  }
}

bool TForm1::ConfirmReplace(const std::vector<std::string>& files) {
  QStringList existing;
  for (const std::string& f : files) {
    std::error_code ec;
    // A folder in a picture's place is no question: writing there fails with a message.
    if (std::filesystem::exists(f, ec) && !std::filesystem::is_directory(f, ec))
      existing << QString::fromStdString(std::filesystem::path(f).filename());
  }
  if (existing.isEmpty()) return true;
  const QString text =
      existing.size() == 1
          ? QString("%1 already exists.\nDo you want to replace it?").arg(existing.first())
          : QString("%1 already exist.\nDo you want to replace them?").arg(existing.join(" and "));
  return QMessageBox::question(this, kExportDialogTitle, text, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

void TForm1::ExportSet1Click() {
  if (!setForm_) {
    TSetForm::TSource source;
    source.Look = [this] { return LookOfScene(*scene_, Edit1->Caption()); };
    source.Settings = [this] {
      TExportSettings s = export_;
      s.Type = ExportTypeOfIndex(PageControl2->currentIndex());
      s.TargetURL = Edit2->text().toStdString();
      return s;
    };
    source.Size = [this] { return size_; };
    source.ShowPage = [this](const std::string& page) {
      if (export_.BrowserPreview) ShowPage(page);
    };
    setForm_ = new TSetForm(std::move(source), this);
  }
  std::error_code ec;
  std::filesystem::create_directories(ExportFolder(programFolder_), ec);
  setForm_->Prepare(QString::fromStdString(Edit1->Caption().TextUtf8()),
                    QString::fromStdString(ExportFolder(programFolder_)));
  setForm_->exec();
}

void TForm1::ShowPage(const std::string& path) {
  webForm_->ShowPage(path);
}

void TForm1::ShowInBrowser(const std::string& relativePath) {
  const std::string path = programFolder_ + relativePath;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    ShowMessageBox(this, TFileError(TFileFault::Missing, path, ENOENT).what());
    return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  ShowPage(path);
  QApplication::restoreOverrideCursor();
}

}  // namespace vantrix
