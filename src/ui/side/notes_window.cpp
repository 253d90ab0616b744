#include "side/notes_window.h"

#include <QKeyEvent>
#include <QPointer>
#include <QStackedLayout>
#include <QTextBrowser>

#include "page/text_view.h"
#include "page/web_pane.h"

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
  qzt::ui::WebPane* web = webPaneFor(root);
  if (!web) {
    text_->clear();  // without the web library: a blank page
    stack_->setCurrentWidget(text_);
    return;
  }
  web->showFile(path);
  stack_->setCurrentWidget(web->view());
}

QWidget* NotesWindow::webView() const { return web_ ? web_->view() : nullptr; }

qzt::ui::WebPane* NotesWindow::webPaneFor(const QString& root) {
  // A page of another paper's work folder needs a page confined to it.
  if (web_ && pageRoot_ != root) {
    web_->view()->deleteLater();
    web_ = nullptr;
  }
  if (!web_) {
    qzt::ui::WebPaneSetup setup;
    setup.root = root;
    setup.parent = this;
    web_ = qzt::ui::makeWebPane(setup);
    if (!web_) return nullptr;
    pageRoot_ = root;
    stack_->addWidget(web_->view());
  }
  return web_;
}
