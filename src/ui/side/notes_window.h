// The notes window: the paper's notes, a page in a web view or a text or
// RTF file in a read-only text view, in a window of its own. At most one
// exists; it frees itself when closed.
#pragma once

#include <QString>
#include <QWidget>

class QStackedLayout;
namespace qzt::ui {
class WebPane;
}
class QTextBrowser;

class NotesWindow : public QWidget {
  Q_OBJECT

 public:
  // Shows the notes file: creates the window at its designed place, or
  // brings the living one back to normal size, in front, and reloads it.
  // ".txt" and ".rtf" (any letter case) go to the text view, everything
  // else to the web view, which serves only files inside `root` (the work
  // folder). The window is independent of `owner` (it can go behind it);
  // `owner` may be null, and the window closes when it is destroyed.
  static NotesWindow* showNotes(QWidget* owner, const QString& root, const QString& path);
  // The living notes window, or null.
  static NotesWindow* instance();

  QTextBrowser* textView() const { return text_; }
  // Null until a page has needed it (and when web pages cannot be shown).
  QWidget* webView() const;
  // The view in front.
  QWidget* currentView() const;

 protected:
  // Escape closes the window, which has no close button of its own.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  explicit NotesWindow(QWidget* owner);
  void load(const QString& root, const QString& path);
  // The pane for pages under `root`, made anew for another root.
  qzt::ui::WebPane* webPaneFor(const QString& root);

  QStackedLayout* stack_ = nullptr;
  QTextBrowser* text_ = nullptr;
  qzt::ui::WebPane* web_ = nullptr;
  QString pageRoot_;
};
