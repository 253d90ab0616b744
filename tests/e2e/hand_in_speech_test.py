"""Hand-in as a screen reader hears it, through a listener that runs from
the start: after Ctrl+Enter and Yes, the focus leaves the grid for the
results, which read the score line with the comment, and the candidate's
keys are no longer in the grid.
Usage (under desktop.sh): hand_in_speech_test.py READER QZT
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import a11y  # noqa: E402
from a11y import Failure, cell, find, keys, pyatspi, wait_for  # noqa: E402

COMMENT = ["还需努力。", "请对照解析再做一遍。"]


def main(reader_program, qzt):
    with a11y.Run("qzt-hand-in-speech-") as run:
        paper = run.paper(qzt, "paper", {
            "title": "交卷朗读 e2e", "key": "E2E-HAND-IN", "time_limit": 30, "page": "page.txt",
            "comments_by_percent": True,
            "comments": [{"range": "0-59", "lines": COMMENT},
                         {"range": "60-100", "lines": ["很好！"]}],
            "questions": [{"label": "1", "kind": "single", "options": 4, "answer": "A", "marks": 1},
                          {"label": "2", "kind": "single", "options": 4, "answer": "B", "marks": 2}],
        }, {"page.txt": "page text\n"})
        focus = a11y.FocusTracker()
        app = run.reader(reader_program, [paper]).application(90)
        table = find(app, role=pyatspi.ROLE_TABLE, name="答案区", timeout=90)
        wait_for("the paper's two rows", lambda: a11y.table_size(table)[0] == 2)
        a11y.click(cell(table, 0, 1))  # 1 of 3 marks: the first comment
        focus.wait_until("focus in the grid", lambda c: c.name == "第 1 题 A 已选")

        score = a11y.hand_in(app)
        window = a11y.window_of(score)

        def on_results(obj):
            return (a11y.is_showing(obj) and a11y.window_of(obj) == window
                    and obj.name == score.name and all(line in obj.description for line in COMMENT))
        try:
            focus.wait_until("the focus on the score line and the comment", on_results)
        except Failure:
            now = focus.current()
            heard = f"'{now.name}' / '{now.description}'" if now is not None else "nothing"
            raise Failure(f"after hand-in the focus reads {heard}") from None

        # A key no longer lands in the grid.
        keys("Down")
        if focus.current().name != score.name:
            raise Failure(f"Down moved the focus to '{focus.current().name}'")
        print(f"PASS: the focus on '{score.name}' with '{focus.current().description}'")


if __name__ == "__main__":
    main(*sys.argv[1:3])
