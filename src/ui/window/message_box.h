// Every message box and file-open dialog of the main window goes through
// here, so window tests can answer them without a modal loop.
#pragma once

#include <QString>
#include <functional>

class QFileDialog;
class QWidget;

namespace qzt::ui {

enum class Buttons { Ok, YesNo };

// Shows `text` under `caption`; returns true for OK or Yes.
bool showMessage(QWidget* parent, const QString& caption, const QString& text,
                 Buttons buttons = Buttons::Ok);

// Shows the open dialog; empty when cancelled.
QString chooseOpenFile(QWidget* parent, const QString& title, const QString& folder,
                       const QString& filter);

// Runs a file dialog so that the window it stood over gets the focus back
// also when Enter is pressed in the name-completion list; else keys would
// act on that window unseen.
int execFileDialog(QFileDialog& dialog);

// Replacements for tests; an empty function restores the real dialog.
using MessageHandler =
    std::function<bool(QWidget* parent, const QString& caption, const QString& text, Buttons)>;
using OpenFileHandler = std::function<QString(const QString& title, const QString& filter)>;
void setMessageHandler(MessageHandler handler);
void setOpenFileHandler(OpenFileHandler handler);

}  // namespace qzt::ui
