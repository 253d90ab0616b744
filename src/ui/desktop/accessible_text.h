// Text widgets as assistive technology should read them, where Qt's own
// reading falls short: a read-only page reads as a named document whose
// text is the text on screen (no internal table marks), and a text box
// reads as editable only while it takes typing (Qt calls a read-only box
// editable too).
#pragma once

#include <QLineEdit>
#include <QTextBrowser>

class QAccessibleInterface;

namespace qzt::ui {

// A read-only rich-text view that reads as a document named by its
// accessible name.
class DocumentView : public QTextBrowser {
  Q_OBJECT
 public:
  using QTextBrowser::QTextBrowser;
};

// A one-line text box that reads as editable or as read-only, never both.
class AnswerEdit : public QLineEdit {
  Q_OBJECT
 public:
  using QLineEdit::QLineEdit;
};

// The accessible interface of `object` if it is one of the widgets above;
// null otherwise.
QAccessibleInterface* accessibleTextFor(QObject* object);

}  // namespace qzt::ui
