"""The time left as a screen reader hears it: one text, told once a minute
and not each second, and an alert at 5 and at 1 minute left. A paper of two
minutes starts inside the five-minute warning and reaches the last minute
after one.
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
        pyatspi.Registry.registerEventListener(self._showing, "object:state-changed:showing")
        pyatspi.Registry.registerEventListener(self._renamed, "object:property-change:accessible-name")

    def _showing(self, event):
        if event.detail1 and event.source.getRole() == pyatspi.ROLE_ALERT:
            self.alerts.append(event.source.name)

    def _renamed(self, event):
        self.renamed.append(event.source.name)


def main(reader_program, qzt):
    with a11y.Run("qzt-warning-") as run:
        paper = run.paper(qzt, "paper", {
            "title": "时间提醒 e2e", "key": "E2E-WARNING", "time_limit": 2, "page": "page.txt",
            "questions": [{"label": "1", "kind": "single", "options": 4, "answer": "A", "marks": 1}],
        }, {"page.txt": "page text\n"})
        heard = Heard()
        app = run.reader(reader_program, [paper]).application(90)
        find(app, role=pyatspi.ROLE_ALERT, name=FIVE, showing=True, timeout=90)
        clock = find(app, role=pyatspi.ROLE_LABEL, name_re=r"^剩余答题时间 1 分 \d+ 秒$")

        # The seconds run, but assistive technology is not told each one.
        a11y.pump()
        told_before = len(heard.renamed)
        first = clock.name
        time.sleep(4)
        a11y.pump()
        if clock.name == first:
            raise Failure(f"the remaining time stands at '{first}'")
        if len(heard.renamed) > told_before:
            raise Failure(f"the seconds were announced: {heard.renamed[told_before:]}")

        wait_for("the one-minute alert", lambda: ONE in heard.alerts, timeout=90)
        wait_for("the minute told", lambda: any(name.startswith("剩余答题时间 0 分")
                                                for name in heard.renamed), timeout=10)
        find(app, role=pyatspi.ROLE_ALERT, name=ONE, showing=True, timeout=5)
        print(f"PASS: alerts {heard.alerts}; the clock reads '{clock.name}'")


if __name__ == "__main__":
    main(*sys.argv[1:3])
