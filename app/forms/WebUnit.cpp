#include "app/forms/WebUnit.h"

#include <unistd.h>

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QLoggingCategory>
#include <QToolBar>
#include <QVBoxLayout>
#include <utility>

#include "app/forms/FormWidgets.h"

#ifdef VANTRIX_WEBENGINE
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <QWebEngineView>
#endif

namespace vantrix {

namespace {

#ifdef VANTRIX_WEBENGINE
// The embedded browser draws through a screen and a helper process; on a
// platform without a screen, or without the helper, it would only fail later.
bool EmbeddedBrowserUsable() {
  if (qEnvironmentVariableIsSet("VANTRIX_DESKTOP_BROWSER")) return false;
  const QString platform = QGuiApplication::platformName();
  if (platform == "offscreen" || platform == "minimal") return false;
  const QString helper =
      qEnvironmentVariable("QTWEBENGINEPROCESS_PATH",
                           QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + "/QtWebEngineProcess");
  return QFileInfo(helper).isExecutable();
}
#endif

// Pages the browser takes by their name; any other file (the help) is handed
// over as HTML, since the browser shows unknown types as plain text.
bool NamedAsHtml(const QUrl& url) {
  const QString suffix = QFileInfo(url.toLocalFile()).suffix().toLower();
  return !url.isLocalFile() || suffix == "html" || suffix == "htm";
}

}  // namespace

void PrepareEmbeddedBrowser() {
#ifdef VANTRIX_WEBENGINE
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  // Its start-up report is for the browser's developers; QT_LOGGING_RULES still overrides this.
  QLoggingCategory::setFilterRules("qt.webenginecontext.info=false");
  if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
}

TWebForm::TWebForm(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint) {
  setObjectName("WebForm");
  resize(900, 650);
  opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  CreateToolBar();
#ifdef VANTRIX_WEBENGINE
  if (EmbeddedBrowserUsable()) {
    // A profile of its own that keeps nothing on disk: the previews are local
    // files that change under the same names.
    auto* profile = new QWebEngineProfile(this);
    WebBrowser1 = new QWebEngineView(profile, this);
    WebBrowser1->setObjectName("WebBrowser1");
    layout->addWidget(WebBrowser1);
    connect(WebBrowser1, &QWebEngineView::titleChanged, this, &TWebForm::WebBrowserTitleChange);
    connect(WebBrowser1, &QWebEngineView::urlChanged, this, &TWebForm::UpdateActions);
    connect(WebBrowser1, &QWebEngineView::loadStarted, this, [this] { loadError_->clear(); });
    connect(WebBrowser1, &QWebEngineView::loadFinished, this, [this](bool ok) {
      // Back leads through the links followed from the page shown, not to earlier ones.
      if (std::exchange(freshPage_, false)) WebBrowser1->history()->clear();
      // The browser's own error page says why; the bar keeps the address in sight.
      loadError_->setText(ok ? QString() : "Could not show " + WebBrowser1->url().toDisplayString());
      UpdateActions();
    });
    connect(WebBrowser1, &QWebEngineView::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
              if (status == QWebEnginePage::NormalTerminationStatus) return;
              // A browser that cannot draw pages is given up for this run.
              WebBrowser1->hide();
              hide();
              if (current_.isValid()) OpenOutside(current_);
              WebBrowser1->deleteLater();
              WebBrowser1 = nullptr;
            });
  }
#endif
  FormCreate();
}

// The page goes before its profile: a profile released under a live page
// leaves the browser's helper process complaining at exit.
TWebForm::~TWebForm() {
  delete WebBrowser1;
}

void TWebForm::CreateToolBar() {
  auto* bar = new QToolBar(this);
  bar->setObjectName("BrowserBar");
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  layout()->addWidget(bar);
  back_ = bar->addAction("Back");
  back_->setObjectName("BrowserBack");
  // One sequence each: a second equal one (the platform's Back) would make it ambiguous.
  back_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
  forward_ = bar->addAction("Forward");
  forward_->setObjectName("BrowserForward");
  forward_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
  reload_ = bar->addAction("Reload");
  reload_->setObjectName("BrowserReload");
  reload_->setShortcuts({QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)});
  QAction* outside = bar->addAction("Open in Browser");
  outside->setObjectName("BrowserOutside");
  outside->setToolTip("Open this page in the desktop's web browser");
  loadError_ = new QLabel(bar);
  loadError_->setObjectName("BrowserError");
  bar->addWidget(loadError_);
  for (QAction* a : {back_, forward_, reload_, outside}) a->setShortcutContext(Qt::WindowShortcut);
#ifdef VANTRIX_WEBENGINE
  connect(back_, &QAction::triggered, this, [this] {
    if (WebBrowser1) WebBrowser1->back();
  });
  connect(forward_, &QAction::triggered, this, [this] {
    if (WebBrowser1) WebBrowser1->forward();
  });
#endif
  connect(reload_, &QAction::triggered, this, &TWebForm::LoadCurrent);
  connect(outside, &QAction::triggered, this, [this] {
#ifdef VANTRIX_WEBENGINE
    if (WebBrowser1 && WebBrowser1->url().isValid() && WebBrowser1->url().scheme() != "about") {
      OpenOutside(NamedAsHtml(WebBrowser1->url()) ? WebBrowser1->url() : current_);
      return;
    }
#endif
    OpenOutside(current_);
  });
  UpdateActions();
}

void TWebForm::UpdateActions() {
  bool back = false, forward = false;
#ifdef VANTRIX_WEBENGINE
  if (WebBrowser1) {
    back = WebBrowser1->history()->canGoBack();
    forward = WebBrowser1->history()->canGoForward();
  }
#endif
  back_->setEnabled(back);
  forward_->setEnabled(forward);
  reload_->setEnabled(current_.isValid());
}

// Loads current_ afresh from disk into the view.
void TWebForm::LoadCurrent() {
#ifdef VANTRIX_WEBENGINE
  if (!WebBrowser1) return;
  WebBrowser1->page()->profile()->clearHttpCache();
  if (!NamedAsHtml(current_)) {
    QFile file(current_.toLocalFile());
    if (!file.open(QIODevice::ReadOnly)) {
      loadError_->setText("Could not show " + current_.toLocalFile());
      return;
    }
    // Relative links and pictures resolve against the file's own place.
    WebBrowser1->page()->setContent(file.readAll(), "text/html;charset=utf-8", current_);
  } else if (WebBrowser1->url() == current_) {
    WebBrowser1->triggerPageAction(QWebEnginePage::ReloadAndBypassCache);
  } else {
    WebBrowser1->setUrl(current_);
  }
#endif
}

void TWebForm::FormCreate() {
#ifdef VANTRIX_WEBENGINE
  if (WebBrowser1) WebBrowser1->setUrl(QUrl("about:blank"));
#endif
}

void TWebForm::ShowPage(const std::string& path) {
  current_ = QUrl::fromLocalFile(QString::fromStdString(path));
  UpdateActions();
#ifdef VANTRIX_WEBENGINE
  if (WebBrowser1) {
    freshPage_ = true;
    LoadCurrent();
    showMaximized();
    raise();
    activateWindow();
    emit PageRequested(current_);
    return;
  }
#endif
  OpenOutside(current_);
  emit PageRequested(current_);
}

void TWebForm::WebBrowserTitleChange(const QString& title) {
  setWindowTitle(title);
}

void TWebForm::OpenOutside(const QUrl& url) {
  if (opener_(url)) return;
  ShowMessageBox(isVisible() ? static_cast<QWidget*>(this) : parentWidget(),
                 "No web browser could be started to show the page:\n" +
                     (url.isLocalFile() ? url.toLocalFile() : url.toString()));
}

}  // namespace vantrix
