#include "side/notes_window.h"

#include <QKeyEvent>
#include <QPointer>
#include <QStackedLayout>
#include <QTextBrowser>
#include <QUrl>
#include <QWebEngineView>

#include "page/confined_page.h"

#include "page/text_view.h"

namespace {

constexpr int kLeft = 66;
constexpr int kTop = 38;
constexpr int kWidth = 677;
constexpr int kHeight = 490;

QPointer<NotesWindow>& living() {
  static QPointer<NotesWindow> window;
  return window;
}

// From the last "." of the whole path on, lower-cased; empty without one.
QString extensionOf(const QString& path) {
  const qsizetype dot = path.lastIndexOf(u'.');
  return dot < 0 ? QString() : path.mid(dot).toLower();
}

}  // namespace

// A window of its own rather than the owner's child: it may go behind the
// main window like any other. It goes when its owner does.
NotesWindow::NotesWindow(QWidget* owner) : QWidget(nullptr, Qt::Window) {
  if (owner) connect(owner, &QObject::destroyed, this, &QWidget::close);
  setObjectName(QStringLiteral("TForm2"));
  setWindowTitle(QStringLiteral("注释"));
  setAttribute(Qt::WA_DeleteOnClose);
  resize(kWidth, kHeight);
  move(kLeft, kTop);

  text_ = new QTextBrowser(this);
  text_->setObjectName(QStringLiteral("jjtxt"));
  text_->setFont(cjkFont(15));
  openLinksInBrowser(text_);

  stack_ = new QStackedLayout(this);
  stack_->setContentsMargins(0, 0, 0, 0);
  stack_->addWidget(text_);
}

NotesWindow* NotesWindow::instance() {
  return living().data();
}

NotesWindow* NotesWindow::showNotes(QWidget* owner, const QString& root, const QString& path) {
  NotesWindow* window = living();
  if (window) {
    if (window->isMinimized() || window->isMaximized()) window->showNormal();
    window->show();
  } else {
    window = new NotesWindow(owner);
    living() = window;
    window->show();
  }
  window->raise();
  window->activateWindow();
  window->load(root, path);
  return window;
}

void NotesWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

QWidget* NotesWindow::currentView() const {
  return stack_->currentWidget();
}

void NotesWindow::load(const QString& root, const QString& path) {
  const QString ext = extensionOf(path);
  if (ext == QLatin1String(".txt") || ext == QLatin1String(".rtf")) {
    loadTextFile(text_, path);
    stack_->setCurrentWidget(text_);
    return;
  }
  // A page of another paper's work folder needs a page confined to it.
  if (page_ && pageRoot_ != root) {
    page_->deleteLater();
    page_ = nullptr;
  }
  QWebEngineView* web = ensureWebView();
  if (!page_) {
    pageRoot_ = root;
    page_ = new qzt::ui::ConfinedPage(root, web);
    web->setPage(page_);
  }
  page_->showFile(path);
  stack_->setCurrentWidget(web);
}

QWebEngineView* NotesWindow::ensureWebView() {
  if (!web_) {
    web_ = new QWebEngineView(this);
    web_->setObjectName(QStringLiteral("WebBrowser1"));
    stack_->addWidget(web_);
  }
  return web_;
}
