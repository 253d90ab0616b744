#include "window/message_box.h"

#include <QFileDialog>
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
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

void setMessageHandler(MessageHandler handler) { messageHandler() = std::move(handler); }
void setOpenFileHandler(OpenFileHandler handler) { openFileHandler() = std::move(handler); }

}  // namespace qzt::ui
