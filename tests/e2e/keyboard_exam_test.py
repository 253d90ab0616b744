"""The demo paper answered with the keyboard alone and read back as a
screen reader reads it: Tab to the grid, letters and Space on the choice
rows, typing into the text rows, Ctrl+S through the save dialog, Ctrl+Enter
to hand in. The score line and the result cells are read from the
accessibility tree, the text boxes read as editable before hand-in and as
read-only after it, and no cell reads as focused once the keys have left
the grid, and `qzt grade` on the saved answers gives the same
score line.
Usage (under desktop.sh): keyboard_exam_test.py READER QZT
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import a11y  # noqa: E402
from a11y import Failure, cell, find, keys, pyatspi, type_text, wait_for  # noqa: E402

MANIFEST = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                        "..", "..", "examples", "demo", "manifest.json")

# The demo's grid rows (model rows from 0): three headings, two single
# choices, two multiple choices, two text answers; four letters.
SINGLE_1, SINGLE_2, MULTIPLE_3, MULTIPLE_4, TEXT_5, TEXT_6 = 1, 2, 4, 5, 7, 8
RESULT, CORRECT = 5, 6  # the columns grading adds


def cell_says(table, row, column, name, checked=None):
    def probe():
        c = cell(table, row, column)
        return c.name == name and (checked is None or a11y.is_checked(c) == checked)
    wait_for(f"cell {row},{column} to read '{name}'", probe, timeout=10)


def edit_holds(app, name, text):
    edit = find(app, role=pyatspi.ROLE_TEXT, name=name)
    wait_for(f"'{text}' in {name}", lambda: a11y.text_of(edit) == text, timeout=10)


def edit_states(edit, editable):
    """A text box reads as editable or as read-only, never both."""
    states = a11y.states_of(edit)
    seen = (states.contains(pyatspi.STATE_EDITABLE), states.contains(pyatspi.STATE_READ_ONLY))
    if seen != (editable, not editable):
        raise Failure(f"{edit.name}: editable {seen[0]}, read-only {seen[1]}")


def main(reader_program, qzt):
    with a11y.Run("qzt-keyboard-") as run:
        paper = a11y.pack(qzt, MANIFEST, run.path("demo.qzt"))
        answers = run.path("answers.da")
        app = run.reader(reader_program, [paper]).application()
        table = find(app, role=pyatspi.ROLE_TABLE, name="答案区", timeout=90)
        wait_for("the demo's nine rows", lambda: a11y.table_size(table)[0] == 9)
        clock = find(app, role=pyatspi.ROLE_LABEL, name_re=r"^剩余答题时间 \d+ 分 \d+ 秒$")
        if not clock.name.startswith("剩余答题时间 29 分"):
            raise Failure(f"clock reads '{clock.name}'")

        # Tab from the tool buttons reaches the grid; the first cell is a heading.
        focus = a11y.FocusTracker()
        for _ in range(12):
            keys("Tab")
            current = focus.current()
            if current is not None and a11y.role_of(current) in (pyatspi.ROLE_TABLE,
                                                                  pyatspi.ROLE_TABLE_CELL):
                break
        focus.wait_until("the grid's first cell", lambda c: c.name == "一、单项选择题")

        keys("Down", "b")
        cell_says(table, SINGLE_1, 2, "第 1 题 B 已选", checked=True)
        focus.wait_until("focus on the chosen letter", lambda c: c.name == "第 1 题 B 已选")
        keys("Down", "a")  # wrong on purpose: the answer is C
        cell_says(table, SINGLE_2, 1, "第 2 题 A 已选", checked=True)
        keys("Down", "Down", "Home", "space", "c")
        cell_says(table, MULTIPLE_3, 1, "第 3 题 A 已选", checked=True)
        cell_says(table, MULTIPLE_3, 3, "第 3 题 C 已选", checked=True)
        keys("Down", "a", "a", "b", "c", "d")  # A on and off again
        cell_says(table, MULTIPLE_4, 1, "第 4 题 A 未选", checked=False)
        cell_says(table, MULTIPLE_4, 4, "第 4 题 D 已选", checked=True)

        # Typing on a text row goes into its edit; Enter comes back on the next row.
        keys("Down", "Down")
        type_text("12")
        edit_holds(app, "第 5 题 文字答案", "12")
        keys("Return")
        focus.wait_until("the grid on the next row", lambda c: c.name == "第 6 题 文字答案 未答")
        keys("Return")
        type_text("北京")
        edit_holds(app, "第 6 题 文字答案", "北京")
        keys("Escape")
        focus.wait_until("back in the grid", lambda c: c.name == "第 6 题 文字答案 北京")

        # Ctrl+S through the save dialog; Ctrl+Enter answered Yes by Enter.
        a11y.save_answers(app, answers)
        edit = find(app, role=pyatspi.ROLE_TEXT, name="第 6 题 文字答案")
        edit_states(edit, editable=True)
        score = a11y.hand_in(app)
        a11y.nothing_hidden(app)  # the comment shown, the hint and panels gone
        edit_states(edit, editable=False)
        # The keys are in the results now: no cell claims the focus.
        focused = [cell(table, row, column).name for row in range(9) for column in range(7)
                   if a11y.is_focused(cell(table, row, column))]
        if focused:
            raise Failure(f"cells read as focused after hand-in: {focused}")

        results = {row: cell(table, row, RESULT).name
                   for row in (SINGLE_1, SINGLE_2, MULTIPLE_3, MULTIPLE_4, TEXT_5, TEXT_6)}
        expected = {SINGLE_1: "第 1 题 正确", SINGLE_2: "第 2 题 错误", MULTIPLE_3: "第 3 题 正确",
                    MULTIPLE_4: "第 4 题 正确", TEXT_5: "第 5 题 正确", TEXT_6: "第 6 题 正确"}
        if results != expected:
            raise Failure(f"result cells read {results}")
        cell_says(table, SINGLE_2, CORRECT, "第 2 题 正确答案 C")

        graded = subprocess.run([qzt, "grade", paper, answers], check=True,
                                capture_output=True, text=True).stdout.splitlines()[0]
        if score.name != graded:
            raise Failure(f"the window reads '{score.name}', qzt grade '{graded}'")
        print(f"PASS: {score.name}; result cells {list(results.values())}")


if __name__ == "__main__":
    main(*sys.argv[1:3])
