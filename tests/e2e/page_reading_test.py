"""The paper's questions read as a screen reader reads them: on a web page
(the demo), a plain-text page and a rich-text page, the question text is
in the reader's accessibility tree; a text or rich-text page is a named
document whose text carries no table marks. Nothing hidden is there: no stray
window and no empty label where the hint or a comment is not shown.
Usage (under desktop.sh): page_reading_test.py READER QZT
"""

import json
import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import a11y  # noqa: E402
from a11y import Failure, find, pyatspi, wait_for  # noqa: E402

DEMO = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                    "..", "..", "examples", "demo", "manifest.json")
DEMO_QUESTION = "一年中有几个月是 31 天？"

TEXT_QUESTION = "2. How many months have 31 days?"
# The same question in a rich-text page, in a bold run and a plain one,
# its choices in a table.
RTF_PAGE = (r"{\rtf1\ansi\deff0{\fonttbl{\f0 Helvetica;}}"
            r"\f0\fs24 {\b Part one}\par 2. How many months have 31 days?\par"
            r"\trowd\cellx2000\cellx4000\intbl A. 5\cell B. 6\cell\row"
            r"\trowd\cellx2000\cellx4000\intbl C. 7\cell D. 8\cell\row}")
TABLE_MARKS = ("\ufdd0", "\ufdd1", "\u2029")


def question_found(app, question):
    def probe():
        return any(question in a11y.text_in(obj) for obj in a11y.descendants(app))
    try:
        wait_for(f"'{question}' in the tree", probe, timeout=60)
    except Failure:
        sys.stderr.write(a11y.dump(app) + "\n")
        raise


def page_document(app):
    """A text page is the named page document; its text is what it shows,
    choices in table cells included, with no mark of the view's own."""
    page = find(app, role=pyatspi.ROLE_DOCUMENT_FRAME, name="试卷页面")
    text = a11y.text_of(page)
    marks = [hex(ord(m)) for m in TABLE_MARKS if m in text]
    if marks or "D. 8" not in text:
        raise Failure(f"the page document reads {text!r} (marks {marks})")


def one_question_paper(qzt, work, name, page_name, page_bytes):
    """A paper of one single-choice question whose page is page_name."""
    folder = os.path.join(work, name)
    os.makedirs(folder)
    with open(os.path.join(folder, page_name), "wb") as page:
        page.write(page_bytes)
    manifest = os.path.join(folder, "paper.json")
    with open(manifest, "w", encoding="utf-8") as out:
        json.dump({"title": f"{name} 试卷", "key": f"E2E-{name}", "time_limit": 5,
                   "page": page_name,
                   "questions": [{"label": "2", "kind": "single", "options": 4,
                                  "answer": "C", "marks": 1}]}, out, ensure_ascii=False)
    return a11y.pack(qzt, manifest, os.path.join(work, f"{name}.qzt"))


def read_paper(reader_program, work, kind, paper, question):
    reader = a11y.Reader(reader_program, [paper], work)
    try:
        app = reader.application(90)
        find(app, role=pyatspi.ROLE_TABLE, name="答案区", timeout=90)
        question_found(app, question)
        a11y.nothing_hidden(app)
        if kind != "web":
            page_document(app)
    except Failure:
        sys.stderr.write(reader.log())
        raise
    finally:
        reader.stop()


def main(reader_program, qzt):
    work = tempfile.mkdtemp(prefix="qzt-page-reading-")
    try:
        cases = [
            ("web", a11y.pack(qzt, DEMO, os.path.join(work, "demo.qzt")), DEMO_QUESTION),
            ("text", one_question_paper(qzt, work, "text", "page.txt",
                                        (TEXT_QUESTION + "\nA. 5  B. 6  C. 7  D. 8\n").encode()),
             TEXT_QUESTION),
            ("rtf", one_question_paper(qzt, work, "rtf", "page.rtf", RTF_PAGE.encode()),
             TEXT_QUESTION),
        ]
        for kind, paper, question in cases:
            read_paper(reader_program, work, kind, paper, question)
            print(f"PASS: {kind} page read: '{question}'")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main(*sys.argv[1:3])
