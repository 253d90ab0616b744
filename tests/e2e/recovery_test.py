"""Nothing lost: a real click answers a question, the reader keeps a
recovery copy, and is killed with SIGKILL. The next start of the same paper
asks whether to restore, and on Yes (Enter) shows the answer and the time
the copy kept. SIGTERM, SIGINT and SIGHUP then each end the reader with
status 0, without the exit question: the copy is written and its work
folder is gone.
Usage (under desktop.sh): recovery_test.py READER QZT
"""

import glob
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import a11y  # noqa: E402
from a11y import Failure, cell, find, keys, pyatspi, wait_for  # noqa: E402

TITLE = "恢复试卷 e2e"
QUESTION = "上次答题未正常结束，是否恢复答案和剩余时间？"
CLOCK = r"^剩余答题时间 (\d+) 分 (\d+) 秒$"


def main(reader_program, qzt):
    work = tempfile.mkdtemp(prefix="qzt-recovery-")
    data = os.path.join(work, "data")
    reader = None

    def copy_file():
        found = glob.glob(os.path.join(data, "recovery-*.qzr"))
        return found[0] if found else None

    def copy_lines():
        path = copy_file()
        if not path:
            return []
        with open(path, encoding="utf-8", errors="replace") as copy:
            return copy.read().splitlines()

    def work_folders():
        return {p for p in glob.glob(os.path.join(work, "tmp", "qzt-*")) if os.path.isdir(p)}

    def start(restore):
        """The reader on the paper, its grid up; with a copy kept, the
        restore question answered Yes with Enter."""
        nonlocal reader
        reader = a11y.Reader(reader_program, [paper], work)
        app = reader.application(90)
        if restore:
            question = find(app, name=QUESTION, showing=True, timeout=90)
            keys("Return")
            wait_for("the question to close", lambda: not a11y.is_showing(question), timeout=10)
        table = find(app, role=pyatspi.ROLE_TABLE, name="答案区", timeout=90)
        wait_for("the paper's two rows", lambda: a11y.table_size(table)[0] == 2)
        return app, table

    try:
        os.makedirs(os.path.join(work, "paper"))
        with open(os.path.join(work, "paper", "page.txt"), "w") as page:
            page.write("page text\n")
        with open(os.path.join(work, "paper.json"), "w", encoding="utf-8") as manifest:
            json.dump({"title": TITLE, "key": "E2E-RECOVERY", "time_limit": 30,
                       "page": "paper/page.txt",
                       "questions": [{"label": "1", "kind": "single", "options": 4, "answer": "A", "marks": 1},
                                     {"label": "2", "kind": "single", "options": 4, "answer": "B", "marks": 1}]},
                      manifest, ensure_ascii=False)
        paper = a11y.pack(qzt, os.path.join(work, "paper.json"), os.path.join(work, "paper.qzt"))

        # ---- Answer by a real click, then SIGKILL --------------------------------
        app, table = start(restore=False)
        clock = find(app, role=pyatspi.ROLE_LABEL, name_re=CLOCK)
        if not clock.name.startswith("剩余答题时间 29 分"):
            raise Failure(f"a fresh exam's clock reads '{clock.name}'")
        a11y.click(cell(table, 0, 1))
        wait_for("the click in the recovery copy",
                 lambda: any(line.startswith("cell 1 1 ") for line in copy_lines()), timeout=10)
        time.sleep(11)  # the clock writes a later copy too
        reader.signal(signal.SIGKILL)
        reader.wait()
        kept = next(line for line in copy_lines() if line.startswith("clock ")).split()[1:]
        kept_minutes, kept_seconds = int(kept[0]), int(kept[1])
        if (kept_minutes, kept_seconds) == (29, 0):
            raise Failure("the clock wrote no copy in 11 s")
        crashed = work_folders()

        # ---- Next start: asked, Yes restores answer and time -------------------------
        app, table = start(restore=True)
        chosen = [(row, column) for row in range(2) for column in range(1, 5)
                  if a11y.is_checked(cell(table, row, column))]
        if chosen != [(0, 1)] or cell(table, 0, 1).name != "第 1 题 A 已选":
            raise Failure(f"restored answers: {chosen}")
        minutes, seconds = map(int, re.match(CLOCK, find(app, role=pyatspi.ROLE_LABEL, name_re=CLOCK).name).groups())
        left, kept_left = minutes * 60 + seconds, kept_minutes * 60 + kept_seconds
        if not kept_left - 5 <= left <= kept_left:
            raise Failure(f"restored {minutes}:{seconds}, the copy kept {kept_minutes}:{kept_seconds}")

        # ---- SIGTERM, then SIGINT and SIGHUP: status 0, copy kept, work folder gone --
        for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            if number != signal.SIGTERM:
                start(restore=True)
            mine = work_folders() - crashed
            if len(mine) != 1:
                raise Failure(f"the running reader's work folder: {mine}")
            reader.signal(number)
            try:
                status = reader.wait(30)  # an exit question would hold it here
            except subprocess.TimeoutExpired:
                raise Failure(f"{signal.Signals(number).name} did not end the reader") from None
            if status != 0:
                raise Failure(f"{signal.Signals(number).name}: exit status {status}")
            if mine & work_folders():
                raise Failure(f"{signal.Signals(number).name} left the work folder {mine}")
            if not any(line.startswith("cell 1 1 ") for line in copy_lines()):
                raise Failure(f"{signal.Signals(number).name} lost the answer from the copy")
        print(f"PASS: restored {minutes}:{seconds} (kept {kept_minutes}:{kept_seconds}) and answer 1 A;"
              " SIGTERM, SIGINT and SIGHUP ended with 0")
    except Failure:
        if reader is not None:
            sys.stderr.write(reader.log())
        raise
    finally:
        if reader is not None:
            reader.stop()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main(*sys.argv[1:3])
