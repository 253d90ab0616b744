"""Nothing lost: a real click answers a question, the reader keeps a
recovery copy, and is killed with SIGKILL. The next start removes the
killed reader's work folder and asks whether to restore; SIGTERM while it
asks leaves the copy byte for byte. The start after that, on Yes (Enter),
shows the answer and the time the copy kept. SIGTERM, SIGINT and SIGHUP then each end the reader with
status 0, without the exit question: the copy is written and its work
folder is gone.
Usage (under desktop.sh): recovery_test.py READER QZT
"""

import glob
import os
import re
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import a11y  # noqa: E402
from a11y import Failure, cell, find, keys, pyatspi, wait_for  # noqa: E402

QUESTION = "上次答题未正常结束，是否恢复答案和剩余时间？"
CLOCK = r"^剩余答题时间 (\d+) 分 (\d+) 秒$"


def main(reader_program, qzt):
    with a11y.Run("qzt-recovery-") as run:
        def copy_lines():
            found = glob.glob(run.path("data/recovery-*.qzr"))
            if not found:
                return []
            with open(found[0], encoding="utf-8", errors="replace") as copy:
                return copy.read().splitlines()

        def answer_kept():
            return any(line.startswith("cell 1 1 ") for line in copy_lines())

        def work_folders():
            return {p for p in glob.glob(run.path("tmp/qzt-*")) if os.path.isdir(p)}

        def start(restore):
            """The reader on the paper, its grid up; with a copy kept, the
            restore question answered Yes with Enter."""
            reader = run.reader(reader_program, [paper])
            app = reader.application(90)
            if restore:
                question = find(app, name=QUESTION, showing=True, timeout=90)
                keys("Return")
                wait_for("the question to close", lambda: not a11y.is_showing(question), timeout=10)
            table = find(app, role=pyatspi.ROLE_TABLE, name="答案区", timeout=90)
            wait_for("the paper's two rows", lambda: a11y.table_size(table)[0] == 2)
            return reader, app, table

        def time_left(app):
            clock = find(app, role=pyatspi.ROLE_LABEL, name_re=CLOCK)
            minutes, seconds = map(int, re.match(CLOCK, clock.name).groups())
            return minutes * 60 + seconds

        paper = run.paper(qzt, "paper", {
            "title": "恢复试卷 e2e", "key": "E2E-RECOVERY", "time_limit": 30, "page": "paper/page.txt",
            "questions": [{"label": "1", "kind": "single", "options": 4, "answer": "A", "marks": 1},
                          {"label": "2", "kind": "single", "options": 4, "answer": "B", "marks": 1}],
        }, {"paper/page.txt": "page text\n"})

        # ---- Answer by a real click, then SIGKILL --------------------------------
        reader, app, table = start(restore=False)
        if not 29 * 60 <= time_left(app) <= 29 * 60 + 59:
            raise Failure(f"a fresh exam's clock reads {time_left(app)} s")
        a11y.click(cell(table, 0, 1))
        wait_for("the click in the recovery copy", answer_kept, timeout=10)
        time.sleep(11)  # the clock writes a later copy too
        reader.signal(signal.SIGKILL)
        reader.wait()
        kept = next(line for line in copy_lines() if line.startswith("clock ")).split()[1:]
        kept_left = int(kept[0]) * 60 + int(kept[1])
        if kept == ["29", "0"]:
            raise Failure("the clock wrote no copy in 11 s")
        crashed = work_folders()

        # ---- SIGTERM while the question is open: the copy stays byte for byte ------
        def copy_bytes():
            with open(glob.glob(run.path("data/recovery-*.qzr"))[0], "rb") as copy:
                return copy.read()

        before = copy_bytes()
        reader = run.reader(reader_program, [paper])
        find(reader.application(90), name=QUESTION, showing=True, timeout=90)
        if crashed & work_folders():
            raise Failure(f"the killed reader's work folder stayed: {crashed}")
        reader.signal(signal.SIGTERM)
        try:
            status = reader.wait(30)
        except subprocess.TimeoutExpired:
            raise Failure("SIGTERM during the question did not end the reader") from None
        if status != 0:
            raise Failure(f"SIGTERM during the question: exit status {status}")
        if copy_bytes() != before:
            raise Failure("SIGTERM during the question changed the recovery copy")
        if work_folders():
            raise Failure(f"SIGTERM during the question left {work_folders()}")

        # ---- Next start: asked, Yes restores answer and time -------------------------
        reader, app, table = start(restore=True)
        chosen = [(row, column) for row in range(2) for column in range(1, 5)
                  if a11y.is_checked(cell(table, row, column))]
        if chosen != [(0, 1)] or cell(table, 0, 1).name != "第 1 题 A 已选":
            raise Failure(f"restored answers: {chosen}")
        if not kept_left - 5 <= time_left(app) <= kept_left:
            raise Failure(f"restored {time_left(app)} s, the copy kept {kept_left} s")

        # ---- SIGTERM, then SIGINT and SIGHUP: status 0, copy kept, work folder gone --
        for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            name = signal.Signals(number).name
            if number != signal.SIGTERM:
                reader, app, table = start(restore=True)
            mine = work_folders() - crashed
            if len(mine) != 1:
                raise Failure(f"the running reader's work folder: {mine}")
            reader.signal(number)
            try:
                status = reader.wait(30)  # an exit question would hold it here
            except subprocess.TimeoutExpired:
                raise Failure(f"{name} did not end the reader") from None
            if status != 0:
                raise Failure(f"{name}: exit status {status}")
            if mine & work_folders():
                raise Failure(f"{name} left the work folder {mine}")
            if not answer_kept():
                raise Failure(f"{name} lost the answer from the copy")
        print(f"PASS: restored {kept_left} s and answer 1 A; SIGTERM, SIGINT and SIGHUP ended with 0")


if __name__ == "__main__":
    main(*sys.argv[1:3])
