"""The time left as a screen reader hears it: one text, told once a minute
and not each second, yet current to the second whenever it is read; an
alert at 5 and at 1 minute left, each told with its own words; at time up
the focus on the score line. A paper of two minutes starts inside the
five-minute warning and reaches the last minute after one.
Usage (under desktop.sh): time_warning_test.py READER QZT
"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import a11y  # noqa: E402
from a11y import Failure, find, pyatspi, wait_for  # noqa: E402

FIVE = "剩余答题时间不超过 5 分钟"
ONE = "剩余答题时间不超过 1 分钟"


class Heard:
    """What a screen reader is told: alerts that show and names that change."""

    def __init__(self):
        self.alerts = []
        self.renamed = []
        self.alerts_renamed = []
        pyatspi.Registry.registerEventListener(self._showing, "object:state-changed:showing")
        pyatspi.Registry.registerEventListener(self._renamed, "object:property-change:accessible-name")

    def _showing(self, event):
        if event.detail1 and event.source.getRole() == pyatspi.ROLE_ALERT:
            self.alerts.append(event.source.name)

    def _renamed(self, event):
        self.renamed.append(event.source.name)
        if event.source.getRole() == pyatspi.ROLE_ALERT:
            self.alerts_renamed.append(event.source.name)


def read_text(obj):
    """The text a screen reader asks for on demand; empty when none."""
    try:
        return a11y.text_of(obj)
    except NotImplementedError:
        return ""


def main(reader_program, qzt):
    with a11y.Run("qzt-warning-") as run:
        paper = run.paper(qzt, "paper", {
            "title": "时间提醒 e2e", "key": "E2E-WARNING", "time_limit": 2, "page": "page.txt",
            "questions": [{"label": "1", "kind": "single", "options": 4, "answer": "A", "marks": 1}],
        }, {"page.txt": "page text\n"})
        heard = Heard()
        focus = a11y.FocusTracker()
        app = run.reader(reader_program, [paper]).application(90)
        find(app, role=pyatspi.ROLE_ALERT, name=FIVE, showing=True, timeout=90)
        clock = find(app, role=pyatspi.ROLE_LABEL, name_re=r"^剩余答题时间 1 分 \d+ 秒$")

        # The seconds run, but assistive technology is not told each one;
        # the text read on demand has them all the same.
        a11y.pump()
        told_before = len(heard.renamed)
        first = clock.name
        first_text = read_text(clock)
        time.sleep(4)
        a11y.pump()
        if clock.name == first:
            raise Failure(f"the remaining time stands at '{first}'")
        if len(heard.renamed) > told_before:
            raise Failure(f"the seconds were announced: {heard.renamed[told_before:]}")
        if read_text(clock) in (first_text, ""):
            raise Failure(f"the clock's text stands at '{first_text}' while its name runs on")

        wait_for("the one-minute alert", lambda: ONE in heard.alerts, timeout=90)
        # A screen reader keeps the name it was told: the alert's new words are told.
        wait_for("the alert renamed", lambda: ONE in heard.alerts_renamed, timeout=5)
        wait_for("the minute told", lambda: any(name.startswith("剩余答题时间 0 分")
                                                for name in heard.renamed), timeout=10)
        find(app, role=pyatspi.ROLE_ALERT, name=ONE, showing=True, timeout=5)

        # Time up hands in; the focus goes to the result.
        score = find(app, role=pyatspi.ROLE_LABEL, name_re=r"^总分：\d", timeout=90)
        focus.wait_until("the focus on the score line", lambda c: c.name == score.name)
        print(f"PASS: alerts {heard.alerts}; the clock read '{first_text}'; "
              f"at time up the focus on '{score.name}'")


if __name__ == "__main__":
    main(*sys.argv[1:3])
