#include "desktop/accessible_text.h"

#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace qzt::ui {
namespace {

// The document's text as a reader hears it: a table's cell marks and
// paragraph ends become line ends, one for one, so offsets stay those of
// the document.
QString spokenText(QString text) {
  for (QChar& c : text) {
    const char16_t u = c.unicode();
    if (u == 0xFDD0 || u == 0xFDD1 || u == QChar::ParagraphSeparator || u == QChar::LineSeparator) c = u'\n';
    else if (u == QChar::Nbsp) c = u' ';
  }
  return text;
}

class DocumentInterface : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit DocumentInterface(DocumentView* view) : QAccessibleWidget(view, QAccessible::Document) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
  }

  void selection(int index, int* start, int* end) const override {
    const QTextCursor cursor = view()->textCursor();
    *start = *end = 0;
    if (index == 0 && cursor.hasSelection()) {
      *start = cursor.selectionStart();
      *end = cursor.selectionEnd();
    }
  }
  int selectionCount() const override { return view()->textCursor().hasSelection() ? 1 : 0; }
  void addSelection(int start, int end) override { setSelection(0, start, end); }
  void removeSelection(int) override {
    QTextCursor cursor = view()->textCursor();
    cursor.clearSelection();
    view()->setTextCursor(cursor);
  }
  void setSelection(int, int start, int end) override { view()->setTextCursor(cursorOver(start, end)); }
  int cursorPosition() const override { return view()->textCursor().position(); }
  void setCursorPosition(int position) override { view()->setTextCursor(cursorOver(position, position)); }

  QString text(int start, int end) const override { return spokenText(cursorOver(start, end).selectedText()); }
  int characterCount() const override { return std::max(0, view()->document()->characterCount() - 1); }
  QRect characterRect(int offset) const override {
    const QRect rect = view()->cursorRect(cursorOver(offset, offset));
    return QRect(view()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
  }
  int offsetAtPoint(const QPoint& point) const override {
    return view()->cursorForPosition(view()->viewport()->mapFromGlobal(point)).position();
  }
  void scrollToSubstring(int start, int end) override {
    view()->setTextCursor(cursorOver(start, end));
    view()->ensureCursorVisible();
  }
  QString attributes(int, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return {};
  }

 private:
  QTextEdit* view() const { return static_cast<QTextEdit*>(widget()); }
  QTextCursor cursorOver(int start, int end) const {
    QTextCursor cursor(view()->document());
    const int last = characterCount();
    cursor.setPosition(std::clamp(start, 0, last));
    cursor.setPosition(std::clamp(end, 0, last), QTextCursor::KeepAnchor);
    return cursor;
  }
};

class AnswerEditInterface : public QAccessibleWidget,
                            public QAccessibleTextInterface,
                            public QAccessibleEditableTextInterface {
 public:
  explicit AnswerEditInterface(AnswerEdit* edit) : QAccessibleWidget(edit, QAccessible::EditableText) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface) return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = !edit()->isReadOnly();
    state.readOnly = edit()->isReadOnly();
    state.selectableText = true;
    return state;
  }
  QString text(QAccessible::Text kind) const override {
    return kind == QAccessible::Value ? edit()->text() : QAccessibleWidget::text(kind);
  }
  void setText(QAccessible::Text kind, const QString& text) override {
    if (kind != QAccessible::Value) return QAccessibleWidget::setText(kind, text);
    if (!edit()->isReadOnly()) edit()->setText(text);
  }

  void selection(int index, int* start, int* end) const override {
    *start = *end = 0;
    if (index == 0 && edit()->hasSelectedText()) {
      *start = edit()->selectionStart();
      *end = edit()->selectionEnd();
    }
  }
  int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
  void addSelection(int start, int end) override { setSelection(0, start, end); }
  void removeSelection(int) override { edit()->deselect(); }
  void setSelection(int, int start, int end) override { edit()->setSelection(start, end - start); }
  int cursorPosition() const override { return edit()->cursorPosition(); }
  void setCursorPosition(int position) override { edit()->setCursorPosition(position); }

  QString text(int start, int end) const override { return edit()->text().mid(start, end - start); }
  int characterCount() const override { return static_cast<int>(edit()->text().size()); }
  // Measured from the caret, which the box keeps in view.
  QRect characterRect(int offset) const override {
    const QString text = edit()->text();
    if (offset < 0 || offset >= text.size()) return {};
    const QFontMetrics metrics(edit()->font());
    const QRect caret = edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int x = caret.x() + metrics.horizontalAdvance(text.left(offset)) -
                  metrics.horizontalAdvance(text.left(edit()->cursorPosition()));
    const QRect rect(x, caret.y(), metrics.horizontalAdvance(text.at(offset)), caret.height());
    return QRect(edit()->mapToGlobal(rect.topLeft()), rect.size());
  }
  int offsetAtPoint(const QPoint& point) const override {
    return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
  }
  void scrollToSubstring(int start, int) override { edit()->setCursorPosition(start); }
  QString attributes(int, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return {};
  }

  // Typing through assistive technology follows the box's own rule.
  void deleteText(int start, int end) override { replaceText(start, end, {}); }
  void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
  void replaceText(int start, int end, const QString& text) override {
    if (edit()->isReadOnly()) return;
    QString value = edit()->text();
    const int from = std::clamp(start, 0, static_cast<int>(value.size()));
    value.replace(from, std::clamp(end, from, static_cast<int>(value.size())) - from, text);
    edit()->setText(value);
  }

 private:
  QLineEdit* edit() const { return static_cast<QLineEdit*>(widget()); }
};

}  // namespace

QAccessibleInterface* accessibleTextFor(QObject* object) {
  if (auto* view = qobject_cast<DocumentView*>(object)) return new DocumentInterface(view);
  if (auto* edit = qobject_cast<AnswerEdit*>(object)) return new AnswerEditInterface(edit);
  return nullptr;
}

}  // namespace qzt::ui
