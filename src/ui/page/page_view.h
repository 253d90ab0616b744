// The paper's page: a read-only text view for .txt and .rtf pages and a web
// view for everything else. The web view is heavy, so it is made only when
// the first web page arrives or is expected; until then the empty text view
// is the blank page. Web pages are untrusted and see only the files under
// the page root (the work folder).
#pragma once

#include <QString>

#include <memory>

#include "desktop/accessible_tree.h"

class QStackedLayout;
class QTextDocument;
class QTextBrowser;

namespace qzt::ui {

class LayoutAfterPaint;
class WebPane;

class PageView : public AccessiblePanel {  // the page not in front is not read
  Q_OBJECT
 public:
  explicit PageView(QString pageRoot, QWidget* parent = nullptr);

  // Loads a plain-text or rich-text page into the text view and brings it
  // to the front. False when the file cannot be loaded.
  bool showTextPage(const QString& path);
  // Brings a page read into a document of its own (readTextDocument) to the
  // front in the text view, which keeps it.
  void showTextDocument(std::unique_ptr<QTextDocument> document);
  // Lets the web view show a file under the page root and brings it to the
  // front; a file outside the root shows a blank page.
  void showWebPage(const QString& path);
  // A blank page in whichever view is in front.
  void showBlank();
  // Brings an empty web view to the front for a web page that is expected:
  // made and shown with the window, it starts the engine early and spares
  // the window the new native window a web view brings when it first shows.
  void prepareWebPage();

  QTextBrowser* textView() const { return text_; }
  // Null until the first web page or prepareWebPage (and when web pages
  // cannot be shown).
  QWidget* webView() const;
  bool webInFront() const;
  // Zooms both views: the web view's own zoom; in the text view every run's
  // size, in one pass over the page (the view's own font stays).
  void setZoom(double factor);

 signals:
  // The web view finished loading a page (ok = it loaded).
  void webLoadFinished(bool ok);

 private:
  WebPane* ensureWebPane();
  // Text without a size of its own follows the view's font at 100%.
  qreal unsizedPointSize(double factor) const;

  QString pageRoot_;
  QStackedLayout* stack_ = nullptr;
  QTextBrowser* text_ = nullptr;
  LayoutAfterPaint* layoutAfterPaint_ = nullptr;
  WebPane* web_ = nullptr;
  double zoom_ = 1.0;
};

}  // namespace qzt::ui
