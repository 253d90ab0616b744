// The answer grid over an exam session: its model, its columns and
// labels, the row controls over heading and text rows while scrolling,
// entry by mouse and by keys, and what assistive technology reads.
#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>
#include <QWheelEvent>

#include "desktop/accessible_tree.h"
#include "grid/answer_grid.h"
#include "grid/answer_grid_model.h"
#include "grid/cell_delegate.h"
#include "author/paper_writer.h"

namespace {

using qzt::ExamSession;
using qzt::writer::QuestionSpec;

QuestionSpec q(const char* label, int kind, int options, const char* answer = "A") {
  QuestionSpec s;
  s.label = label;
  s.kind = kind;
  s.optionCount = options;
  s.answer = answer;
  return s;
}

void begin(ExamSession& session, const std::vector<QuestionSpec>& questions, int timeLimit = 60) {
  std::vector<qzt::QuestionRecord> records;
  for (const auto& spec : questions) records.push_back(qzt::writer::makeQuestion(spec));
  qzt::writer::PaperSpec paper;
  paper.timeLimit = timeLimit;
  paper.questions = questions;
  const auto built = qzt::writer::buildPaper(paper);
  qzt::PaperHeader::Bytes bytes{};
  std::copy_n(built.bytes.begin(), bytes.size(), bytes.begin());
  session.begin(qzt::PaperHeader(bytes), qzt::QuestionTable(records));
}

QStringList headers(const QAbstractItemModel& model) {
  QStringList out;
  for (int c = 0; c < model.columnCount(); ++c) out << model.headerData(c, Qt::Horizontal).toString();
  return out;
}

QStringList rowTexts(const QAbstractItemModel& model, int gridRow) {
  QStringList out;
  for (int c = 1; c < model.columnCount(); ++c) out << model.index(gridRow - 1, c).data().toString();
  return out;
}

// A grid on screen in an answer area of its own, tall enough for a dozen
// rows; its row edits live in that area beside it.
struct Grid {
  explicit Grid(const std::vector<QuestionSpec>& questions) {
    begin(session, questions);
    auto* row = new QHBoxLayout(&area);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(&grid);
    row->addStretch(1);
    grid.setFixedHeight(12 * 23 + 30);
    area.show();
    grid.rebuild();
  }
  void click(int row, int column, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(grid.viewport(), button, {}, grid.cellCentre(row, column));
  }
  QStringList cells(int row) const { return rowTexts(*grid.answerModel(), row); }
  // Where an edit stands, in the viewport's terms.
  QPoint viewportPos(const QWidget* control) const {
    return grid.viewport()->mapFrom(&area, control->pos());
  }
  // The window has the focus, so keys and focus changes behave as on screen.
  void activate() {
    area.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&area));
    grid.setFocus();
  }
  void keys(const QList<QKeyCombination>& presses) {
    for (const QKeyCombination& key : presses)
      QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
  }
  QAccessibleInterface* cellInterface(int row, int column) const {
    return QAccessible::queryAccessibleInterface(const_cast<qzt::ui::AnswerGrid*>(&grid))
        ->tableInterface()
        ->cellAt(row - 1, column);
  }

  ExamSession session;
  QWidget area;
  qzt::ui::AnswerGrid grid{session};
};

// How many pixel rows of a widget as drawn hold dark text.
int inkHeight(QWidget* widget) {
  const QImage image = widget->grab().toImage();
  int rows = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) < 80) {
        ++rows;
        break;
      }
    }
  }
  return rows;
}

}  // namespace

Q_DECLARE_METATYPE(std::vector<QuestionSpec>)

using Keys = QList<QKeyCombination>;

class AnswerGridTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { qzt::ui::installAccessibleTree(); }

  void modelKeepsItsContract() {
    ExamSession session;
    qzt::ui::AnswerGridModel model(session);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setLayout(qzt::grid::startupLayout(5, 5), false);
    begin(session, {q("1", 1, 4), q("", 100, 0, "Part"), q("2", 3, 0, "x"), q("3", 2, 3)});
    model.setLayout(session.layout(), false);
    session.pressLetter(1, 2);
    model.rowChanged(1);
    session.handIn();
    model.setLayout(session.gradedLayout(), true);
    model.refresh();
    QCOMPARE(model.columnCount(), 5 + 2);
  }

  void columns_data() {
    QTest::addColumn<std::vector<QuestionSpec>>("questions");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QList<int>>("widths");
    QTest::newRow("four letters") << std::vector<QuestionSpec>{q("1", 1, 4), q("2", 2, 3)}
                                  << QStringList{"答案区", " A", " B", " C", " D"}
                                  << QList<int>{45, 28, 28, 28, 28};
    QTest::newRow("two letters and a text row")
        << std::vector<QuestionSpec>{q("1", 1, 2), q("2", 3, 0)}
        << QStringList{"答案区", " A", " B", ""} << QList<int>{45, 28, 28, 56};
    QTest::newRow("five letters and a text row")
        << std::vector<QuestionSpec>{q("1", 1, 5), q("2", 3, 0)}
        << QStringList{"答案区", " A", " B", " C", " D", " E"}
        << QList<int>{45, 28, 28, 28, 28, 28};
  }

  void columns() {
    QFETCH(std::vector<QuestionSpec>, questions);
    QFETCH(QStringList, expected);
    QFETCH(QList<int>, widths);
    Grid g(questions);
    QCOMPARE(headers(*g.grid.answerModel()), expected);
    int content = 0;
    for (int c = 0; c < widths.size(); ++c) {
      QCOMPARE(g.grid.columnWidth(c), widths[c] + 1);  // the cell and its grid line
      content += widths[c] + 2;
    }
    QCOMPARE(g.grid.answerModel()->layout().contentWidth, content);
    QCOMPARE(g.grid.width(), content);  // the rows fit: no room for a scroll bar
  }

  void labels() {
    Grid g({q("7", 1, 2), q("12", 1, 2), q("123", 1, 2), q("1234", 1, 2), q("", 1, 2),
            q("x", 100, 0, "A long section heading")});
    const auto* model = g.grid.answerModel();
    QStringList shown;
    for (int row = 0; row < model->rowCount(); ++row) shown << model->index(row, 0).data().toString();
    QCOMPARE(shown, (QStringList{"  7", "  12", " 123", "1234", "", ""}));
    QCOMPARE(g.grid.rowPanels().size(), 1);
    QLabel* panel = g.grid.rowPanels()[0];
    QCOMPARE(panel->text(), QStringLiteral("A LONG SECTION HEADING"));  // headings unscramble like answers
    QTextDocument toolTip;  // the full heading, as written
    toolTip.setHtml(panel->toolTip());
    QCOMPARE(toolTip.toPlainText(), panel->text());
    QCOMPARE(panel->x(), 0);
    int columns = 0;
    for (int c = 0; c < g.grid.answerModel()->columnCount(); ++c) columns += g.grid.columnWidth(c);
    QCOMPARE(panel->width(), columns - 1);  // the whole row, up to its grid line
  }

  // Each row control sits on its row; scrolling moves them by whole rows
  // and hides those whose rows went above the first visible row.
  void rowControlsFollowTheirRows() {
    std::vector<QuestionSpec> questions;
    for (int i = 1; i <= 40; ++i) {
      const int kind = i % 5 == 0 ? 100 : (i % 3 == 0 ? 3 : 1);
      questions.push_back(q(std::to_string(i).c_str(), kind, kind == 1 ? 4 : 0));
    }
    Grid g(questions);
    const auto& layout = g.grid.answerModel()->layout();
    QCOMPARE(g.grid.rowPanels().size(), static_cast<int>(layout.headingRows.size()));
    QCOMPARE(g.grid.rowEdits().size(), static_cast<int>(layout.textRows.size()));
    QCOMPARE(g.grid.width(), layout.contentWidth + 16);  // 41 rows do not fit
    auto rowTop = [&](int row) { return g.grid.rowViewportPosition(row - 1); };
    QLineEdit* edit3 = g.grid.rowEdits()[0];     // row 3
    QLineEdit* edit6 = g.grid.rowEdits()[1];     // row 6
    QLabel* panel5 = g.grid.rowPanels()[0];      // row 5
    QCOMPARE(g.viewportPos(edit3), QPoint(g.grid.columnWidth(0), rowTop(3)));
    QCOMPARE(panel5->y(), rowTop(5));
    QVERIFY(edit3->isVisible() && panel5->isVisible());
    const int before6 = edit6->y();

    g.grid.verticalScrollBar()->setValue(3);
    QCOMPARE(g.grid.topRow(), 4);
    QVERIFY(!edit3->isVisible());
    QCOMPARE(edit6->y(), before6 - 3 * 23);
    QCOMPARE(panel5->y(), rowTop(5));
    QVERIFY(panel5->isVisible());

    g.grid.verticalScrollBar()->setValue(0);
    QVERIFY(edit3->isVisible());
    QCOMPARE(g.viewportPos(edit3).y(), rowTop(3));

    // The grid moving in its area (the catalogue opening) takes them along.
    g.grid.move(g.grid.x() + 40, g.grid.y());
    QCOMPARE(g.viewportPos(edit3), QPoint(g.grid.columnWidth(0), rowTop(3)));
  }

  // Narrower than its columns, the grid scrolls sideways: the row controls
  // move with the letters, an edit shows only what the view shows, and a
  // press chooses the letter under it.
  void scrollsSidewaysPastItsShare() {
    Grid g({q("1", 1, 8), q("", 100, 0, "Part two"), q("2", 3, 0)});
    const int full = g.grid.fullWidth();
    QCOMPARE(g.grid.width(), full);
    QCOMPARE(g.grid.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    g.grid.setShare(full / 2);
    QCOMPARE(g.grid.width(), full / 2);
    QCOMPARE(g.grid.horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    QScrollBar* bar = g.grid.horizontalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0);
    bar->setValue(bar->maximum());
    QLabel* panel = g.grid.rowPanels()[0];
    QLineEdit* edit = g.grid.rowEdits()[0];
    QCOMPARE(panel->x(), -bar->value());
    const QRect view(g.grid.viewport()->mapTo(&g.area, QPoint(0, 0)), g.grid.viewport()->size());
    QVERIFY2(view.contains(edit->geometry()), qPrintable(QStringLiteral("edit %1,%2 %3 wide in a view %4 wide")
                                                             .arg(edit->x()).arg(edit->y()).arg(edit->width())
                                                             .arg(view.width())));
    g.click(1, 8);
    QCOMPARE(g.cells(1).at(7), QStringLiteral(" H"));
    g.grid.setShare(0);
    QCOMPARE(g.grid.width(), full);
  }

  // The wheel scrolls the grid over a heading strip and over a row edit
  // as it does over the letters.
  void wheelOverRowControlsScrolls() {
    std::vector<QuestionSpec> questions;
    for (int i = 1; i <= 40; ++i) questions.push_back(q(std::to_string(i).c_str(), i % 5 == 0 ? 100 : 3, 0));
    Grid g(questions);
    QScrollBar* bar = g.grid.verticalScrollBar();
    for (QWidget* control : {static_cast<QWidget*>(g.grid.rowPanels()[0]), static_cast<QWidget*>(g.grid.rowEdits()[0])}) {
      bar->setValue(0);
      const QPointF at(5, 5);
      QWheelEvent down(at, control->mapToGlobal(at), {}, QPoint(0, -120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(control, &down);
      QVERIFY2(bar->value() > 0, qPrintable(control->objectName()));
    }
  }

  // Zoom after hand-in keeps the graded grid: the result columns and their
  // marks stay, at the scaled widths, and the row edits stay over their rows.
  void zoomKeepsTheGradedGrid() {
    Grid g({q("1", 1, 4), q("2", 3, 0), q("3", 1, 4)});
    g.session.handIn();
    g.grid.showGraded();
    const QStringList graded = headers(*g.grid.answerModel());
    const QStringList marked = g.cells(1);
    const qzt::grid::Layout plain = g.grid.answerModel()->layout();

    g.grid.setZoom(1.5);
    QCOMPARE(headers(*g.grid.answerModel()), graded);
    QCOMPARE(g.cells(1), marked);
    QCOMPARE(g.grid.answerModel()->layout().columnWidths,
             qzt::grid::scaledLayout(plain, 1.5).columnWidths);
    QLineEdit* edit2 = g.grid.rowEdits()[0];
    QCOMPARE(g.viewportPos(edit2), QPoint(g.grid.columnWidth(0), g.grid.rowViewportPosition(1)));
    QCOMPARE(edit2->height(), qzt::grid::scaledPixels(qzt::grid::kRowHeight, 1.5));

    g.grid.setZoom(1.0);
    QCOMPARE(g.grid.answerModel()->layout().columnWidths, plain.columnWidths);
  }

  // A paper loaded at 300% and zoomed back: the header row and the heading
  // strips follow the letters, at every factor.
  void headerAndHeadingsFollowTheZoom() {
    Grid g({q("1", 1, 4), q("", 100, 0), q("2", 1, 4)});
    const int headerAt100 = inkHeight(g.grid.horizontalHeader());
    g.grid.setZoom(3.0);
    g.grid.rebuild();
    QLabel* heading = g.grid.rowPanels()[0];
    for (double factor : {3.0, 1.0, 2.0}) {
      g.grid.setZoom(factor);
      QCoreApplication::processEvents();
      const int pixels = qRound(13 * factor);
      QCOMPARE(QFontInfo(g.grid.font()).pixelSize(), pixels);
      // "答案区" as drawn grows with the letters.
      const double grown = inkHeight(g.grid.horizontalHeader()) / double(headerAt100);
      QVERIFY2(grown > factor * 0.8 && grown < factor * 1.2, qPrintable(QString::number(grown)));
      QCOMPARE(QFontInfo(heading->font()).pixelSize(), pixels);
      QVERIFY(heading->height() >= QFontMetrics(heading->font()).height());
    }
  }

  void typedAnswersReachTheSession() {
    Grid g({q("1", 3, 0), q("2", 1, 4), q("3", 3, 0)});
    QCOMPARE(g.grid.rowEdits().size(), 2);
    QTest::keyClicks(g.grid.rowEdits()[1], QStringLiteral("ab"));
    g.grid.rowEdits()[1]->insert(QStringLiteral("中"));
    QCOMPARE(g.session.sheet().textAnswer(1), std::string("ab\xD6\xD0"));
    QCOMPARE(g.session.sheet().textAnswer(0), std::string());
  }

  void letterPresses_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("options");
    QTest::addColumn<QList<int>>("presses");  // columns; 0 = label column, -n = right press
    QTest::addColumn<QStringList>("cells");
    QTest::newRow("single: B then D") << 1 << 4 << QList<int>{2, 4} << QStringList{"", "", "", " D"};
    QTest::newRow("single: D twice") << 1 << 4 << QList<int>{4, 4} << QStringList{"", "", "", ""};
    QTest::newRow("multiple: A, C, A") << 2 << 4 << QList<int>{1, 3, 1}
                                       << QStringList{"", "", " C", ""};
    QTest::newRow("beyond its letters") << 2 << 2 << QList<int>{3, 4, 2}
                                        << QStringList{"", " B", "", ""};
    QTest::newRow("label column") << 2 << 4 << QList<int>{0} << QStringList{"", "", "", ""};
    QTest::newRow("right press") << 2 << 4 << QList<int>{-1} << QStringList{"", "", "", ""};
  }

  void letterPresses() {
    QFETCH(int, kind);
    QFETCH(int, options);
    QFETCH(QList<int>, presses);
    QFETCH(QStringList, cells);
    Grid g({q("1", 1, 4), q("2", kind, options)});
    for (int column : presses) {
      if (column < 0) {
        g.click(2, -column, Qt::RightButton);
      } else {
        g.click(2, column);
      }
    }
    QCOMPARE(g.cells(2), cells);
    QCOMPARE(g.cells(1), (QStringList{"", "", "", ""}));
  }

  void doubleClickCountsTwice_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("single choice") << 1;
    QTest::newRow("multiple choice") << 2;
  }

  // Through the window system, as a real double click arrives: press,
  // release, then the second press as a double-click event.
  void doubleClickCountsTwice() {
    QFETCH(int, kind);
    Grid g({q("1", kind, 4)});
    QVERIFY(QTest::qWaitForWindowExposed(&g.grid));
    const QPoint at = g.grid.viewport()->mapTo(&g.area, g.grid.cellCentre(1, 2));
    QTest::mouseDClick(g.area.windowHandle(), Qt::LeftButton, {}, at);
    QCOMPARE(g.cells(1), (QStringList{"", "", "", ""}));
    g.click(1, 2);
    QCOMPARE(g.cells(1), (QStringList{"", " B", "", ""}));
  }

  void pressesBesideTheLetters_data() {
    QTest::addColumn<bool>("graded");
    QTest::addColumn<int>("where");  // 0 heading panel, 1 header row, 2 row edit
    QTest::addColumn<QString>("hint");
    QTest::newRow("heading panel while answering") << false << 0 << "";
    QTest::newRow("heading panel after grading") << true << 0 << "X";
    QTest::newRow("header row after grading") << true << 1 << "";
    QTest::newRow("row edit after grading") << true << 2 << "X";
  }

  // A heading panel and a row edit lie over the grid but are not part of
  // it: a press there enters nothing and leaves the hint alone. The header
  // row is part of it: after grading a press there switches the hint off.
  void pressesBesideTheLetters() {
    QFETCH(bool, graded);
    QFETCH(int, where);
    QFETCH(QString, hint);
    // A heading with letters of its own, hidden under its panel.
    Grid g({q("", 100, 4, "Part"), q("2", 3, 0, "x")});
    if (graded) {
      g.session.handIn();
      g.grid.showGraded();
      g.click(2, g.grid.answerModel()->columnCount() - 1);
      QCOMPARE(g.grid.hint(), QStringLiteral("X"));
    }
    QWidget* target = where == 0   ? static_cast<QWidget*>(g.grid.rowPanels()[0])
                      : where == 1 ? g.grid.horizontalHeader()->viewport()
                                   : g.grid.rowEdits()[0];
    QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
    QCOMPARE(g.cells(1).mid(0, 4), (QStringList{"", "", "", ""}));
    QCOMPARE(g.grid.hint(), hint);
  }

  // A row edit holds an answer of any length: an imported one is shown
  // whole, and typing adds to it.
  void longTextAnswersKeptWhole() {
    Grid g({q("1", 3, 0)});
    const std::string imported(40000, 'a');
    QVERIFY(g.session.setTextAnswer(0, imported));
    g.grid.refreshAnswers();
    QLineEdit* edit = g.grid.rowEdits()[0];
    QCOMPARE(edit->text().size(), 40000);
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_B);
    QCOMPARE(g.session.sheet().textAnswer(0), imported + "b");
  }

  void afterHandInOnlyHints() {
    Grid g({q("1", 1, 4, "A"), q("2", 3, 0, "the whole answer")});
    g.click(1, 1);
    g.session.handIn();
    g.grid.showGraded();
    const auto* model = g.grid.answerModel();
    QCOMPARE(headers(*model).mid(model->columnCount() - 2),
             (QStringList{"结果", " 正确答案"}));
    QCOMPARE(model->index(0, model->columnCount() - 2).data().toString(), QStringLiteral("√"));
    QCOMPARE(model->index(1, model->columnCount() - 2).data().toString(), QStringLiteral("Χ"));
    g.click(1, 2);
    QCOMPARE(g.cells(1).mid(0, 4), (QStringList{" A", "", "", ""}));
    g.click(2, model->columnCount() - 1);
    QCOMPARE(g.grid.hint(), QStringLiteral("THE WHOLE ANSWER"));
    g.click(1, model->columnCount() - 1);
    QCOMPARE(g.grid.hint(), QString());
    QCOMPARE(g.grid.rowEdits().size(), 1);
    QVERIFY(g.grid.rowEdits()[0]->isVisible());
  }

  // Keys follow the same rules as presses, on the current row only.
  void keysAnswer_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("options");
    QTest::addColumn<Keys>("keys");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<int>("currentColumn");
    QTest::newRow("single: B then D") << 1 << 4 << Keys{Qt::Key_B, Qt::Key_D}
                                      << QStringList{"", "", "", " D"} << 4;
    QTest::newRow("single: D twice") << 1 << 4 << Keys{Qt::Key_D, Qt::Key_D}
                                     << QStringList{"", "", "", ""} << 4;
    QTest::newRow("multiple: A, C, A") << 2 << 4 << Keys{Qt::Key_A, Qt::Key_C, Qt::Key_A}
                                       << QStringList{"", "", " C", ""} << 1;
    QTest::newRow("past its letters") << 2 << 2 << Keys{Qt::Key_C, Qt::Key_B}
                                      << QStringList{"", " B", "", ""} << 2;
    QTest::newRow("shift is the same letter")
        << 2 << 4 << Keys{Qt::ShiftModifier | Qt::Key_C} << QStringList{"", "", " C", ""} << 3;
    QTest::newRow("ctrl is not a letter") << 2 << 4 << Keys{Qt::ControlModifier | Qt::Key_B}
                                          << QStringList{"", "", "", ""} << 1;
    QTest::newRow("space presses the current cell")
        << 2 << 4 << Keys{Qt::Key_Right, Qt::Key_Space, Qt::Key_End, Qt::Key_Space}
        << QStringList{"", " B", "", " D"} << 4;
    QTest::newRow("end is the row's last letter") << 1 << 3 << Keys{Qt::Key_End, Qt::Key_Space}
                                                  << QStringList{"", "", " C", ""} << 3;
    QTest::newRow("home is the first letter")
        << 2 << 4 << Keys{Qt::Key_End, Qt::Key_Home, Qt::Key_Space}
        << QStringList{" A", "", "", ""} << 1;
    QTest::newRow("digits and enter do nothing") << 1 << 4 << Keys{Qt::Key_2, Qt::Key_Return}
                                                 << QStringList{"", "", "", ""} << 1;
  }

  void keysAnswer() {
    QFETCH(int, kind);
    QFETCH(int, options);
    QFETCH(Keys, keys);
    QFETCH(QStringList, cells);
    QFETCH(int, currentColumn);
    Grid g({q("1", 1, 4), q("2", kind, options)});
    g.activate();
    QCOMPARE(g.grid.currentIndex(), g.grid.answerModel()->index(0, 1));  // the first letter
    g.keys({Qt::Key_Down});
    g.keys(keys);
    QCOMPARE(g.cells(2), cells);
    QCOMPARE(g.cells(1), (QStringList{"", "", "", ""}));
    QCOMPARE(g.grid.currentIndex(), g.grid.answerModel()->index(1, currentColumn));
  }

  // On a text-answer row typing goes into its row edit; Enter and Escape
  // there come back to the grid on the next row.
  void keysOnTextRows() {
    Grid g({q("1", 3, 0), q("2", 1, 4), q("3", 3, 0), q("4", 1, 4)});
    QLineEdit* first = g.grid.rowEdits()[0];
    QLineEdit* second = g.grid.rowEdits()[1];
    g.activate();
    g.keys({Qt::Key_1, Qt::Key_2});
    QCOMPARE(QApplication::focusWidget(), first);
    QCOMPARE(first->text(), QStringLiteral("12"));
    QCOMPARE(g.session.sheet().textAnswer(0), std::string("12"));
    g.keys({Qt::Key_Return});
    QCOMPARE(QApplication::focusWidget(), &g.grid);
    QCOMPARE(g.grid.currentRow(), 2);

    g.keys({Qt::Key_B, Qt::Key_Down, Qt::Key_Return});  // Enter only moves into the edit
    QCOMPARE(g.cells(2), (QStringList{"", " B", "", ""}));
    QCOMPARE(QApplication::focusWidget(), second);
    QCOMPARE(second->text(), QString());
    g.keys({Qt::Key_X, Qt::Key_Escape});
    QCOMPARE(second->text(), QStringLiteral("x"));
    QCOMPARE(QApplication::focusWidget(), &g.grid);
    QCOMPARE(g.grid.currentRow(), 4);

    // Tab leaves the grid for the row edits in row order.
    g.keys({Qt::Key_Tab});
    QCOMPARE(QApplication::focusWidget(), first);
    g.keys({Qt::Key_Tab});
    QCOMPARE(QApplication::focusWidget(), second);
  }

  // A heading row and a text row's letters are one cell each: arrows land
  // on that cell, which reads the row once, and leave in the column they
  // came from; Home and End stay in it.
  void arrowsLandOnJoinedCells() {
    Grid g({q("1", 1, 4), q("", 100, 0, "Part two"), q("2", 1, 4), q("3", 3, 0)});
    g.activate();
    g.keys({Qt::Key_Right, Qt::Key_Right});
    const auto current = [&g] {
      QAccessibleInterface* cell = g.cellInterface(g.grid.currentRow(), g.grid.currentIndex().column());
      return QStringLiteral("%1:%2 %3")
          .arg(g.grid.currentRow())
          .arg(g.grid.currentIndex().column())
          .arg(cell ? cell->text(QAccessible::Name) : QString());
    };
    QCOMPARE(current(), QStringLiteral("1:3 第 1 题 C 未选"));
    g.keys({Qt::Key_Down});
    QCOMPARE(current(), QStringLiteral("2:0 PART TWO"));
    g.keys({Qt::Key_Down});
    QCOMPARE(current(), QStringLiteral("3:3 第 2 题 C 未选"));
    g.keys({Qt::Key_Down});
    QCOMPARE(current(), QStringLiteral("4:1 第 3 题 文字答案 未答"));
    g.keys({Qt::Key_End});
    QCOMPARE(current(), QStringLiteral("4:1 第 3 题 文字答案 未答"));
    for (int column = 2; column <= 4; ++column) {
      QCOMPARE(g.cellInterface(2, column)->text(QAccessible::Name), QString());
      QCOMPARE(g.cellInterface(4, column)->text(QAccessible::Name), QString());
    }
  }

  // Only while the grid has the focus does its current cell read as
  // focused; coming back, the keys are where they were.
  void currentCellIsFocusedOnlyWithTheGrid() {
    Grid g({q("1", 1, 4), q("2", 1, 4), q("3", 3, 0)});
    g.activate();
    g.keys({Qt::Key_Down, Qt::Key_Right, Qt::Key_Right});
    const auto focusedCells = [&g] {
      QStringList focused;
      for (int row = 1; row <= 3; ++row)
        for (int column = 0; column <= 4; ++column)
          if (QAccessibleInterface* cell = g.cellInterface(row, column); cell && cell->state().focused)
            focused << cell->text(QAccessible::Name);
      return focused;
    };
    QCOMPARE(focusedCells(), QStringList{QStringLiteral("第 2 题 C 未选")});
    g.keys({Qt::Key_Tab});
    QCOMPARE(QApplication::focusWidget(), g.grid.rowEdits()[0]);
    QCOMPARE(focusedCells(), QStringList());
    g.keys({Qt::Key_Backtab});
    QCOMPARE(QApplication::focusWidget(), &g.grid);
    QCOMPARE(focusedCells(), QStringList{QStringLiteral("第 2 题 C 未选")});
    g.keys({Qt::Key_Space});
    QCOMPARE(g.cells(2), (QStringList{"", "", " C", ""}));
  }

  // A paper that opens with a heading: the keys' first visit lands on the
  // heading's one cell, which reads it.
  void firstVisitOnAHeading() {
    Grid g({q("", 100, 0, "Part one"), q("1", 1, 4)});
    g.activate();
    QCOMPARE(g.grid.currentIndex().column(), 0);
    QCOMPARE(g.cellInterface(1, 0)->text(QAccessible::Name), QStringLiteral("PART ONE"));
    QVERIFY(g.cellInterface(1, 0)->state().focused);
  }

  void noKeyEntryAfterHandIn() {
    Grid g({q("1", 1, 4), q("2", 3, 0)});
    g.activate();
    g.keys({Qt::Key_A});
    g.session.handIn();
    g.grid.showGraded();
    g.keys({Qt::Key_B, Qt::Key_Down, Qt::Key_X});
    QCOMPARE(g.cells(1).mid(0, 4), (QStringList{" A", "", "", ""}));
    QCOMPARE(QApplication::focusWidget(), &g.grid);
    QCOMPARE(g.grid.rowEdits()[0]->text(), QString());
  }

  // The current cell wears a dark frame while the grid has the focus, and
  // a heading or text row's control does when the current cell is under it.
  void currentCellIsFramed() {
    Grid g({q("1", 1, 4), q("", 100, 0, "Part two"), q("2", 3, 0)});
    g.activate();
    g.keys({Qt::Key_Right});
    const QRect rect = g.grid.visualRect(g.grid.currentIndex());
    const QImage shot = g.grid.viewport()->grab().toImage();
    QCOMPARE(shot.pixelColor(rect.left(), rect.center().y()), qzt::ui::CellDelegate::frameColour());
    QCOMPARE(shot.pixelColor(rect.center().x(), rect.top() + 1), qzt::ui::CellDelegate::frameColour());
    const QRect other = g.grid.visualRect(g.grid.answerModel()->index(0, 4));
    QVERIFY(shot.pixelColor(other.left() + 1, other.center().y()) != qzt::ui::CellDelegate::frameColour());

    QLabel* panel = g.grid.rowPanels()[0];
    QLineEdit* edit = g.grid.rowEdits()[0];
    // The heading colour holds with and without the frame.
    const QColor heading(251, 226, 168);
    const auto fill = [panel] {
      const QImage image = panel->grab().toImage();
      return image.pixelColor(image.width() - 6, image.height() / 2);
    };
    QVERIFY(!panel->styleSheet().contains(QStringLiteral("border")));
    QCOMPARE(fill(), heading);
    g.keys({Qt::Key_Down});
    QVERIFY(panel->styleSheet().contains(QStringLiteral("border")));
    QCOMPARE(fill(), heading);
    g.keys({Qt::Key_Down});
    QVERIFY(!panel->styleSheet().contains(QStringLiteral("border")));
    QVERIFY(edit->styleSheet().contains(QStringLiteral("border")));
    g.keys({Qt::Key_Tab});  // the edit has the focus itself: no frame from the grid
    QVERIFY(!edit->styleSheet().contains(QStringLiteral("border")));
  }

  // What a screen reader reads for each kind of row, before and after
  // grading: names, checked states and the row headers.
  void accessibleCells_data() {
    QTest::addColumn<bool>("graded");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("checked");
    QTest::newRow("choice chosen") << false << 2 << 2 << "第 1 题 B 已选" << "单选题" << true;
    QTest::newRow("choice not chosen") << false << 2 << 1 << "第 1 题 A 未选" << "单选题" << false;
    QTest::newRow("multiple chosen") << false << 3 << 3 << "第 2 题 C 已选" << "多选题" << true;
    QTest::newRow("multiple not chosen") << false << 3 << 4 << "第 2 题 D 未选" << "多选题" << false;
    QTest::newRow("label column") << false << 3 << 0 << "第 2 题" << "多选题" << false;
    QTest::newRow("heading, covered by its strip") << false << 1 << 1 << "" << "" << false;
    QTest::newRow("heading label") << false << 1 << 0 << "PART ONE" << "" << false;
    QTest::newRow("text row") << false << 4 << 1 << "第 3 题 文字答案 ab" << "文字答案题" << false;
    QTest::newRow("graded right") << true << 2 << 5 << "第 1 题 正确" << "单选题" << false;
    QTest::newRow("graded wrong") << true << 3 << 5 << "第 2 题 错误" << "多选题" << false;
    QTest::newRow("correct answer") << true << 3 << 6 << "第 2 题 正确答案 A C" << "多选题" << false;
    QTest::newRow("graded text") << true << 4 << 6 << "第 3 题 正确答案 AB" << "文字答案题" << false;
    QTest::newRow("graded heading, covered") << true << 1 << 5 << "" << "" << false;
    QTest::newRow("text row, covered by its edit") << false << 4 << 3 << "" << "" << false;
    QTest::newRow("graded choice keeps its state") << true << 2 << 2 << "第 1 题 B 已选" << "单选题" << true;
  }

  void accessibleCells() {
    QFETCH(bool, graded);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, name);
    QFETCH(QString, description);
    QFETCH(bool, checked);
    Grid g({q("", 100, 0, "Part one"), q("1", 1, 4, "B"), q("2", 2, 4, "A C"), q("3", 3, 0, "ab")});
    g.click(2, 2);
    g.click(3, 3);
    g.grid.rowEdits()[0]->setText(QStringLiteral("ab"));
    if (graded) {
      g.session.handIn();
      g.grid.showGraded();
    }
    QAccessibleInterface* cell = g.cellInterface(row, column);
    QVERIFY(cell);
    QCOMPARE(cell->text(QAccessible::Name), name);
    QCOMPARE(cell->text(QAccessible::Description), description);
    QCOMPARE(bool(cell->state().checked), checked);
    const auto headers = cell->tableCellInterface()->rowHeaderCells();
    QCOMPARE(headers.size(), 1);
    QCOMPARE(headers[0]->text(QAccessible::Name), row == 1 ? QStringLiteral("PART ONE")
                                                           : QStringLiteral("第 %1 题").arg(row - 1));
  }

  void rowEditsAreNamedByTheirQuestion() {
    Grid g({q("1", 3, 0), q("", 100, 0, "x"), q("7", 3, 0)});
    QCOMPARE(g.grid.rowEdits()[0]->accessibleName(), QStringLiteral("第 1 题 文字答案"));
    QCOMPARE(g.grid.rowEdits()[1]->accessibleName(), QStringLiteral("第 7 题 文字答案"));
    // Beside the grid, where assistive technology finds them.
    QCOMPARE(g.grid.rowEdits()[0]->parentWidget(), &g.area);
  }

  // A row edit reads as editable while answering and as read-only, never
  // both, once the paper is handed in.
  void rowEditsReadOnlyAfterHandIn() {
    Grid g({q("1", 3, 0)});
    QAccessibleInterface* edit = QAccessible::queryAccessibleInterface(g.grid.rowEdits()[0]);
    QVERIFY(edit);
    QVERIFY(edit->state().editable);
    QVERIFY(!edit->state().readOnly);
    g.session.handIn();
    g.grid.followTyping();
    QVERIFY(edit->state().readOnly);
    QVERIFY(!edit->state().editable);
  }

  // A long paper gets one widget per text row and none per cell.
  void longPaperMakesNoCellWidgets() {
    std::vector<QuestionSpec> questions;
    for (int i = 1; i <= 1002; ++i) questions.push_back(q(std::to_string(i).c_str(), i % 2 ? 1 : 3, i % 2 ? 4 : 0));
    Grid g(questions);
    QCOMPARE(g.grid.answerModel()->rowCount(), 1002);
    QCOMPARE(g.grid.rowEdits().size(), 501);
    QCOMPARE(g.area.findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly).size(), 501);
    g.grid.verticalScrollBar()->setValue(g.grid.verticalScrollBar()->maximum());
    int visible = 0;
    for (QLineEdit* edit : g.grid.rowEdits()) visible += edit->isVisible() ? 1 : 0;
    QVERIFY2(visible > 0 && visible < 20, qPrintable(QString::number(visible)));
    g.click(1001, 3);
    QCOMPARE(g.cells(1001), (QStringList{"", "", " C", ""}));
  }
};

QTEST_MAIN(AnswerGridTest)

#include "answer_grid_test.moc"
