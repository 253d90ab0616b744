"""Focus after a file dialog, and no false recovery question. Paper A is
open; Ctrl+O, the path of paper B typed and Enter pressed while the name
completion list shows: the focus comes back to the new paper's grid, shown
and reported. Saved answers imported with Ctrl+I the same way bring it
back each time.
The reader is then closed normally, and the next start of A asks nothing:
the copy of A's exam, left when B replaced it, was no crash.
Usage (under desktop.sh): dialog_focus_test.py READER QZT
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import a11y  # noqa: E402
from a11y import Failure, find, keys, pyatspi, type_text, wait_for  # noqa: E402

QUESTION = "上次答题未正常结束，是否恢复答案和剩余时间？"
CLOCK = r"^剩余答题时间 \d+ 分 \d+ 秒$"


def paper_manifest(title, key, rows):
    return {"title": title, "key": key, "time_limit": 30, "page": "page.txt",
            "questions": [{"label": str(n), "kind": "single", "options": 4, "answer": "A",
                           "marks": 1} for n in range(1, rows + 1)]}


def rows_shown(table, rows):
    wait_for(f"{rows} rows in the grid", lambda: a11y.table_size(table)[0] == rows, timeout=60)


def in_window(obj, window):
    """obj shows, and belongs to window."""
    return a11y.is_showing(obj) and a11y.window_of(obj) == window


def visible_windows(app):
    """The X windows of the reader on screen, popups included."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid",
                            str(app.get_process_id())], capture_output=True, text=True)
    return found.stdout.split()


def through_completion(app, focus, title, path, lands_in):
    """The dialog titled title: path typed into its name box and Enter
    pressed while the completion list shows. The focus then goes to
    something that shows in the window lands_in() finds; returns it."""
    dialog = find(app, role=pyatspi.ROLE_DIALOG, name=title, showing=True)
    before = len(visible_windows(app))
    keys("ctrl+a")
    type_text(path)
    # The completion list is a window of its own, outside the tree.
    wait_for("the completion list", lambda: len(visible_windows(app)) > before, timeout=10)
    focus.focused = None
    keys("Return")
    wait_for("the dialog to close", lambda: not a11y.is_showing(dialog), timeout=20)
    window = lands_in()
    focus.wait_until(f"focus on '{a11y.name_of(window)}' after '{title}'",
                     lambda c: in_window(c, window), timeout=10)
    return focus.current()


def main(reader_program, qzt):
    with a11y.Run("qzt-dialog-focus-") as run:
        paper_a = run.paper(qzt, "a", paper_manifest("试卷甲", "E2E-FOCUS-A", 2),
                            {"page.txt": "page A\n"})
        paper_b = run.paper(qzt, "b", paper_manifest("试卷乙", "E2E-FOCUS-B", 3),
                            {"page.txt": "page B\n"})
        answers = run.path("answers.da")

        focus = a11y.FocusTracker()
        reader = run.reader(reader_program, [paper_a])
        app = reader.application(90)
        table = find(app, role=pyatspi.ROLE_TABLE, name="答案区", timeout=90)
        rows_shown(table, 2)
        a11y.click(a11y.cell(table, 0, 1))

        def main_window():
            return find(app, role=pyatspi.ROLE_FRAME)

        keys("ctrl+o")
        opened = through_completion(app, focus, "生成卷舟格式试卷", paper_b, main_window)
        rows_shown(table, 3)
        if a11y.role_of(opened) not in (pyatspi.ROLE_TABLE, pyatspi.ROLE_TABLE_CELL):
            raise Failure(f"the new paper's focus is on '{opened.name}', not in its grid")
        opened = opened.name

        # The focus comes back after some dialogs and not after others:
        # the import goes through the completion list a few times.
        a11y.save_answers(app, answers)
        for _ in range(4):
            keys("ctrl+i")
            imported = through_completion(app, focus, "导入试卷答案", answers, main_window).name

        # Closed normally; the next start of A asks nothing and its clock runs.
        keys("alt+F4")
        find(app, name="是否真的要退出？", showing=True)
        keys("Return")
        reader.wait(30)
        app = run.reader(reader_program, [paper_a]).application(90)
        clock = find(app, role=pyatspi.ROLE_LABEL, name_re=CLOCK, timeout=90)
        first = clock.name

        def settled():
            if a11y.find_all(app, name=QUESTION, showing=True):
                raise Failure("the recovery question came after a normal end")
            return clock.name != first
        wait_for("the clock of A to run", settled, timeout=15)
        print(f"PASS: focus on '{opened}' after the open dialog, on '{imported}' "
              "after the imports; no recovery question after a normal end")


if __name__ == "__main__":
    main(*sys.argv[1:3])
