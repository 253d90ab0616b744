#include "page/page_view.h"

#include <QAbstractTextDocumentLayout>
#include <QFontInfo>
#include <QStackedLayout>
#include <QTextBrowser>
#include <QTextDocument>

#include "desktop/accessible_text.h"
#include "page/focus_ring.h"
#include "page/layout_after_paint.h"
#include "page/text_view.h"
#include "page/web_pane.h"

namespace qzt::ui {

PageView::PageView(QString pageRoot, QWidget* parent)
    : AccessiblePanel(parent), pageRoot_(std::move(pageRoot)) {
  stack_ = new QStackedLayout(this);
  stack_->setContentsMargins(0, 0, 0, 0);
  text_ = new DocumentView(this);
  text_->setObjectName(QStringLiteral("stedit"));
  text_->setAccessibleName(QStringLiteral("试卷页面"));
  text_->setReadOnly(true);
  text_->document()->setUndoRedoEnabled(false);  // zoom steps are no edits to undo
  openLinksInBrowser(text_);
  layoutAfterPaint_ = new LayoutAfterPaint(text_);
  stack_->addWidget(text_);
}

void PageView::setZoom(double factor) {
  if (factor == zoom_) return;
  scaleTextSizes(text_->document(), factor / zoom_, unsizedPointSize(factor));
  zoom_ = factor;
  if (web_) web_->setZoom(factor);
}

bool PageView::showTextPage(const QString& path) {
  std::unique_ptr<QTextDocument> document = readTextDocument(path);
  if (!document) return false;
  showTextDocument(std::move(document));
  return true;
}

void PageView::showTextDocument(std::unique_ptr<QTextDocument> document) {
  // Set before the view lays it out, as for the view's own document: its
  // font, and the screen it is measured for.
  document->setDefaultFont(text_->font());
  document->documentLayout()->setPaintDevice(text_->viewport());
  // The view deletes the document it made itself; the pages it was given
  // are ours.
  QTextDocument* shown = text_->document();
  const bool shownIsOurs = shown->parent() == text_;
  document->setParent(text_);
  text_->setDocument(document.release());
  if (shownIsOurs) delete shown;
  layoutAfterPaint_->pageLoaded();
  // At 100% the page is shown as read: no second pass over it.
  if (zoom_ != 1.0) scaleTextSizes(text_->document(), zoom_, unsizedPointSize(zoom_));
  stack_->setCurrentWidget(text_);
}

void PageView::showWebPage(const QString& path) {
  WebPane* web = ensureWebPane();
  if (!web) {
    // Without the web library the page stays blank, as a page that failed.
    text_->clear();
    stack_->setCurrentWidget(text_);
    emit webLoadFinished(false);
    return;
  }
  web->showFile(path);
  stack_->setCurrentWidget(web->view());
}

void PageView::prepareWebPage() {
  WebPane* web = ensureWebPane();
  if (!web) return;
  web->showBlank();
  stack_->setCurrentWidget(web->view());
}

void PageView::showBlank() {
  if (webInFront()) {
    web_->showBlank();
    return;
  }
  text_->clear();
}

qreal PageView::unsizedPointSize(double factor) const {
  return QFontInfo(text_->font()).pointSizeF() * factor;
}

QWidget* PageView::webView() const { return web_ ? web_->view() : nullptr; }

bool PageView::webInFront() const { return web_ && stack_->currentWidget() == web_->view(); }

WebPane* PageView::ensureWebPane() {
  if (!web_) {
    WebPaneSetup setup;
    setup.root = pageRoot_;
    setup.parent = this;
    setup.zoom = zoom_;
    setup.loadFinished = [this](bool ok) { emit webLoadFinished(ok); };
    web_ = makeWebPane(setup);
    if (web_) {
      new FocusRing(web_->view());  // it draws no focus mark of its own
      stack_->addWidget(web_->view());
    }
  }
  return web_;
}

}  // namespace qzt::ui
