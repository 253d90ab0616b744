#include "page/page_view.h"

#include <QFontInfo>
#include <QStackedLayout>
#include <QTextBrowser>
#include <QUrl>
#include <QWebEngineView>

#include "desktop/accessible_text.h"
#include "page/confined_page.h"
#include "page/focus_ring.h"
#include "page/text_view.h"

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
  stack_->addWidget(text_);
}

void PageView::setZoom(double factor) {
  if (factor == zoom_) return;
  scaleTextSizes(text_->document(), factor / zoom_, unsizedPointSize(factor));
  zoom_ = factor;
  if (web_) web_->setZoomFactor(factor);
}

bool PageView::showTextPage(const QString& path) {
  if (!loadTextFile(text_, path)) return false;
  // At 100% the page is shown as read: no second pass over it.
  if (zoom_ != 1.0) scaleTextSizes(text_->document(), zoom_, unsizedPointSize(zoom_));
  stack_->setCurrentWidget(text_);
  return true;
}

void PageView::showWebPage(const QString& path) {
  QWebEngineView* web = ensureWebView();
  webPage_->showFile(path);
  stack_->setCurrentWidget(web);
}

void PageView::showBlank() {
  if (webInFront()) {
    web_->setUrl(QUrl(QStringLiteral("about:blank")));
    return;
  }
  text_->clear();
}

qreal PageView::unsizedPointSize(double factor) const {
  return QFontInfo(text_->font()).pointSizeF() * factor;
}

bool PageView::webInFront() const { return web_ && stack_->currentWidget() == web_; }

QWebEngineView* PageView::ensureWebView() {
  if (!web_) {
    web_ = new QWebEngineView(this);
    web_->setObjectName(QStringLiteral("WebBrowser1"));
    new FocusRing(web_);  // it draws no focus mark of its own
    webPage_ = new ConfinedPage(pageRoot_, web_);
    web_->setPage(webPage_);
    web_->setZoomFactor(zoom_);
    connect(web_, &QWebEngineView::loadFinished, this, &PageView::webLoadFinished);
    stack_->addWidget(web_);
  }
  return web_;
}

}  // namespace qzt::ui
