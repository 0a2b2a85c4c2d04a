#pragma once
// TWebForm: the browser window that shows the page an export writes and the
// About page. It holds one embedded web view that fills it and takes the
// page's title as its caption. Where no embedded browser can run (a build
// without one, a platform without a screen, a helper process that is missing
// or dies) the page goes to the desktop's browser instead.

#include <QUrl>
#include <QWidget>
#include <string>

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

  // Shows the file: the page is refreshed from disk (its pictures change
  // under the same names), then the window comes up maximised, not modal.
  void ShowPage(const std::string& path);

  bool Embedded() const { return WebBrowser1 != nullptr; }
  QUrl CurrentUrl() const { return current_; }

 signals:
  void PageRequested(const QUrl& url);  // after each ShowPage, where it went

 private:
  void FormCreate();
  void WebBrowserTitleChange(const QString& title);
  void OpenOutside(const QUrl& url);

  QWebEngineView* WebBrowser1 = nullptr;
  QUrl current_;
};

}  // namespace vantrix
