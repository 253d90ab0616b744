"""The demo paper answered at 150%: Ctrl+plus zooms the grid with the page,
a press at the centre of a letter cell chooses that cell, so does a key, the row edits sit
over their rows, and `qzt grade` on the saved answers agrees with the
window. The factor is kept for the next run.
Usage (under desktop.sh): zoom_test.py READER QZT
"""

import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import a11y  # noqa: E402
from a11y import Failure, cell, find, keys, pyatspi, type_text, wait_for  # noqa: E402

MANIFEST = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                        "..", "..", "examples", "demo", "manifest.json")
SINGLE_1, SINGLE_2, MULTIPLE_3, MULTIPLE_4, TEXT_5, TEXT_6 = 1, 2, 4, 5, 7, 8
LETTER_WIDTH = 28  # a letter cell at 100%, its grid line apart


def extents(obj):
    return obj.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


def letter_width(table):
    return extents(cell(table, SINGLE_1, 1))[2]


def start(reader_program, paper, work):
    reader = a11y.Reader(reader_program, [paper], work)
    app = reader.application()
    table = find(app, role=pyatspi.ROLE_TABLE, name="答案区", timeout=90)
    wait_for("the demo's nine rows", lambda: a11y.table_size(table)[0] == 9)
    return reader, app, table


def press(table, row, column, name):
    a11y.click(cell(table, row, column))
    wait_for(f"'{name}'", lambda: cell(table, row, column).name == name, timeout=10)


def over_its_row(edit, table, row):
    ex, ey, ew, eh = extents(edit)
    cx, cy, cw, ch = extents(cell(table, row, 1))
    return abs(ey - cy) <= 2 and abs(eh - ch) <= 2 and abs(ex - cx) <= 2


def answer_at_150(app, table, paper, answers, qzt):
    press(table, SINGLE_1, 2, "第 1 题 B 已选")
    keys("Down", "a")  # by keyboard too; wrong on purpose
    wait_for("'第 2 题 A 已选'", lambda: cell(table, SINGLE_2, 1).name == "第 2 题 A 已选",
             timeout=10)
    press(table, MULTIPLE_3, 1, "第 3 题 A 已选")
    press(table, MULTIPLE_3, 3, "第 3 题 C 已选")
    for column, letter in ((2, "B"), (3, "C"), (4, "D")):
        press(table, MULTIPLE_4, column, f"第 4 题 {letter} 已选")
    for row, label, text in ((TEXT_5, 5, "12"), (TEXT_6, 6, "北京")):
        edit = find(app, role=pyatspi.ROLE_TEXT, name=f"第 {label} 题 文字答案")
        wait_for(f"row edit {label} over its row", lambda: over_its_row(edit, table, row),
                 timeout=10)
        a11y.click(edit)
        type_text(text)
        wait_for(f"{text} typed", lambda: a11y.text_of(edit) == text, timeout=10)

    a11y.save_answers(app, answers)
    score = a11y.hand_in(app)
    graded = subprocess.run([qzt, "grade", paper, answers], check=True,
                            capture_output=True, text=True).stdout.splitlines()[0]
    if score.name != graded:
        raise Failure(f"the window reads '{score.name}', qzt grade '{graded}'")
    return score.name


def main(reader_program, qzt):
    work = tempfile.mkdtemp(prefix="qzt-zoom-")
    reader = None
    try:
        paper = a11y.pack(qzt, MANIFEST, os.path.join(work, "demo.qzt"))
        reader, app, table = start(reader_program, paper, work)
        if letter_width(table) != LETTER_WIDTH:
            raise Failure(f"a letter cell is {letter_width(table)} wide at 100%")
        a11y.click(cell(table, 0, 0))
        keys("ctrl+plus", "ctrl+plus", "ctrl+equal", "ctrl+plus")  # 110, 125, 150, 175
        keys("ctrl+minus")
        wait_for("the grid at 150%", lambda: letter_width(table) == 42, timeout=10)
        score = answer_at_150(app, table, paper, os.path.join(work, "answers.da"), qzt)
        reader.stop()

        # The next run starts at the kept factor; Ctrl+0 goes back to 100%.
        reader, app, table = start(reader_program, paper, work)
        wait_for("the grid at 150% again", lambda: letter_width(table) == 42, timeout=10)
        keys("ctrl+0")
        wait_for("the grid at 100%", lambda: letter_width(table) == LETTER_WIDTH, timeout=10)
        print(f"PASS: at 150% {score}, as qzt grade says; the factor kept and reset")
    except Failure:
        if reader is not None:
            try:
                sys.stderr.write(a11y.dump(reader.application(5)) + "\n")
            except Failure:
                pass
            sys.stderr.write(reader.log())
        raise
    finally:
        if reader is not None:
            reader.stop()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main(*sys.argv[1:3])
