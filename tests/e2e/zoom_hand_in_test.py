"""The demo paper handed in at 300%, on a maximised window: the page keeps
a readable share beside the grid, the comment floats over the page without
covering the grid, and the clock and the score line are as large as the
rest. Read from the accessibility tree, in screen pixels.
Usage (under desktop.sh): zoom_hand_in_test.py READER QZT
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import a11y  # noqa: E402
from a11y import Failure, find, pyatspi, wait_for  # noqa: E402

MANIFEST = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                        "..", "..", "examples", "demo", "manifest.json")
CLOCK = r"^剩余答题时间 \d+ 分 \d+ 秒$"
# The clock line and the score line at 100%, in pixels.
CLOCK_HEIGHT, SCORE_HEIGHT = 25, 22


def extents(obj):
    return obj.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


def main(reader_program, qzt):
    with a11y.Run("qzt-zoom-hand-in-") as run:
        os.makedirs(run.path("config/qzt-reader"))
        with open(run.path("config/qzt-reader/reader.conf"), "w", encoding="utf-8") as conf:
            conf.write("[reading]\nzoom=3\n")
        paper = a11y.pack(qzt, MANIFEST, run.path("demo.qzt"))
        app = run.reader(reader_program, [paper]).application(90)
        table = find(app, role=pyatspi.ROLE_TABLE, name="答案区", timeout=90)
        wait_for("the demo's nine rows", lambda: a11y.table_size(table)[0] == 9)
        frame = a11y.window_of(table)
        wait_for("the maximised window", lambda: extents(frame)[2] >= 1200, timeout=20)
        clock = find(app, role=pyatspi.ROLE_LABEL, name_re=CLOCK)

        score = a11y.hand_in(app)
        # The comment panel: the largest thing named by its caption.
        wait_for("the comment", lambda: a11y.find_all(app, name="评语", showing=True), timeout=20)
        comment = max(a11y.find_all(app, name="评语", showing=True),
                      key=lambda obj: extents(obj)[2] * extents(obj)[3])
        wx, _, ww, _ = extents(frame)
        gx, gy, gw, gh = extents(table)
        cx, cy, cw, ch = extents(comment)
        sx, sy, sw, sh = extents(score)
        _, _, _, clock_height = extents(clock)
        print(f"window {ww} wide; grid {gx - wx}+{gw}; comment {cx - wx}+{cw}; "
              f"score line {sx - wx},{sy}+{sw}x{sh}; clock {clock_height} high")

        paper_width = ww - 24  # the right margin
        if gx - wx < 0.45 * paper_width:
            raise Failure(f"the page keeps {gx - wx} of {paper_width} pixels beside the grid")
        if cx + cw > gx:
            raise Failure(f"the comment ({cx}+{cw}) covers the grid's left edge at {gx}")
        if clock_height < 2.5 * CLOCK_HEIGHT or sh < 2.5 * SCORE_HEIGHT:
            raise Failure(f"the clock is {clock_height} and the score line {sh} pixels high")
        if sx + sw > wx + ww:
            raise Failure(f"the score line ends at {sx + sw}, past the window's edge {wx + ww}")
        print(f"PASS: at 300% the page keeps {gx - wx} pixels, the comment ends at "
              f"{cx + cw - wx} before the grid at {gx - wx}, the score line reads '{score.name}'")


if __name__ == "__main__":
    main(*sys.argv[1:3])
