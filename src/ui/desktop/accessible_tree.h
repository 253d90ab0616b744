// What assistive technology finds in the reader: only what is on screen.
// Hidden widgets (the catalogue before it opens, panels not asked for, row
// edits scrolled out of view, the page view not in front) and windows that
// are never shown (the web view's off-screen drawing window) stay out of
// the tree; SpokenGroup widgets read as one text.
#pragma once

#include <QFrame>

namespace qzt::ui {

// A panel whose hidden children stay out of the accessibility tree. The
// reader's containers are these, so a screen reader walks only what shows.
class AccessiblePanel : public QFrame {
  Q_OBJECT
 public:
  using QFrame::QFrame;
};

// Installs the reader's accessibility factory. Call before the application
// object exists, so the first screen reader to ask sees the reader's tree;
// later calls do nothing.
void installAccessibleTree();

}  // namespace qzt::ui
