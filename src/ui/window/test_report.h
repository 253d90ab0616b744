// What the real-window tests read from a running reader, and how they answer
// its questions. Off unless QZT_TEST_REPORT names a file.
#pragma once

namespace qzt::ui {

class MainWindow;

// QZT_TEST_REPORT=<file>: a line per finished web page ("page-loaded"), per
// message box ("message <caption> <text>") and per exam start
// ("exam-started", "exam-clock", "exam-answer", "exam-text", then
// "grid-cell" screen positions of the first row's letters).
// QZT_TEST_AUTO_ANSWER=yes|no answers every question.
void reportForTests(MainWindow& window);

}  // namespace qzt::ui
