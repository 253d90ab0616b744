// The entry point of libqztweb: panes of confined pages, for the reader
// that loads this library on its first web page.
#include <QWebEngineView>

#include "page/confined_page.h"
#include "page/web_pane.h"

namespace qzt::ui {

namespace {

class ConfinedView : public QWebEngineView, public WebPane {
 public:
  explicit ConfinedView(const WebPaneSetup& setup) : QWebEngineView(setup.parent) {
    setObjectName(QStringLiteral("WebBrowser1"));
    page_ = new ConfinedPage(setup.root, this);
    setPage(page_);
    setZoomFactor(setup.zoom);
    if (setup.loadFinished) connect(this, &QWebEngineView::loadFinished, this, setup.loadFinished);
    if (setup.openAddress) connect(page_, &ConfinedPage::addressClicked, this, setup.openAddress);
  }

  QWidget* view() override { return this; }
  void showFile(const QString& path) override { page_->showFile(path); }
  void showBlank() override { setUrl(QUrl(QStringLiteral("about:blank"))); }
  void setZoom(double factor) override { setZoomFactor(factor); }

 private:
  ConfinedPage* page_ = nullptr;
};

}  // namespace

}  // namespace qzt::ui

extern "C" Q_DECL_EXPORT qzt::ui::WebPane* qzt_make_web_pane(const qzt::ui::WebPaneSetup& setup) {
  return new qzt::ui::ConfinedView(setup);
}
