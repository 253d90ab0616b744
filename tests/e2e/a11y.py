"""The real-window tests' hands and ears: the reader's window read through
AT-SPI, as a screen reader reads it, and driven by real key presses and
clicks (xdotool). Runs inside desktop.sh, which gives it an X server, the
session and accessibility buses and a window manager.

A test names what it looks for by role and accessible name, never by the
reader's internals:

    with Run("qzt-example-") as run:
        app = run.reader(program, [paper]).application()
        table = find(app, role=pyatspi.ROLE_TABLE, name="答案区")
        keys("Down", "b")
        wait_for("B chosen", lambda: is_checked(cell(table, 1, 2)))
"""

import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402
import pyatspi  # noqa: E402


class Failure(Exception):
    """What the test expected did not happen; the message says what."""


# ---- Waiting ------------------------------------------------------------------

def pump():
    """Lets AT-SPI deliver what has arrived (events, replies)."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(what, probe, timeout=60, interval=0.2):
    """Calls probe until it returns something true, and returns that. An
    object that goes away while it is read counts as not there yet."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        pump()
        try:
            value = probe()
            if value:
                return value
        except (GLib.Error, RuntimeError, LookupError) as error:
            last_error = error
        if time.monotonic() > deadline:
            detail = f" (last error: {last_error})" if last_error else ""
            raise Failure(f"timed out after {timeout} s waiting for {what}{detail}")
        time.sleep(interval)


# ---- The accessibility tree ------------------------------------------------------

def name_of(obj):
    return obj.name or ""


def role_of(obj):
    return obj.getRole()


def states_of(obj):
    return obj.getState()


def is_showing(obj):
    return states_of(obj).contains(pyatspi.STATE_SHOWING)


def is_checked(obj):
    return states_of(obj).contains(pyatspi.STATE_CHECKED)


def is_focused(obj):
    return states_of(obj).contains(pyatspi.STATE_FOCUSED)


def children(obj):
    return [obj.getChildAtIndex(i) for i in range(obj.childCount)]


def descendants(root, skip_tables=True):
    """Every object under root, breadth first. Table cells are left out
    unless asked for: a grid reads them through cell()."""
    queue = [root]
    while queue:
        obj = queue.pop(0)
        if obj is None:
            continue
        yield obj
        if skip_tables and role_of(obj) == pyatspi.ROLE_TABLE:
            continue
        queue.extend(children(obj))


def matches(obj, role=None, name=None, name_re=None, showing=None):
    if role is not None and role_of(obj) != role:
        return False
    if name is not None and name_of(obj) != name:
        return False
    if name_re is not None and not re.search(name_re, name_of(obj)):
        return False
    if showing is not None and is_showing(obj) != showing:
        return False
    return True


def find_all(root, **criteria):
    return [obj for obj in descendants(root) if matches(obj, **criteria)]


def text_in(obj):
    """What a screen reader reads out for an object: its name and its text."""
    parts = [name_of(obj)]
    try:
        parts.append(text_of(obj))
    except NotImplementedError:
        pass
    return "\n".join(parts)


def nothing_hidden(app):
    """One window (no stray one such as the web engine's own), no framed
    panel without a name and no label with nothing to say."""
    windows = [w for w in children(app) if role_of(w) == pyatspi.ROLE_FRAME]
    unnamed = [f for f in find_all(app, role=pyatspi.ROLE_FRAME) if not name_of(f)]
    empty = [o for o in descendants(app)
             if role_of(o) == pyatspi.ROLE_LABEL and not text_in(o).strip()]
    if len(windows) != 1 or unnamed or empty:
        raise Failure(f"windows {[name_of(w) for w in windows]}, {len(unnamed)} unnamed frames, "
                      f"{len(empty)} empty labels:\n{dump(app)}")


def find(root, timeout=30, **criteria):
    """The one object matching criteria (role, name, name_re, showing);
    waits for it to appear and fails if there is more than one."""
    def probe():
        found = find_all(root, **criteria)
        if len(found) > 1:
            raise Failure(f"{len(found)} objects match {criteria}")
        return found[0] if found else None
    return wait_for(f"an object with {criteria}", probe, timeout)


def cell(table, row, column):
    """A table cell by model row and column (row 0 is the first question)."""
    return table.queryTable().getAccessibleAt(row, column)


def table_size(table):
    t = table.queryTable()
    return t.nRows, t.nColumns


def text_of(obj):
    """The text of an entry or text view."""
    text = obj.queryText()
    return text.getText(0, text.characterCount)


def dump(root, depth=0, limit=400):
    """The tree as lines of role, name and the states that matter, for
    failure messages."""
    lines = []

    def walk(obj, level):
        if obj is None or len(lines) >= limit:
            return
        states = states_of(obj)
        marks = [n for n, s in (("showing", pyatspi.STATE_SHOWING),
                                ("focused", pyatspi.STATE_FOCUSED),
                                ("checked", pyatspi.STATE_CHECKED)) if states.contains(s)]
        lines.append(f"{'  ' * level}{obj.getRoleName()} '{name_of(obj)}' {' '.join(marks)}")
        if role_of(obj) != pyatspi.ROLE_TABLE:
            for child in children(obj):
                walk(child, level + 1)

    walk(root, depth)
    return "\n".join(lines)


# ---- Focus, as a screen reader follows it ------------------------------------------

class FocusTracker:
    """Follows focus events, since AT-SPI has no call that names the object
    with the focus."""

    def __init__(self):
        self.focused = None
        pyatspi.Registry.registerEventListener(self._on_focus, "object:state-changed:focused")

    def _on_focus(self, event):
        if event.detail1:
            self.focused = event.source

    def current(self):
        pump()
        return self.focused

    def wait_until(self, what, test, timeout=10):
        return wait_for(what, lambda: self.current() is not None and test(self.current()), timeout)


# ---- Real input ---------------------------------------------------------------------

def keys(*names, delay=0.15):
    """Presses keys as xdotool names them ("Down", "b", "ctrl+s"), one after
    another, each with a pause so the reader handles it before the next."""
    for name in names:
        subprocess.run(["xdotool", "key", "--clearmodifiers", name], check=True)
        time.sleep(delay)
        pump()


def type_text(text, delay_ms=60):
    """Types text with real key presses, also characters not on the
    keyboard. xdotool lends such a character a spare key for the moment,
    and the application must see the new key map before the press: one
    character per call, with a pause after each."""
    def run(part, pause):
        subprocess.run(["xdotool", "type", "--delay", str(delay_ms), part], check=True)
        time.sleep(pause)

    ascii_run = ""
    for ch in text:
        if ch.isascii():
            ascii_run += ch
            continue
        if ascii_run:
            run(ascii_run, 0.2)
            ascii_run = ""
        run(ch, 0.7)
    if ascii_run:
        run(ascii_run, 0.2)
    pump()


def click(obj):
    """A real left click in the middle of an object on screen."""
    x, y, w, h = obj.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "1"],
                   check=True)
    time.sleep(0.2)
    pump()


# ---- The reader's process -------------------------------------------------------------

def application(pid, timeout=60, alive=None):
    """The application with process id pid as AT-SPI lists it; alive()
    may fail the wait early when the process has ended."""
    def probe():
        if alive is not None:
            alive()
        desktop = pyatspi.Registry.getDesktop(0)
        for app in children(desktop):
            if app is not None and app.get_process_id() == pid:
                # Read every name afresh: the reader changes them as the exam runs.
                app.set_cache_mask(Atspi.Cache.NONE)
                return app
        return None
    return wait_for(f"process {pid} on the accessibility bus", probe, timeout)


class Reader:
    """A reader process in a session of its own, with its work folders,
    socket, recovery copies and settings inside the test's folder."""

    def __init__(self, program, args, work, env=None, log_name="reader.log"):
        os.makedirs(os.path.join(work, "tmp"), exist_ok=True)
        self.log_path = os.path.join(work, log_name)
        environment = dict(os.environ)
        environment.update({"TMPDIR": os.path.join(work, "tmp"),
                            "QZT_DATA_DIR": os.path.join(work, "data"),
                            "XDG_CONFIG_HOME": os.path.join(work, "config")})
        environment.update(env or {})
        with open(self.log_path, "ab") as log:
            self.process = subprocess.Popen([program, *args], env=environment,
                                            stdout=log, stderr=subprocess.STDOUT,
                                            start_new_session=True)
        self.pid = self.process.pid

    def running(self):
        return self.process.poll() is None

    def application(self, timeout=60):
        """The reader as AT-SPI lists it."""
        def alive():
            if not self.running():
                raise Failure(f"the reader ended with {self.process.returncode}")
        return application(self.pid, timeout, alive)

    def signal(self, number):
        os.kill(self.pid, number)

    def wait(self, timeout=30):
        return self.process.wait(timeout)

    def stop(self):
        """Ends the reader if it still runs (SIGKILL after a grace period)."""
        if not self.running():
            return
        self.signal(signal.SIGTERM)
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.signal(signal.SIGKILL)
            self.process.wait(10)

    def log(self, lines=30):
        try:
            with open(self.log_path, encoding="utf-8", errors="replace") as log:
                return "".join(log.readlines()[-lines:])
        except OSError:
            return ""


# ---- Answering, as a candidate finishes --------------------------------------------

def buttons_read(window, *names):
    """The window's push buttons read as `names` begin (Qt adds the key
    hint, as in 是(Y)): the standard dialogs speak Chinese."""
    for name in names:
        find(window, role=pyatspi.ROLE_PUSH_BUTTON, name_re="^" + re.escape(name), showing=True)


def window_of(obj):
    """The dialog, message box or frame holding obj."""
    while obj is not None and role_of(obj) not in (
            pyatspi.ROLE_DIALOG, pyatspi.ROLE_ALERT, pyatspi.ROLE_FRAME):
        obj = obj.parent
    return obj


def save_answers(app, path):
    """Ctrl+S and the save dialog, by keys."""
    keys("ctrl+s")
    dialog = find(app, role=pyatspi.ROLE_DIALOG, name="保存试卷答案", showing=True)
    buttons_read(dialog, "保存", "取消")
    keys("ctrl+a")
    type_text(path)
    keys("Return")
    wait_for("the answer file", lambda: os.path.exists(path), timeout=20)
    wait_for("the dialog to close", lambda: not is_showing(dialog), timeout=10)


def hand_in(app):
    """Ctrl+Enter, the question answered Yes by Enter; the score label."""
    keys("ctrl+Return")
    question = find(app, name_re="时间还没到，是否真的要试卷？", showing=True)
    buttons_read(window_of(question), "是", "否")
    keys("Return")
    score = find(app, role=pyatspi.ROLE_LABEL, name_re=r"^总分：\d", timeout=20)
    wait_for("the question to close", lambda: not is_showing(question), timeout=10)
    return score


def pack(qzt, manifest, paper):
    """Writes a paper from a manifest with `qzt pack`."""
    subprocess.run([qzt, "pack", manifest, paper], check=True)
    return paper


class Run:
    """One test's folder and the readers it starts. On a failure it shows
    what the running readers' windows hold and what they wrote; at the end
    it stops them and removes the folder.

        with Run("qzt-keyboard-") as run:
            reader = run.reader(program, [paper])
    """

    def __init__(self, prefix):
        self.work = tempfile.mkdtemp(prefix=prefix)
        self.readers = []

    def __enter__(self):
        return self

    def __exit__(self, kind, error, trace):
        if kind is not None:
            for reader in self.readers:
                if reader.running():
                    try:
                        sys.stderr.write(dump(reader.application(5)) + "\n")
                    except Failure:
                        pass
                sys.stderr.write(reader.log())
        for reader in self.readers:
            reader.stop()
        shutil.rmtree(self.work, ignore_errors=True)
        return False

    def path(self, name):
        return os.path.join(self.work, name)

    def reader(self, program, args, env=None):
        reader = Reader(program, args, self.work, env, f"reader-{len(self.readers) + 1}.log")
        self.readers.append(reader)
        return reader

    def paper(self, qzt, name, manifest, files):
        """Packs a paper from a manifest (a dict) and the page files it
        names (relative path: text), written into the run's folder."""
        for relative, text in files.items():
            os.makedirs(os.path.dirname(self.path(relative)) or self.work, exist_ok=True)
            with open(self.path(relative), "w", encoding="utf-8") as file:
                file.write(text)
        manifest_path = self.path(name + ".json")
        with open(manifest_path, "w", encoding="utf-8") as file:
            json.dump(manifest, file, ensure_ascii=False)
        return pack(qzt, manifest_path, self.path(name + ".qzt"))


# ---- For tests written in shell ---------------------------------------------------------

def _grid_of(pid, timeout):
    def alive():
        try:
            os.kill(pid, 0)
        except OSError:
            raise Failure(f"the reader {pid} ended") from None
    app = application(pid, timeout, alive)
    table = find(app, role=pyatspi.ROLE_TABLE, name="答案区", timeout=timeout)
    wait_for("the paper's rows in the grid", lambda: table_size(table)[0] > 0, timeout)
    return app, table


def _shell(args):
    """wait-grid PID [DOCUMENT]: waits until the reader PID shows its paper's
    grid (and a web page titled DOCUMENT, where given).
    cells PID ROW: prints "COLUMN X Y" for each letter cell of grid row ROW
    (from 1), its centre on the screen."""
    command, pid = args[0], int(args[1])
    app, table = _grid_of(pid, 90)
    if command == "wait-grid":
        if len(args) > 2:
            find(app, role=pyatspi.ROLE_DOCUMENT_WEB, name=args[2], showing=True, timeout=90)
        return
    if command == "cells":
        row = int(args[2]) - 1
        for column in range(1, table_size(table)[1]):
            x, y, w, h = cell(table, row, column).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            print(column, x + w // 2, y + h // 2)
        return
    raise Failure(f"no command {command}")


if __name__ == "__main__":
    try:
        _shell(sys.argv[1:])
    except Failure as failure:
        sys.stderr.write(f"{failure}\n")
        sys.exit(1)
