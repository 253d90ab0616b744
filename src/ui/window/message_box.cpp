#include "window/message_box.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>

namespace qzt::ui {
namespace {

MessageHandler& messageHandler() {
  static MessageHandler handler;
  return handler;
}

OpenFileHandler& openFileHandler() {
  static OpenFileHandler handler;
  return handler;
}

class CompletionCloser : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) static_cast<QWidget*>(watched)->hide();
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

bool showMessage(QWidget* parent, const QString& caption, const QString& text, Buttons buttons) {
  if (messageHandler()) return messageHandler()(parent, caption, text, buttons);
  if (buttons == Buttons::Ok) {
    QMessageBox::information(parent, caption, text, QMessageBox::Ok);
    return true;
  }
  return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

QString chooseOpenFile(QWidget* parent, const QString& title, const QString& folder,
                       const QString& filter) {
  if (openFileHandler()) return openFileHandler()(title, filter);
  QFileDialog dialog(parent, title, folder, filter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (execFileDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

int execFileDialog(QFileDialog& dialog) {
  // Enter in the name-completion list would close the dialog under its own
  // popup, after which the window manager and Qt disagree about which
  // window has the focus. The list closes first, as Escape closes it.
  CompletionCloser closer;
  for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
    if (QCompleter* completer = edit->completer()) completer->popup()->installEventFilter(&closer);
  }
  return dialog.exec();
}

void setMessageHandler(MessageHandler handler) { messageHandler() = std::move(handler); }
void setOpenFileHandler(OpenFileHandler handler) { openFileHandler() = std::move(handler); }

}  // namespace qzt::ui
