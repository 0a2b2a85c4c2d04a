#pragma once
// TSetForm: File > "Export a set of buttons ...". One caption a line; every
// button takes the work's look and the Export page's format and options, and
// all of them one size (the button that fits the widest caption). The set is
// made on worker threads (imaging/ExportSet.h) while the window stays usable;
// Stop ends it after the buttons being drawn, and each line's result is
// listed.

#include <QDialog>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "app/logic/ExportSize.h"
#include "imaging/ExportSet.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace vantrix {

class TSetForm : public QDialog {
  Q_OBJECT
 public:
  // What the set needs from the main window when Export is pressed.
  struct TSource {
    std::function<TExportSetLook()> Look;
    std::function<TExportSettings()> Settings;              // the Export page's
    std::function<TExportSize()> Size;                      // the window's export size
    std::function<void(const std::string& page)> ShowPage;  // nav.html, when the page asks for a preview
  };

  TSetForm(TSource source, QWidget* parent = nullptr);
  ~TSetForm() override;

  // Prefills the list (when empty) and the folder before showing.
  void Prepare(const QString& caption, const QString& folder);
  bool Running() const { return worker_.joinable(); }
  const TExportSetResult& LastResult() const { return result_; }

 signals:
  void Finished();  // the set has ended, written or not

 protected:
  void reject() override;

 private:
  void ExportClick();
  void StopClick();
  void BrowseClick();
  void Progress(int stage, int done, int total);
  void Done(const QString& failure);

  TSource source_;
  QPlainTextEdit* Memo1 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QLabel* StaticText1 = nullptr;
  QListWidget* ListBox1 = nullptr;
  QPushButton* Button1 = nullptr;  // Export
  QPushButton* Button2 = nullptr;  // Stop / Close

  std::thread worker_;
  std::atomic<bool> stop_{false};
  std::unique_ptr<TExportSet> set_;
  TExportSetResult result_;
  bool page_ = false;
  std::string folder_;
};

}  // namespace vantrix
