"""What reading web pages aloud costs: the demo paper opened with the web
engine's tree for assistive technology on (as the reader starts) and off,
alternating, several times. Prints the start-up time to the page shown and
the memory of the reader with its page processes (PSS) once the page's
tree has been read through, each with the ratio on/off.
Usage: tests/e2e/desktop.sh /usr/bin/python3 bench/page_reading_cost.py READER QZT [RUNS]
"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
import a11y  # noqa: E402
from a11y import find, pyatspi  # noqa: E402

DEMO = os.path.join(HERE, "..", "examples", "demo", "manifest.json")


def family(pid):
    """The process and all its descendants."""
    found = [pid]
    for child in subprocess.run(["pgrep", "-P", str(pid)], capture_output=True,
                                text=True).stdout.split():
        found += family(int(child))
    return found


def pss_kib(pids):
    total = 0
    for pid in pids:
        try:
            with open(f"/proc/{pid}/smaps_rollup") as rollup:
                for line in rollup:
                    if line.startswith("Pss:"):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total


def settled_nodes(page, tree, timeout=30):
    """The node count once three walks a moment apart agree (and, with the
    tree on, the page is more than its empty document)."""
    counts = []
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        counts.append(sum(1 for _ in a11y.descendants(page)))
        if len(counts) >= 3 and len(set(counts[-3:])) == 1 and (counts[-1] > 1 or not tree):
            break
        time.sleep(0.2)
    return counts[-1]


def one_run(reader_program, paper, work, tree):
    env = {"QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY": "1" if tree else "0"}
    start = time.monotonic()
    reader = a11y.Reader(reader_program, [paper], work, env)
    try:
        app = reader.application(90)
        # Without its tree the page is an empty document with no name.
        page = find(app, role=pyatspi.ROLE_DOCUMENT_WEB, showing=True, timeout=90)
        shown = time.monotonic() - start
        # Read the whole page as a screen reader would, until its tree is
        # filled in and settled, then let the reader settle too.
        walked = time.monotonic()
        nodes = settled_nodes(page, tree)
        walked = time.monotonic() - walked
        time.sleep(3)
        return shown, pss_kib(family(reader.pid)) / 1024, walked, nodes
    finally:
        reader.stop()


def main(reader_program, qzt, runs="5"):
    work = tempfile.mkdtemp(prefix="qzt-page-cost-")
    try:
        paper = a11y.pack(qzt, DEMO, os.path.join(work, "demo.qzt"))
        one_run(reader_program, paper, work, True)  # warm the file cache
        figures = {True: [], False: []}
        for _ in range(int(runs)):
            for tree in (True, False):
                figures[tree].append(one_run(reader_program, paper, work, tree))
        for what, index, unit in (("start-up to page shown", 0, "s"), ("memory (PSS)", 1, "MiB"),
                                  ("page read through", 2, "s"), ("nodes in it", 3, "")):
            on = statistics.median(f[index] for f in figures[True])
            off = statistics.median(f[index] for f in figures[False])
            print(f"{what}: on {on:.2f} {unit}, off {off:.2f} {unit}, on/off {on / off:.3f}")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main(*sys.argv[1:4])
