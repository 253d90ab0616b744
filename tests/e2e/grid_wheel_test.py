"""The mouse wheel scrolls a long answer grid wherever the pointer stands
on it: over the letters, over a text-answer box and over a heading strip.
Usage (under desktop.sh): grid_wheel_test.py READER QZT
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import a11y  # noqa: E402
from a11y import Failure, cell, find, pyatspi, wait_for  # noqa: E402

ROWS = 60  # far more than the window shows


def question(n):
    if n % 10 == 1:
        return {"kind": "heading", "text": f"第 {n // 10 + 1} 部分"}
    if n % 10 == 2:
        return {"label": str(n), "kind": "text", "answer": "x", "marks": 1}
    return {"label": str(n), "kind": "single", "options": 4, "answer": "A", "marks": 1}


def top_of(obj):
    return obj.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)[1]


def wheel_over(x, y, clicks=3):
    subprocess.run(["xdotool", "mousemove", str(x), str(y)], check=True)
    for _ in range(clicks):
        subprocess.run(["xdotool", "click", "5"], check=True)


def main(reader_program, qzt):
    with a11y.Run("qzt-grid-wheel-") as run:
        paper = run.paper(qzt, "paper", {
            "title": "滚轮 e2e", "key": "E2E-WHEEL", "time_limit": 30, "page": "page.txt",
            "questions": [question(n) for n in range(1, ROWS + 1)],
        }, {"page.txt": "page text\n"})
        app = run.reader(reader_program, [paper]).application(90)
        table = find(app, role=pyatspi.ROLE_TABLE, name="答案区", timeout=90)
        wait_for("the paper's rows", lambda: a11y.table_size(table)[0] == ROWS)
        # Row 3 is a choice row: it moves up as the grid scrolls.
        marker = cell(table, 2, 1)
        edit = find(app, role=pyatspi.ROLE_TEXT, name="第 2 题 文字答案", showing=True)
        heading = cell(table, 0, 1)
        places = {"a text-answer box": edit.queryComponent().getExtents(pyatspi.DESKTOP_COORDS),
                  "a heading strip": heading.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)}
        tx, ty, tw, th = table.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        for what, (x, y, w, h) in places.items():
            # Back to the top by the wheel over the letters, which always scrolled.
            subprocess.run(["xdotool", "mousemove", str(tx + tw // 2), str(ty + th // 2),
                            "click", "--repeat", "20", "4"], check=True)
            wait_for("the grid at its top", lambda: a11y.is_showing(cell(table, 0, 1)), timeout=10)
            before = top_of(marker)
            wheel_over(x + w // 2, y + h // 2)
            try:
                wait_for(f"the grid to scroll under {what}",
                         lambda: not a11y.is_showing(marker) or top_of(marker) < before, timeout=5)
            except Failure:
                raise Failure(f"the wheel over {what} left the grid where it was") from None
        print("PASS: the wheel scrolls the grid over a text-answer box and a heading strip")


if __name__ == "__main__":
    main(*sys.argv[1:3])
