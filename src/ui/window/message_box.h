// Every message box and file-open dialog of the main window goes through
// here, so window tests can answer them without a modal loop.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace qzt::ui {

enum class Buttons { Ok, YesNo };

// Shows `text` under `caption`; returns true for OK or Yes.
bool showMessage(QWidget* parent, const QString& caption, const QString& text,
                 Buttons buttons = Buttons::Ok);

// Shows the open dialog; empty when cancelled.
QString chooseOpenFile(QWidget* parent, const QString& title, const QString& folder,
                       const QString& filter);

// Replacements for tests; an empty function restores the real dialog.
using MessageHandler =
    std::function<bool(QWidget* parent, const QString& caption, const QString& text, Buttons)>;
using OpenFileHandler = std::function<QString(const QString& title, const QString& filter)>;
void setMessageHandler(MessageHandler handler);
void setOpenFileHandler(OpenFileHandler handler);

}  // namespace qzt::ui
