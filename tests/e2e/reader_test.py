"""The reader in a real X window: a web-page paper named on the command line
is shown by the web view under its title, and a second start hands over to
the first and ends by itself, leaving one window and one work folder. Then
a copy of the reader with the paper attached shows it unasked once the
first has ended.
Usage (under desktop.sh): reader_test.py READER QZT
"""

import glob
import os
import signal
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import a11y  # noqa: E402
from a11y import Failure, find, pyatspi, wait_for  # noqa: E402

TITLE = "网页试卷 e2e"
# The web engine on Linux builds the page's tree for assistive technology
# only when asked to.
WEB_TREE = {"QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY": "1"}


def windows():
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", TITLE],
                           capture_output=True, text=True).stdout.split()
    return len(found)


def page_shown(reader):
    """Waits until the reader's window carries the paper's title and its
    web view shows the page: the document (named by the page's own title)
    with its heading."""
    app = reader.application(90)
    find(app, role=pyatspi.ROLE_FRAME, name=TITLE, showing=True, timeout=90)
    document = find(app, role=pyatspi.ROLE_DOCUMENT_WEB, name="inner", showing=True, timeout=90)
    find(document, role=pyatspi.ROLE_HEADING, name="A web page paper", timeout=30)


def main(reader_program, qzt):
    with a11y.Run("qzt-reader-") as run:
        def work_folders():
            return [p for p in glob.glob(run.path("tmp/qzt-*")) if os.path.isdir(p)]

        paper = run.paper(qzt, "web paper", {
            "title": TITLE, "key": "E2E-1", "time_limit": 5, "page": "paper/index.html",
            "questions": [{"label": "1", "kind": "single", "options": 4, "answer": "A", "marks": 1}],
        }, {"paper/index.html": '<html><head><meta charset="utf-8"><title>inner</title></head>'
                                "<body><h1>A web page paper</h1></body></html>"})

        first = run.reader(reader_program, [paper], WEB_TREE)
        page_shown(first)
        wait_for("one window on screen", lambda: windows() == 1, timeout=10)
        if len(work_folders()) != 1:
            raise Failure(f"expected one work folder, found {work_folders()}")

        # The second start must end by itself, without a window or a work folder.
        second = run.reader(reader_program, [paper], WEB_TREE)
        if second.wait(30) != 0:
            raise Failure("the second start did not end cleanly")
        if windows() != 1 or len(work_folders()) != 1:
            raise Failure(f"after a second start: {windows()} windows, {work_folders()}")
        if not first.running():
            raise Failure("the first reader ended")
        first.signal(signal.SIGTERM)
        first.wait()

        # A copy of the reader with the paper attached opens it with no argument.
        attached_program = run.path("reader-with-paper")
        subprocess.run([qzt, "attach", reader_program, paper, attached_program], check=True)
        library_path = {"LD_LIBRARY_PATH": os.environ["QZT_TEST_WEB_LIBRARY_DIR"]}
        page_shown(run.reader(attached_program, [], {**WEB_TREE, **library_path}))
        print(f"PASS: '{TITLE}' shown, {windows()} window, the second start handed over")


if __name__ == "__main__":
    main(*sys.argv[1:3])
