// Saving the answers to an answer file (.da) and importing them back. The
// file format and the import rules are the core's; this is the dialogs,
// the messages and the file access.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace qzt {
class ExamSession;
}

// What the two commands show. Tests replace these so no modal dialog runs.
struct AnswerFileUi {
  // The chosen file, or an empty text when cancelled. `proposedName` is the
  // file name offered; `filter` a Qt name filter.
  std::function<QString(QWidget* parent, const QString& title, const QString& proposedName,
                        const QString& filter)>
      getSaveFileName;
  std::function<QString(QWidget* parent, const QString& title, const QString& proposedName,
                        const QString& filter)>
      getOpenFileName;
  // A message box with an OK button.
  std::function<void(QWidget* parent, const QString& caption, const QString& text)> information;
  // A file that could not be read or written, with the system's reason.
  std::function<void(QWidget* parent, const QString& caption, const QString& text)> failure;
};

// The dialogs and message boxes of the desktop.
AnswerFileUi desktopAnswerFileUi();
// Replaces the UI of both commands; members left empty keep the desktop's.
void setAnswerFileUiForTesting(AnswerFileUi ui);

// Asks for a file and writes the session's answers to it. The file is
// replaced whole or not at all: a failed write leaves an existing file as
// it was, and says so.
void saveAnswers(QWidget* parent, qzt::ExamSession& session);

// Asks for an answer file and puts its answers into the session. True when
// the answers changed; the caller then shows them. A file for another
// paper, of another length, empty or unreadable changes nothing.
bool importAnswers(QWidget* parent, qzt::ExamSession& session);
