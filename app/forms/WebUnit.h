#pragma once
// TWebForm: the browser window that shows the page an export writes, the
// About page and the help. It holds one embedded web view under a small
// toolbar (Back, Forward, Reload, Open in the desktop's browser; Alt+Left and
// Alt+Right) and takes the page's title as its caption. Where no embedded
// browser can run (a build without one, a platform without a screen, a
// helper process that is missing or dies) the page goes to the desktop's
// browser instead, and a desktop that cannot show it is told to the user.

#include <QUrl>
#include <QWidget>
#include <functional>
#include <string>

class QAction;
class QLabel;
class QWebEngineView;

namespace vantrix {

// Call before the QApplication exists: the embedded browser reads its
// switches then (shared GL contexts; no sandbox when run as root, which the
// browser's sandbox refuses).
void PrepareEmbeddedBrowser();

class TWebForm : public QWidget {
  Q_OBJECT
 public:
  explicit TWebForm(QWidget* owner = nullptr);
  ~TWebForm() override;

  // Shows the file: the page is refreshed from disk (its pictures change
  // under the same names), then the window comes up maximised, not modal.
  // A file whose name does not end in .html or .htm (the help) is shown as
  // HTML all the same.
  void ShowPage(const std::string& path);

  bool Embedded() const { return WebBrowser1 != nullptr; }
  QUrl CurrentUrl() const { return current_; }

  // How a page reaches the desktop's browser; false when it could not start.
  // Tests replace it.
  using TOpener = std::function<bool(const QUrl&)>;
  void SetDesktopOpener(TOpener opener) { opener_ = std::move(opener); }

 signals:
  void PageRequested(const QUrl& url);  // after each ShowPage, where it went

 private:
  void FormCreate();
  void CreateToolBar();
  void LoadCurrent();
  void UpdateActions();
  void WebBrowserTitleChange(const QString& title);
  void OpenOutside(const QUrl& url);

  QWebEngineView* WebBrowser1 = nullptr;
  QAction* back_ = nullptr;
  QAction* forward_ = nullptr;
  QAction* reload_ = nullptr;
  QLabel* loadError_ = nullptr;
  QUrl current_;
  bool freshPage_ = false;  // ShowPage's load: the history starts after it
  TOpener opener_;
};

}  // namespace vantrix
