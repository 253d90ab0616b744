#include "page/confined_page.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <QPointer>
#include <QTimer>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineView>
#include <algorithm>
#include <utility>

#include "desktop/platform.h"

namespace qzt::ui {

namespace {

constexpr char kScheme[] = "qztpage";
// Every page shares one host, so a page and its NAME.files/ are one origin.
constexpr char kHost[] = "work";
// How long a click or key lets the page send one address to the browser.
constexpr qint64 kInputLastsMs = 5000;
constexpr int kInputsKept = 3;

bool leavesRoot(const QString& relative) {
  return relative.isEmpty() || relative == QLatin1String("..") ||
         relative.startsWith(QLatin1String("../")) || QDir::isAbsolutePath(relative);
}

// The real path with a trailing separator, so "/work" does not hold
// "/workshop".
QString realFolderPrefix(const QString& root) {
  QString real = QFileInfo(root).canonicalFilePath();
  if (real.isEmpty()) return {};
  if (!real.endsWith(QLatin1Char('/'))) real += QLatin1Char('/');
  return real;
}

// Fixed types for what pages are made of; the rest by name or content
// (a page without extension is still a page).
QByteArray mimeTypeOf(const QString& path) {
  static const QHash<QString, QByteArray> known = {
      {QStringLiteral("htm"), "text/html"},         {QStringLiteral("html"), "text/html"},
      {QStringLiteral("css"), "text/css"},          {QStringLiteral("js"), "text/javascript"},
      {QStringLiteral("png"), "image/png"},         {QStringLiteral("jpg"), "image/jpeg"},
      {QStringLiteral("jpeg"), "image/jpeg"},       {QStringLiteral("gif"), "image/gif"},
      {QStringLiteral("svg"), "image/svg+xml"},     {QStringLiteral("txt"), "text/plain"},
      {QStringLiteral("bmp"), "image/bmp"},         {QStringLiteral("ico"), "image/x-icon"},
  };
  const QString suffix = QFileInfo(path).suffix().toLower();
  const auto found = known.constFind(suffix);
  if (found != known.constEnd()) return *found;
  return QMimeDatabase().mimeTypeForFile(path).name().toLatin1();
}

void confine(QWebEngineSettings* settings) {
  using S = QWebEngineSettings;
  settings->setAttribute(S::LocalContentCanAccessFileUrls, false);
  settings->setAttribute(S::LocalContentCanAccessRemoteUrls, false);
  settings->setAttribute(S::JavascriptCanOpenWindows, false);
  settings->setAttribute(S::JavascriptCanAccessClipboard, false);
  settings->setAttribute(S::JavascriptCanPaste, false);
  settings->setAttribute(S::AllowWindowActivationFromJavaScript, false);
  // A file dropped on the view would otherwise be opened as file://.
  settings->setAttribute(S::NavigateOnDropEnabled, false);
  settings->setAttribute(S::PluginsEnabled, false);
  settings->setAttribute(S::FullScreenSupportEnabled, false);
  settings->setAttribute(S::ScreenCaptureEnabled, false);
  settings->setAttribute(S::HyperlinkAuditingEnabled, false);
  // Papers are written on Chinese systems; a page that names no encoding
  // is GBK.
  settings->setDefaultTextEncoding(QStringLiteral("GBK"));
}

QHash<QString, QPointer<QWebEngineProfile>>& profiles() {
  static QHash<QString, QPointer<QWebEngineProfile>> table;
  return table;
}

bool isWebAddress(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

}  // namespace

bool registerPageScheme() {
  if (QWebEngineUrlScheme::schemeByName(kScheme).name() == kScheme) return true;
  QWebEngineUrlScheme scheme(kScheme);
  scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
  // CORS on: a page may read its own files by XHR; other origins may not.
  scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled);
  QWebEngineUrlScheme::registerScheme(scheme);
  return QWebEngineUrlScheme::schemeByName(kScheme).name() == kScheme;
}

QUrl pageUrl(const QString& root, const QString& file) {
  QString relative =
      QDir(QFileInfo(root).absoluteFilePath()).relativeFilePath(QFileInfo(file).absoluteFilePath());
  if (leavesRoot(relative)) {
    // The root may be reached through a link (a temp folder often is).
    const QString realRoot = QFileInfo(root).canonicalFilePath();
    const QString realFile = QFileInfo(file).canonicalFilePath();
    if (realRoot.isEmpty() || realFile.isEmpty()) return {};
    relative = QDir(realRoot).relativeFilePath(realFile);
    if (leavesRoot(relative)) return {};
  }
  QUrl url;
  url.setScheme(QString::fromLatin1(kScheme));
  url.setHost(QString::fromLatin1(kHost));
  url.setPath(QLatin1Char('/') + relative, QUrl::DecodedMode);
  return url;
}

std::optional<QString> confinedFilePath(const QString& root, const QUrl& url) {
  if (url.scheme() != QLatin1String(kScheme) || url.host() != QLatin1String(kHost)) {
    return std::nullopt;
  }
  // Decoded, "%2F" and "%2E" included: the real-path test below is what
  // keeps a request inside, not the shape of the URL.
  const QString relative = url.path(QUrl::FullyDecoded);
  if (relative.contains(QChar(0))) return std::nullopt;
  const QString prefix = realFolderPrefix(root);
  if (prefix.isEmpty()) return std::nullopt;
  const QFileInfo real(QFileInfo(prefix + relative).canonicalFilePath());
  const QString realPath = real.filePath();
  if (realPath.isEmpty() || !realPath.startsWith(prefix) || !real.isFile()) return std::nullopt;
  return realPath;
}

PageSchemeHandler::PageSchemeHandler(const QString& root, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent), root_(root) {}

void PageSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
  const std::optional<QString> path = confinedFilePath(root_, job->requestUrl());
  if (job->requestMethod() != "GET" || !path) {
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
    return;
  }
  // Opened by its real path, so no link is followed after the test.
  auto* file = new QFile(*path, job);
  if (!file->open(QIODevice::ReadOnly)) {
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
    return;
  }
  job->reply(mimeTypeOf(*path), file);
}

QWebEngineProfile* confinedProfile(const QString& root) {
  QString key = QFileInfo(root).canonicalFilePath();
  if (key.isEmpty()) key = QFileInfo(root).absoluteFilePath();
  if (QWebEngineProfile* known = profiles().value(key)) return known;
  // No storage name: off the record, nothing written to disk.
  auto* profile = new QWebEngineProfile(QCoreApplication::instance());
  profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
  // An unregistered scheme has no known rules; then nothing is served.
  if (registerPageScheme()) {
    profile->installUrlSchemeHandler(kScheme, new PageSchemeHandler(root, profile));
  } else {
    qWarning("qztpage scheme registered too late; paper pages stay blank");
  }
  confine(profile->settings());
  profiles().insert(key, profile);
  return profile;
}

// While one of the page's boxes is up its renderer waits for the answer;
// that is not a hang.
class ConfinedPage::DialogScope {
 public:
  explicit DialogScope(ConfinedPage* page) : page_(page), alive_(page->alive_) {
    ++page_->openDialogs_;
    page_->pingSent_.invalidate();
  }
  ~DialogScope() {
    if (alive_.expired()) return;
    --page_->openDialogs_;
    page_->pingSent_.invalidate();
  }
  DialogScope(const DialogScope&) = delete;
  DialogScope& operator=(const DialogScope&) = delete;

 private:
  ConfinedPage* page_;
  std::weak_ptr<int> alive_;
};

ConfinedPage::ConfinedPage(const QString& root, QObject* parent)
    : QWebEnginePage(confinedProfile(root), parent), root_(root) {
  // The context menu offers only what works: a confined page is neither
  // saved nor shown as source.
  action(QWebEnginePage::SavePage)->setVisible(false);
  action(QWebEnginePage::ViewSource)->setVisible(false);
  connect(this, &QWebEnginePage::newWindowRequested, this,
          [this](QWebEngineNewWindowRequest& request) {
            openElsewhere(request.requestedUrl(), request.isUserInitiated());
          });
  connect(this, &QWebEnginePage::renderProcessTerminated, this, &ConfinedPage::rendererEnded);
  // A question sent to the document being replaced may never be answered.
  connect(this, &QWebEnginePage::loadStarted, this, [this] { pingSent_.invalidate(); });
  connect(this, &QWebEnginePage::loadFinished, this, [this](bool ok) {
    pingSent_.invalidate();
    if (ok) pending_.clear();
  });
  connect(&watch_, &QTimer::timeout, this, &ConfinedPage::checkRenderer);
  setUnresponsiveLimit(unresponsiveLimit_);
  watch_.start();
  QCoreApplication::instance()->installEventFilter(this);
}

ConfinedPage::~ConfinedPage() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

void ConfinedPage::setUnresponsiveLimit(std::chrono::milliseconds limit) {
  unresponsiveLimit_ = limit;
  watch_.setInterval(std::max(limit / 4, std::chrono::milliseconds(50)));
}

QString ConfinedPage::noticeText() { return QStringLiteral("此页面已停止运行。"); }

void ConfinedPage::showFile(const QString& path) {
  QUrl url = pageUrl(root_, path);
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("mht") || suffix == QLatin1String("mhtml")) {
    // The engine opens web archives only from local files, and shows them
    // sandboxed: no scripts, nothing loaded that is not in the archive.
    const std::optional<QString> real = confinedFilePath(root_, url);
    url = real ? QUrl::fromLocalFile(*real) : QUrl();
    archive_ = url;
  }
  pending_ = url;
  setUrl(url.isValid() ? url : QUrl(QStringLiteral("about:blank")));
}

void ConfinedPage::showNotice() {
  setHtml(QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title>"
                         "</head><body><p>%1</p></body></html>")
              .arg(noticeText().toHtmlEscaped()));
}

bool ConfinedPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
  const QString scheme = url.scheme().toLower();
  if (scheme == QLatin1String(kScheme) || scheme == QLatin1String("about")) return true;
  if (scheme == QLatin1String("file")) {
    return isMainFrame && url == archive_ &&
           (type == NavigationTypeTyped || type == NavigationTypeReload ||
            type == NavigationTypeBackForward);
  }
  // The notice is set by the program; a page may put data in a frame.
  if (scheme == QLatin1String("data")) return type == NavigationTypeTyped || !isMainFrame;
  // Scripts moving the page count as link clicks too; the click itself is
  // what tells them apart.
  if (type == NavigationTypeLinkClicked) openElsewhere(url, takeUserInput());
  return false;
}

QWebEnginePage* ConfinedPage::createWindow(WebWindowType) { return nullptr; }

void ConfinedPage::javaScriptAlert(const QUrl& origin, const QString& text) {
  const DialogScope scope(this);
  QWebEnginePage::javaScriptAlert(origin, text);
}

bool ConfinedPage::javaScriptConfirm(const QUrl& origin, const QString& text) {
  const DialogScope scope(this);
  return QWebEnginePage::javaScriptConfirm(origin, text);
}

bool ConfinedPage::javaScriptPrompt(const QUrl& origin, const QString& text, const QString& value,
                                    QString* result) {
  const DialogScope scope(this);
  return QWebEnginePage::javaScriptPrompt(origin, text, value, result);
}

bool ConfinedPage::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
    case QEvent::TouchBegin:
      break;
    default:
      return false;
  }
  const QWebEngineView* view = QWebEngineView::forPage(this);
  if (!view || !watched->isWidgetType()) return false;
  const auto* widget = static_cast<QWidget*>(watched);
  if (widget != view && !view->isAncestorOf(widget)) return false;
  if (!lastInput_.isValid() || lastInput_.elapsed() > kInputLastsMs) inputsUnused_ = 0;
  inputsUnused_ = std::min(inputsUnused_ + 1, kInputsKept);
  lastInput_.start();
  return false;
}

// Counted, not timed alone: the address of a click may reach us after the
// next click.
bool ConfinedPage::takeUserInput() {
  if (!lastInput_.isValid() || lastInput_.elapsed() > kInputLastsMs || inputsUnused_ == 0) {
    return false;
  }
  --inputsUnused_;
  return true;
}

void ConfinedPage::openElsewhere(const QUrl& url, bool userInitiated) {
  // A page may not start the browser on its own, only on a click.
  if (!userInitiated) return;
  if (isWebAddress(url)) {
    emit addressClicked(url.toString());
  } else if (url.scheme() == QLatin1String(kScheme)) {
    // A page of the paper meant for a new window opens here instead.
    QTimer::singleShot(0, this, [this, url] { setUrl(url); });
  }
}

void ConfinedPage::checkRenderer() {
  if (openDialogs_ > 0 || renderProcessPid() <= 0) return;
  if (!pingSent_.isValid()) {
    pingSent_.start();
    runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                  [this, alive = std::weak_ptr<int>(alive_)](const QVariant&) {
                    if (!alive.expired()) pingSent_.invalidate();
                  });
    return;
  }
  if (pingSent_.elapsed() < unresponsiveLimit_.count()) return;
  // An endless script: only ending its process frees the page.
  pingSent_.invalidate();
  platform::endProcess(renderProcessPid());
}

void ConfinedPage::rendererEnded(RenderProcessTerminationStatus status) {
  if (status == NormalTerminationStatus) return;
  pingSent_.invalidate();
  emit rendererLost();
  // One more try for a file asked for while the renderer was stuck; a page
  // that crashes again gets the notice.
  const QUrl next = std::exchange(pending_, QUrl());
  QTimer::singleShot(0, this, [this, next] {
    if (next.isValid()) {
      setUrl(next);
    } else {
      showNotice();
    }
  });
}

}  // namespace qzt::ui

// Every program with paper pages registers the scheme as its application
// starts, before any web engine object can exist.
static void registerPageSchemeAtStart() { qzt::ui::registerPageScheme(); }
Q_COREAPP_STARTUP_FUNCTION(registerPageSchemeAtStart)
