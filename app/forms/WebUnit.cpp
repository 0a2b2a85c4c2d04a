#include "app/forms/WebUnit.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLoggingCategory>
#include <QVBoxLayout>

#ifdef VANTRIX_WEBENGINE
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
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
#ifdef VANTRIX_WEBENGINE
  if (EmbeddedBrowserUsable()) {
    // A profile of its own that keeps nothing on disk: the previews are local
    // files that change under the same names.
    auto* profile = new QWebEngineProfile(this);
    WebBrowser1 = new QWebEngineView(profile, this);
    WebBrowser1->setObjectName("WebBrowser1");
    layout->addWidget(WebBrowser1);
    connect(WebBrowser1, &QWebEngineView::titleChanged, this, &TWebForm::WebBrowserTitleChange);
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

void TWebForm::FormCreate() {
#ifdef VANTRIX_WEBENGINE
  if (WebBrowser1) WebBrowser1->setUrl(QUrl("about:blank"));
#endif
}

void TWebForm::ShowPage(const std::string& path) {
  current_ = QUrl::fromLocalFile(QString::fromStdString(path));
#ifdef VANTRIX_WEBENGINE
  if (WebBrowser1) {
    WebBrowser1->page()->profile()->clearHttpCache();
    if (WebBrowser1->url() == current_)
      WebBrowser1->triggerPageAction(QWebEnginePage::ReloadAndBypassCache);
    else
      WebBrowser1->setUrl(current_);
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
  QDesktopServices::openUrl(url);
}

}  // namespace vantrix
