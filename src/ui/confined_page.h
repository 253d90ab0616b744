// A paper's web pages are untrusted: they may read only files inside the
// work folder, open no windows of their own, and a page that crashes its
// renderer leaves the reader running.
//
// Pages are served through the "qztpage" URL scheme, whose handler answers
// only for files whose real path (symbolic links resolved) lies inside one
// root folder. Pages under that scheme cannot load file:// URLs at all, and
// relative links (images in NAME.files/) resolve inside the scheme.
#pragma once

#include <QString>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineUrlSchemeHandler>

#include <optional>

class QWebEngineProfile;

namespace qzt::ui {

// REQUIRES: called once in main(), before the QApplication exists.
void registerPageScheme();

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
// go to the browser through ielinknewwindows; a renderer that ends
// abnormally is replaced by a short notice.
class ConfinedPage : public QWebEnginePage {
  Q_OBJECT
 public:
  // Uses confinedProfile(root).
  explicit ConfinedPage(const QString& root, QObject* parent = nullptr);

  // Shows a file inside the root; a file outside it shows the blank page.
  void showFile(const QString& path);
  // What the page shows after its renderer crashed or was killed.
  void showNotice();
  const QString& root() const { return root_; }

  static QString noticeText();

 signals:
  // The renderer ended abnormally; the notice is on its way.
  void rendererLost();

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  QWebEnginePage* createWindow(WebWindowType type) override;

 private:
  void openElsewhere(const QUrl& url, bool userInitiated);

  QString root_;
};

}  // namespace qzt::ui
