// A paper's web pages are untrusted: they may read only files inside the
// work folder, open no windows of their own, and a page that crashes its
// renderer leaves the reader running.
//
// Pages are served through the "qztpage" URL scheme, whose handler answers
// only for files whose real path (symbolic links resolved) lies inside one
// root folder. Pages under that scheme cannot load file:// URLs at all, and
// relative links (images in NAME.files/) resolve inside the scheme.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineUrlSchemeHandler>

#include <chrono>
#include <memory>
#include <optional>

class QWebEngineProfile;

namespace qzt::ui {

// Makes the "qztpage" scheme known to the engine; false when it comes too
// late (a web engine object exists already). Runs by itself as the
// application starts; main() may call it earlier, before the QApplication.
bool registerPageScheme();

// The scheme URL of `file`, which lies inside `root`; an invalid URL for a
// file outside it. Both are local paths, absolute or relative to the
// current folder.
QUrl pageUrl(const QString& root, const QString& file);

// The real path of the file a scheme URL names, or nothing when the URL is
// not ours, the file does not exist, is not a regular file, or its real
// path lies outside the real path of `root`.
std::optional<QString> confinedFilePath(const QString& root, const QUrl& url);

// Answers scheme requests with files inside one root folder; every other
// request fails as not found.
class PageSchemeHandler : public QWebEngineUrlSchemeHandler {
  Q_OBJECT
 public:
  explicit PageSchemeHandler(const QString& root, QObject* parent = nullptr);
  void requestStarted(QWebEngineUrlRequestJob* job) override;
  const QString& root() const { return root_; }

 private:
  QString root_;
};

// The off-the-record profile for pages of `root`: nothing is kept on disk,
// the scheme is served from `root`, pages cannot reach local files or open
// windows. Made on first use, one per root, owned by the application.
// REQUIRES: the QApplication exists.
QWebEngineProfile* confinedProfile(const QString& root);

// A page of the paper. Links that would leave the paper or open a window
// are handed on (addressClicked) for the browser, one address per click or
// key in the page's view and never on the page's own. A renderer that ends
// abnormally, or stops answering (an endless script), is replaced: by the
// file the reader asked for meanwhile, else by a short notice.
class ConfinedPage : public QWebEnginePage {
  Q_OBJECT
 public:
  // Uses confinedProfile(root).
  explicit ConfinedPage(const QString& root, QObject* parent = nullptr);
  ~ConfinedPage() override;

  // Shows a file inside the root; a file outside it shows the blank page.
  // Web archives (.mht, .mhtml) are opened as local files, which the engine
  // shows sandboxed and loading only what the archive holds.
  void showFile(const QString& path);
  // What the page shows after its renderer crashed or was killed.
  void showNotice();
  const QString& root() const { return root_; }

  // How long a renderer may leave the page unanswered before it is ended;
  // time spent in the page's alert, confirm and prompt boxes is not
  // counted.
  void setUnresponsiveLimit(std::chrono::milliseconds limit);

  static QString noticeText();

 signals:
  // The renderer ended abnormally; the notice (or the asked-for file) is on
  // its way.
  void rendererLost();
  // A web address the reader clicked in the page, for the browser.
  void addressClicked(const QString& address);

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  QWebEnginePage* createWindow(WebWindowType type) override;
  void javaScriptAlert(const QUrl& origin, const QString& text) override;
  bool javaScriptConfirm(const QUrl& origin, const QString& text) override;
  bool javaScriptPrompt(const QUrl& origin, const QString& text, const QString& value,
                        QString* result) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void openElsewhere(const QUrl& url, bool userInitiated);
  bool takeUserInput();
  void checkRenderer();
  void rendererEnded(RenderProcessTerminationStatus status);
  class DialogScope;

  QString root_;
  QUrl pending_;             // asked for and not yet loaded
  QUrl archive_;             // the one local file the page may show
  QElapsedTimer lastInput_;  // the last click or key in the view
  int inputsUnused_ = 0;     // clicks and keys not yet spent on an address
  QElapsedTimer pingSent_;   // an unanswered question to the renderer
  QTimer watch_;
  std::chrono::milliseconds unresponsiveLimit_{10000};
  int openDialogs_ = 0;
  // Answers arriving after the page is gone find this expired.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace qzt::ui
