"""Screenshots of the demo paper at 100%, 200% and 300%, before and after
hand-in, on a maximised window: z1-before.png ... z3-after.png in OUT.
Not a test; for looking at the zoomed window.
Usage: tests/e2e/desktop.sh /usr/bin/python3 tests/e2e/screenshots.py READER QZT OUT
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import a11y  # noqa: E402
from a11y import find, pyatspi  # noqa: E402

MANIFEST = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                        "..", "..", "examples", "demo", "manifest.json")


def shoot(out, name):
    subprocess.run(["import", "-window", "root", os.path.join(out, name)], check=True)


def main(reader_program, qzt, out):
    os.makedirs(out, exist_ok=True)
    for factor in (1, 2, 3):
        with a11y.Run("qzt-screenshots-") as run:
            os.makedirs(run.path("config/qzt-reader"))
            with open(run.path("config/qzt-reader/reader.conf"), "w", encoding="utf-8") as conf:
                conf.write(f"[reading]\nzoom={factor}\n")
            paper = a11y.pack(qzt, MANIFEST, run.path("demo.qzt"))
            app = run.reader(reader_program, [paper]).application(90)
            find(app, role=pyatspi.ROLE_TABLE, name="答案区", timeout=90)
            time.sleep(4)  # the web page drawn
            shoot(out, f"z{factor}-before.png")
            a11y.hand_in(app)
            time.sleep(2)
            shoot(out, f"z{factor}-after.png")
    print(f"screenshots in {out}")


if __name__ == "__main__":
    main(*sys.argv[1:4])
