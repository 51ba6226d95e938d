#!/usr/bin/env python3
"""The road: the installed Quillmate.exe driven as a person drives it.

    road.py test <Edition> --build build/win32 --work DIR   one integration.Road.<Edition> test
    road.py demo --build build/win32 --install DIR --screenshot FILE
                                                          scripts/run on a machine without a display
    road.py bench --build build/win32 --work DIR [--runs N]  bench/road/run

Each needs an X display (scripts/with-display gives one). Every run works in
a private copy of the project's Wine prefix that uses the X11 graphics driver
and a virtual desktop, and stops that copy's Wine server at the end, so
nothing of it reaches the headless prefix the other tests share.

An edition's test is a few lines (see EDITIONS at the end): its settings, the
stand-in it files into, the note to type, the pane fields to read, and the
check of what the stand-in received.
"""
import argparse
import calendar
import datetime
import os
import re
import select
import shutil
import statistics
import subprocess
import sys
import time
import urllib.parse
from pathlib import Path

TOP = Path(__file__).resolve().parents[2]
# Wine for this machine: 32-bit, or 64-bit for the x86-64 build where 32-bit
# programs cannot run (scripts/wine, scripts/test-tree).
WINE = str(TOP / "scripts" / "wine")


def test_tree():
    return subprocess.run([str(TOP / "scripts" / "test-tree")], stdout=subprocess.PIPE, text=True).stdout.strip()

SKIPPED = 77  # ctest's skip code for these tests

# Resource and control numbers of the program (outside/resources/include/QuiResIds.h).
IDR_TRAY = 142          # the tray icon, its tip and its menu once start-up is done
IDR_TRAY_LOADING = 29   # the same icon while loading
ID_APP_EXIT = 57665
ID_DEST_FILE = 169
ID_DEST_FILE_AND_SEND = 27
IDS_DEST_FILING = 109   # the tray's tip while a note files
IDS_PIM_WEB_ACTION_LATER = 60054   # a note's web action kept off line
IDS_OFFLINE_KEPT = 57761           # at exit: the kept web actions not sent yet (one number)
# The captions of each edition's panes: pane id -> the string (caption, line
# feed, tool tip) of the language library that the check button shows. The
# Notes release 5 to-do and calendar panes share the web panes' ids, not
# their strings.
PANE_CAPTIONS = {
    1: {507: 508, 510: 512, 514: 514},   # Lotus Notes
    2: {503: 503, 504: 504, 514: 514},   # Palm Desktop
    3: {525: 525, 519: 519, 514: 514},   # Outlook
    5: {31: 31, 507: 507, 514: 514},     # the web calendar edition
}
WEB_PANE_CAPTIONS = {507: 507, 510: 510, 514: 514}   # web-only, any other "ActivePIM"
NIF_TIP = 0x4
NIM_ADD, NIM_MODIFY, NIM_DELETE = 0, 1, 2
WM_COMMAND = 0x0111
NEW_NOTE_KEY = "ctrl+alt+n"  # the default of the setting NewHotKey (0x3004E)


class RoadError(Exception):
    pass


def time_factor():
    """How much longer than on a machine that runs 32-bit programs itself
    every step may take: Wine under an x86 emulator is many times slower."""
    if "QUI_ROAD_TIME_FACTOR" in os.environ:
        return float(os.environ["QUI_ROAD_TIME_FACTOR"])
    emulator = Path("/proc/sys/fs/binfmt_misc/qemu-i386")
    try:
        return 10.0 if emulator.read_text().startswith("enabled") else 1.0
    except OSError:
        return 1.0


TIME_FACTOR = time_factor()


def poll(check, timeout, what, interval=0.02):
    """Calls check until it gives something true, against a deadline."""
    timeout *= TIME_FACTOR
    end = time.monotonic() + timeout
    while True:
        result = check()
        if result:
            return result
        if time.monotonic() > end:
            raise RoadError(f"{what}: not within {timeout} s")
        time.sleep(interval)


def retry(call, timeout, what, interval=0.05):
    """Calls call again while it raises RoadError, against a deadline; then
    the last error stands."""
    timeout *= TIME_FACTOR
    end = time.monotonic() + timeout
    while True:
        try:
            return call()
        except RoadError as e:
            if time.monotonic() > end:
                raise RoadError(f"{what}: {e} (still after {timeout} s)") from e
        time.sleep(interval)


def windows_path(path):
    """The prefix maps drive Z: to the Linux root."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def reg_text(text):
    return text.replace("\\", "\\\\").replace('"', '\\"')


class Prefix:
    """A private copy of the project's Wine prefix, with its own Wine server."""

    def __init__(self, base, path):
        self.base = Path(base)
        self.path = Path(path)
        self.env = dict(os.environ)
        self.env.update({
            "WINEPREFIX": str(self.path), "WINEARCH": test_tree(), "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=,winemenubuilder.exe=",
            # Dates and times in the formats the checks expect.
            "LANG": "en_US.UTF-8", "LC_ALL": "en_US.UTF-8",
        })

    def create(self, desktop="Road", size="1024x768"):
        if not (self.base / ".quillmate-ready").exists():
            raise RoadError(f"no Wine prefix at {self.base}: run scripts/setup")
        self.stop()
        shutil.rmtree(self.path, ignore_errors=True)
        self.path.parent.mkdir(parents=True, exist_ok=True)
        # The contents are copied, not the name: a base that is a link to
        # another tree's prefix must not make this copy that prefix itself.
        self.path.mkdir()
        subprocess.run(["cp", "-a", "--reflink=auto", f"{self.base}/.", str(self.path)], check=True)
        drive_z = self.path / "dosdevices" / "z:"
        if not drive_z.is_symlink():
            drive_z.symlink_to("/")
        self.server()
        # Everything of this copy runs in one virtual desktop on the X display.
        self.import_registry(
            "[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\n\"Graphics\"=\"x11\"\n"
            f"[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n\"Desktop\"=\"{desktop}\"\n"
            f"[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n\"{desktop}\"=\"{size}\"\n")

    def server(self):
        # Persistent for the run, and Wine's service processes started now with
        # every stream on /dev/null: one that inherits an output pipe keeps
        # whoever reads it waiting.
        subprocess.run(["wineserver", "-p"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        self.run(["wineboot"], timeout=120)

    def stop(self):
        if self.path.exists():
            subprocess.run(["wineserver", "-k"], env=self.env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
            subprocess.run(["wineserver", "-w"], env=self.env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False, timeout=30)

    def run(self, args, cwd=None, timeout=60):
        done = subprocess.run([WINE] + list(args), env=self.env, cwd=cwd, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=timeout * TIME_FACTOR)
        if done.returncode != 0:
            raise RoadError(f"wine {' '.join(map(str, args))}: exit {done.returncode}")

    def output(self, args, timeout=60):
        """What a console program of the prefix prints."""
        done = subprocess.run([WINE] + list(args), env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, timeout=timeout * TIME_FACTOR)
        if done.returncode != 0:
            raise RoadError(f"wine {' '.join(map(str, args))}: exit {done.returncode}")
        return done.stdout.decode("latin-1")

    def start(self, args, cwd=None, pipes=False):
        streams = subprocess.PIPE if pipes else subprocess.DEVNULL
        return subprocess.Popen([WINE] + list(args), env=self.env, cwd=cwd, stdin=streams, stdout=streams,
                                stderr=subprocess.DEVNULL, bufsize=0)

    def import_registry(self, body):
        reg = self.path / "road-settings.reg"
        reg.write_text("REGEDIT4\n\n" + body, encoding="ascii")
        self.run(["regedit", "/S", windows_path(reg)])

    def script(self, name, bin_dir, *args):
        """One of the project's scripts, run on this prefix."""
        env = dict(self.env, QUI_BIN=str(bin_dir))
        done = subprocess.run([str(TOP / "scripts" / name)] + [str(a) for a in args], env=env,
                              stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              timeout=120 * TIME_FACTOR)
        if done.returncode != 0:
            raise RoadError(f"scripts/{name}: {done.stdout.decode(errors='replace')[-2000:]}")

    def install(self, bin_dir, folder):
        """The install a user gets, through the one script that makes it."""
        self.script("install", bin_dir, folder)

    def standins(self, bin_dir, kinds):
        """The programs the product works beside, where a user has them."""
        if kinds:
            self.script("standins", bin_dir, *kinds)


def product_files():
    """What the product's installer puts in the install folder."""
    lines = (TOP / "scripts" / "install-files.txt").read_text().splitlines()
    return {line for line in lines if line.strip() and not line.startswith("#")}


def check_install(folder):
    """A fresh install holds exactly the product's files."""
    found = {p.relative_to(folder).as_posix() for p in Path(folder).rglob("*") if not p.is_dir()}
    wanted = product_files()
    if found != wanted:
        raise RoadError(f"the install folder is not the product's: not the product's {sorted(found - wanted)}, "
                        f"missing {sorted(wanted - found)}")


def ansi_text(data):
    """Bytes of the Windows code page the prefix runs in (1252) as text."""
    try:
        return data.decode("cp1252")
    except UnicodeDecodeError:
        return data.decode("latin-1")


class Probe:
    """roadprobe.exe inside the desktop: one command, one answer line."""

    def __init__(self, prefix, exe):
        self.process = prefix.start([windows_path(exe)], pipes=True)
        self.buffer = b""
        first = self._line(60 * TIME_FACTOR)
        if first != "ok probe":
            raise RoadError(f"the probe did not start: {first!r}")

    def _line(self, timeout):
        end = time.monotonic() + timeout
        while b"\n" not in self.buffer:
            left = end - time.monotonic()
            if left <= 0:
                raise RoadError("the probe does not answer")
            ready, _, _ = select.select([self.process.stdout], [], [], left)
            if ready:
                chunk = os.read(self.process.stdout.fileno(), 65536)
                if not chunk:
                    raise RoadError("the probe ended")
                self.buffer += chunk
        line, _, self.buffer = self.buffer.partition(b"\n")
        return ansi_text(line).rstrip("\r")

    def ask(self, command, timeout=30):
        self.process.stdin.write(command.encode("cp1252") + b"\n")
        return self._line(timeout * TIME_FACTOR)

    def ok(self, command, timeout=30):
        """The answer after "ok "; a failure raises."""
        answer = self.ask(command, timeout)
        if not answer.startswith("ok"):
            raise RoadError(f"probe {command!r}: {answer}")
        return answer[3:]

    def close(self):
        if self.process.poll() is None:
            try:
                self.ask("quit", 5)
            except (RoadError, OSError, ValueError):
                pass
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()


class Road:
    """One run: a private prefix, the install, the desktop, the probe and the program."""

    def __init__(self, build, work, install=None, log=print):
        self.build = Path(build).resolve()
        self.bin = self.build / "bin"
        self.work = Path(work).resolve()
        self.install_dir = Path(install).resolve() if install else self.work / "install"
        self.prefix = Prefix(TOP / "build" / "wineprefix", self.work / "prefix")
        self.log = log
        self.probe = None
        self.program = None
        self.desktop = None
        self.tray_owner = None
        self.started = time.monotonic()

    def step(self, text):
        self.log(f"[{time.monotonic() - self.started:6.2f} s] {text}")

    # -- setting up

    def prepare(self, settings, standins=()):
        """The prefix with the stand-ins the run asks for, then the install,
        as on a user's machine that has the back end before the product."""
        self.work.mkdir(parents=True, exist_ok=True)
        self.step("private prefix")
        self.prefix.create()
        if standins:
            self.step(f"stand-ins: {' '.join(standins)}")
            self.prefix.standins(self.bin, standins)
        self.step("install")
        fresh = self.install_dir == self.work / "install"
        if fresh:
            shutil.rmtree(self.install_dir, ignore_errors=True)
        self.prefix.install(self.bin, self.install_dir)
        if fresh:
            check_install(self.install_dir)
        if settings:
            self.prefix.import_registry(settings)
        self.step("probe")
        self.probe = Probe(self.prefix, self.bin / "roadprobe.exe")
        tips = self.probe.ok(f"strings {windows_path(self.install_dir / 'QuiRes1033.dll')} {IDR_TRAY} "
                             f"{IDR_TRAY_LOADING}").split("\t")
        if len(tips) != 2 or not tips[0] or tips[0] == tips[1]:
            raise RoadError(f"the tray tips of the resource library cannot tell ready from loading: {tips}")
        self.ready_tip = tips[0]
        self.filing_tip = self.probe.ok(f"strings {windows_path(self.install_dir / 'QuiRes1033.dll')} "
                                        f"{IDS_DEST_FILING}")
        self.desktop = poll(self._desktop_window, 30, "the desktop's X window")

    def browser_standin(self):
        """The browser stand-in as the user's browser, with a fresh log."""
        self.prefix.standins(self.bin, ["browser"])
        log = self.work / "browser.log"
        log.unlink(missing_ok=True)
        self.prefix.import_registry(
            "[HKEY_CURRENT_USER\\Software\\QuillmateStandIns\\Browsers]\n"
            f"\"Log\"=\"{reg_text(windows_path(log))}\"\n")
        return log

    # -- the program

    def start(self):
        self.step("start Quillmate.exe")
        self.program = self.prefix.start(["Quillmate.exe"], cwd=self.install_dir)
        return self

    def tray_requests(self):
        text = self.probe.ok("tray")
        requests = []
        for row in filter(None, text.split("\t")):
            message, owner, icon, flags, tip = (row.split(" ", 4) + [""])[:5]
            requests.append((int(message), owner, int(icon), int(flags, 16), tip))
        return requests

    def _ready(self):
        if self.program.poll() is not None:
            raise RoadError(f"Quillmate.exe ended with {self.program.returncode} before it was ready")
        state = None
        for message, owner, icon, flags, tip in self.tray_requests():
            if icon != IDR_TRAY:
                continue
            if message == NIM_DELETE:
                state = None
            elif message in (NIM_ADD, NIM_MODIFY) and flags & NIF_TIP:
                state = (owner, tip)
        # The program hands the shell at most 63 characters of a tip.
        if state and (state[1] == self.ready_tip or len(state[1]) >= 63 and self.ready_tip.startswith(state[1])):
            return state[0]
        return None

    def wait_ready(self, timeout=30):
        """The tray icon with its ready tip, as the shell was asked to show it."""
        try:
            self.tray_owner = poll(self._ready, timeout, "the ready tray icon")
        except RoadError as e:
            raise RoadError(f"{e}; tray requests: {self.tray_requests()}") from None
        self.step("ready tray icon")

    def _desktop_window(self):
        found = subprocess.run(["xdotool", "search", "--name", "^Road - Wine desktop$"], stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True)
        ids = found.stdout.split()
        return ids[0] if ids else None

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + list(args), check=True, timeout=30)

    def x_focus(self):
        return subprocess.run(["xdotool", "getwindowfocus"], stdout=subprocess.PIPE, text=True).stdout.strip()

    def focus_desktop(self):
        # Global hot keys reach Wine only while one of its windows holds the keyboard.
        self.xdotool("windowfocus", self.desktop)
        poll(lambda: self.x_focus() == self.desktop, 10, "the keyboard on the Wine desktop")

    def wait_keyboard_in_window(self):
        """Wine hands the X keyboard focus to a window it activated a little
        after Windows calls it active; keys that reach the desktop's own X
        window meanwhile are lost, so typing waits for the hand-over."""
        poll(lambda: self.x_focus() not in ("", self.desktop), 10, "the X keyboard focus on the note's window")

    def note(self):
        """(window, in front, focus in its text) of the current note."""
        window, front, focus = (self.probe.ok("note").split(" ") + ["", ""])[:3]
        return window if window != "0" else None, front == "front", focus == "text"

    def hot_key(self, timeout=15):
        self.focus_desktop()
        self.xdotool("key", "--clearmodifiers", NEW_NOTE_KEY)
        window = poll(lambda: (lambda n: n[0] if n[0] and n[1] and n[2] else None)(self.note()), timeout,
                      "a note window in front with the caret in its text")
        self.wait_keyboard_in_window()
        self.step(f"note window {window}")
        return window

    def type(self, text):
        self.xdotool("type", "--delay", "25", text)
        poll(lambda: self.probe.ok("note-text") == text, 15, f"the note's text {text!r}")
        self.step(f"typed {text!r}")

    def fields(self, pane, ids):
        return self.probe.ok(f"pane {pane} {' '.join(map(str, ids))}").split("\t")

    def wait_fields(self, pane, expected, timeout=15):
        ids = list(expected)
        want = [expected[i] for i in ids]
        last = []

        def check():
            last[:] = self.fields(pane, ids)
            return last == want
        try:
            poll(check, timeout, f"the fields of pane {pane}")
        except RoadError as e:
            raise RoadError(f"{e}: {dict(zip(ids, last))}, expected {expected}") from None
        self.step(f"pane {pane}: {dict(zip(ids, last))}")

    def check_panes(self, active_pim):
        """The panes show their edition's own captions, and no field or label
        of them is narrower than its text (measured by the probe in Wine)."""
        expected = PANE_CAPTIONS.get(active_pim, WEB_PANE_CAPTIONS)
        library = windows_path(self.install_dir / "QuiRes1033.dll")
        texts = self.probe.ok(f"caption-strings {library} {' '.join(map(str, expected.values()))}").split("\t")
        want = dict(zip(expected, texts))
        shown = dict((int(id_), caption) for id_, _, caption in
                     (row.partition(" ") for row in filter(None, self.probe.ok("captions").split("\t"))))
        if shown != want:
            raise RoadError(f"the panes' captions (pane: caption) {shown}, expected {want}")
        cut = self.probe.ok("cut-texts")
        if cut:
            raise RoadError(f"texts wider than their fields or labels (pane/field): {cut}")
        self.step(f"panes {sorted(shown)}: their own captions, no text cut")

    def screenshot(self, path):
        path = Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["import", "-window", self.desktop, str(path)], check=True, timeout=30)
        self.step(f"screenshot {path}")

    def click(self, x, y):
        self.xdotool("mousemove", "--window", self.desktop, str(x), str(y), "click", "1")

    def file_note(self, note):
        for command in (ID_DEST_FILE_AND_SEND, ID_DEST_FILE):
            answer = self.probe.ask(f"button {command}")
            if answer.startswith("ok "):
                x, y = answer[3:].split()
                self.click(x, y)
                self.step(f"file button {command} pressed")
                poll(lambda: self.probe.ask(f"gone {note}") == "ok", 15, "the filed note window gone")
                self.step("note window gone")
                return
        raise RoadError(f"no file button; windows: {self.probe.ask('windows')}")

    def press_file(self):
        """Clicks the current note's file button; the window may stay."""
        for command in (ID_DEST_FILE_AND_SEND, ID_DEST_FILE):
            answer = self.probe.ask(f"button {command}")
            if answer.startswith("ok "):
                x, y = answer[3:].split()
                self.click(x, y)
                self.step(f"file button {command} pressed")
                return
        raise RoadError(f"no file button; windows: {self.probe.ask('windows')}")

    def fresh_note(self, filed):
        """The empty note that opens after one was filed (SaveThenNew)."""
        window = poll(lambda: (lambda n: n[0] if n[0] and n[0] != filed else None)(self.note()), 15,
                      "a fresh note after filing")
        text = self.probe.ok("note-text")
        if text:
            raise RoadError(f"the fresh note holds {text!r}")
        self.step(f"fresh note {window}")
        return window

    def set_text(self, text):
        self.probe.ok(f"set-note-text {text}")
        poll(lambda: self.probe.ok("note-text") == text, 15, f"the note's text {text!r}")
        self.step(f"note text {text!r}")

    def tips_since(self, count):
        """The tray tips the program asked for after the first `count` requests."""
        return [tip for (message, owner, icon, flags, tip) in self.tray_requests()[count:] if flags & NIF_TIP]

    def exit(self):
        if self.program and self.program.poll() is None and self.tray_owner:
            self.probe.ask(f"post {self.tray_owner} {WM_COMMAND} {ID_APP_EXIT}")
            try:
                self.program.wait(20 * TIME_FACTOR)
            except subprocess.TimeoutExpired:
                pass

    def close(self):
        """Ends everything of the run, whatever state a failure left it in."""
        try:
            if self.probe:
                self.exit()
        except (RoadError, OSError, subprocess.SubprocessError) as e:
            self.log(f"the program did not end by its exit command: {e}")
        if self.probe:
            self.probe.close()
        if self.program and self.program.poll() is None:
            self.program.kill()
        self.prefix.stop()


# -- checks of what the stand-ins received

# The stand-ins' lines of a URL they were asked to open, and of a page that
# arrived: read whole by the browser object, or loaded to the end in a DDE
# browser's window.
ASKED = re.compile(r"^(InternetExplorer\.Navigate |dde \S+ request WWW_OpenURL |launch )")
ARRIVED = re.compile(r"^(InternetExplorer\.Read |page \S+ arrived )")


def browser_urls(log, prefix, lines=ASKED):
    """The URLs beginning with prefix that the browser stand-in was asked to
    open (or, with ARRIVED, that arrived)."""
    if not log.exists():
        return []
    pattern = re.compile(re.escape(prefix) + r"[^\s\"]*")
    return [m.group(0) for line in log.read_text(errors="replace").splitlines() if lines.match(line)
            for m in pattern.finditer(line)]


def tomorrow_choices():
    """Tomorrow's date, and the one after it should midnight pass during the run."""
    today = datetime.date.today()
    return [today + datetime.timedelta(days=1), today + datetime.timedelta(days=2)]


def weekday_choices(weekday):
    """The next `weekday` (Monday 0), one to seven days ahead, as "yyyy-mm-dd";
    and the one after tomorrow's should midnight pass during the run."""
    choices = []
    for base in tomorrow_choices()[0] - datetime.timedelta(days=1), tomorrow_choices()[0]:
        choices.append((base + datetime.timedelta(days=(weekday - base.weekday()) % 7 or 7)).isoformat())
    return choices


def timed_artefact(artefact):
    """Where the screenshot of the note with its time before its day goes."""
    return artefact.with_name(artefact.stem + "-timed" + artefact.suffix)


def edition_in_build(build, datastore_class):
    exe = Path(build) / "bin" / "Quillmate.exe"
    return exe.exists() and datastore_class.encode() in exe.read_bytes()


# -- the editions

class Edition:
    """One edition's road. A new one names its datastore class, its ActivePIM
    value, the note to type and the pane to read, and fills in standin,
    fields and check."""
    datastore = ""   # the datastore class Quillmate.exe must hold for the test to run
    active_pim = 0
    text = ""        # the note typed
    pane = 0         # the control id of the pane whose fields are read
    standins = ()    # what scripts/standins places before the install

    def settings(self):
        # The edition, and a user past the first run's profile and tip of the day.
        return ("[HKEY_CURRENT_USER\\Software\\Quillmate\\Client]\n"
                f"\"ActivePIM\"=dword:{self.active_pim:08x}\n\"ShowProfile\"=dword:00000001\n"
                "[HKEY_CURRENT_USER\\Software\\Quillmate\\Client\\Tip]\n\"Startup\"=dword:00000000\n")

    def standin(self, road):
        """Sets up what the note is filed into; gives what check needs."""
        raise NotImplementedError

    def fields(self, probe):
        """{field id: the text the pane must show once the note is typed}."""
        raise NotImplementedError

    def check(self, road, standin):
        """Raises RoadError unless the stand-in received the filed note."""
        raise NotImplementedError

    def look(self, road, artefact):
        """The typed note as a person sees it: the fields filled, the panes'
        captions the edition's own, no text cut; the screenshot kept."""
        road.wait_fields(self.pane, self.fields(road.probe))
        road.check_panes(self.active_pim)
        road.screenshot(artefact)

    def run(self, road, artefact):
        standin = self.standin(road)
        road.start().wait_ready()
        note = road.hot_key()
        road.type(self.text)
        self.look(road, artefact)
        road.file_note(note)
        self.check(road, standin)
        self.run_timed(road, standin, timed_artefact(artefact))

    def run_timed(self, road, standin, artefact):
        """A second note, its time typed before its day, where the edition
        files dates; its screenshot kept."""


class WebCalendar(Edition):
    """Web-only edition 4: a note filed as an event of the web calendar."""
    datastore = "CWebOnlyDatastore"
    active_pim = 4
    text = "lunch with Anna tomorrow 12:30 pm"
    pane = 510                        # the calendar pane
    date, start, end = 126, 131, 132  # its date and time fields
    url = "http://calendar.example.com/event/add?"

    def standin(self, road):
        return road.browser_standin()

    def fields(self, probe):
        return {self.date: probe.ok("format-date 1"), self.start: probe.ok("format-time 12 30"),
                self.end: probe.ok("format-time 13 30")}

    # What the event's URL must carry besides tomorrow's month, day and year.
    expected = {"title": "lunch with Anna", "hour": "12", "min": "30", "ampm": "PM", "timed": "1",
                "durh": "1", "durm": "0"}

    def check(self, road, log):
        expect_url(road, log, self.url, self.expected, tomorrow=True)

    # The day after the time: the event is tomorrow's, and both phrases leave
    # its title.
    timed = "dinner 7pm tomorrow"
    timed_expected = {"title": "dinner", "hour": "7", "min": "0", "ampm": "PM", "timed": "1"}

    def run_timed(self, road, log, artefact):
        note = road.hot_key()
        road.type(self.timed)
        road.wait_fields(self.pane, {self.date: road.probe.ok("format-date 1"),
                                     self.start: road.probe.ok("format-time 19 0")})
        road.screenshot(artefact)
        road.file_note(note)
        expect_url(road, log, self.url, self.timed_expected, tomorrow=True, nth=2)


class MyTime(WebCalendar):
    """Web calendar edition 5: a note filed as an event of the MyTime calendar."""
    datastore = "CMyTimeDatastore"
    active_pim = 5
    pane = 31
    url = "http://www.mytime.example.net/calendar/new?"
    # The start on the twelve-hour clock in one parameter; the time the parse
    # found shows the timed layout on the menu button, sent as event type 5000.
    expected = {"text": "lunch with Anna", "start": "12:30 PM", "timed": "1", "type": "5000"}
    timed_expected = {"text": "dinner", "start": "7:00 PM", "timed": "1", "type": "5000"}


class WebOnly(Edition):
    """The default edition 0: web actions only, here the shipped web search."""
    datastore = "CWebOnlyDatastore"
    active_pim = 0
    text = "search for garden furniture"
    pane = 514      # the web actions pane
    action = 102    # its field of the chosen action
    url = "http://search.example.com/results?"

    def standin(self, road):
        return road.browser_standin()

    def fields(self, probe):
        return {self.action: "search the web"}

    def check(self, road, log):
        expect_url(road, log, self.url, {"q": "garden furniture", "n": "20"})


class NetscapeOffLine:
    """Netscape's driver as the browser, whose network object answers the
    connection check (the stand-in's "FailCalls" names its Open), with the
    browsers' DDE stand-in taking the URLs once on line; Internet Explorer's
    check is WinINet's, which Wine always answers as on line."""

    def settings(self):
        return super().settings() + ("[HKEY_CURRENT_USER\\Software\\Quillmate\\Client\\Preferences]\n"
                                     "\"Browser\"=dword:00000002\n")

    def off_line(self, road, off):
        road.prefix.import_registry("[HKEY_CURRENT_USER\\Software\\QuillmateStandIns\\Browsers]\n"
                                    f"\"FailCalls\"={multi_sz(['Netscape.Open'] if off else [])}\n")

    def close_message(self, road, string_id, what, number=None):
        """The program's message of that string, closed as a person does."""
        text = road.probe.ok(f"strings {windows_path(road.install_dir / 'QuiRes1033.dll')} {string_id}")
        if number is not None:
            text = text.replace("%d", str(number))
        message = poll(lambda: road.probe.ok("dialog"), 15, what)
        if message != text:
            raise RoadError(f"{what}: {message!r}, expected {text!r}")
        road.step(f"message: {message}")
        road.probe.ok("cancel-dialogs")
        poll(lambda: not road.probe.ok("dialog"), 15, f"{what} closed")

    def file_kept(self, road, note, kept):
        """Files the note off line: it says its entries are kept, and the exit
        says how many wait."""
        road.press_file()
        self.close_message(road, IDS_PIM_WEB_ACTION_LATER, "the note's word that its entries are kept")
        poll(lambda: road.probe.ask(f"gone {note}") == "ok", 15, "the filed note window gone")
        road.probe.ask(f"post {road.tray_owner} {WM_COMMAND} {ID_APP_EXIT}")
        self.close_message(road, IDS_OFFLINE_KEPT, "the exit's word on the kept entries", kept)
        road.program.wait(20 * TIME_FACTOR)
        road.step("ended with the entries kept")

    def restart_on_line(self, road):
        self.off_line(road, False)
        road.probe.ok(f"dde-browser {windows_path(road.bin / 'ddebrowser.exe')} NETSCAPE")
        road.tray_owner = None
        road.start().wait_ready()


class WebOnlyOffLine(NetscapeOffLine, WebOnly):
    """The default edition while the browser reports no connection: the web
    action is kept and told, the program ends and starts again with the
    connection back, and the action reaches the browser once."""

    def run(self, road, artefact):
        log = self.standin(road)
        self.off_line(road, True)
        road.start().wait_ready()
        note = road.hot_key()
        road.type(self.text)
        self.look(road, artefact)
        self.file_kept(road, note, 1)
        cache = road.install_dir / "actioncache.dat"
        if b"garden furniture" not in (cache.read_bytes() if cache.exists() else b""):
            raise RoadError(f"{cache} does not hold the kept action")
        if browser_urls(log, self.url):
            raise RoadError(f"the browser was given {self.url} while off line")

        self.restart_on_line(road)
        self.check(road, log)
        road.exit()
        if road.program.poll() is None:
            raise RoadError(f"Quillmate.exe did not end by its exit command: {road.probe.ask('windows')}")
        self.check(road, log)


class WebCalendarOffLine(NetscapeOffLine, WebCalendar):
    """The web-only edition's note with its to-do and calendar ticked, filed
    off line: both entries are kept, and once the program starts again on
    line they go one after the other, each arriving once; then a note filed
    on line sends its two entries back to back, each arriving once. The DDE
    stand-in's log tells which pages its windows loaded to the end."""
    todo_url = "http://calendar.example.com/task/add?"
    todo_expected = {"title": "lunch with Anna 12:30 pm", "priority": "1"}
    online = "dinner 7pm tomorrow"
    online_todo = {"title": "dinner 7pm", "priority": "1"}
    online_event = {"title": "dinner", "hour": "7", "min": "0", "ampm": "PM", "timed": "1"}

    def tick_todo(self, road, text):
        # Ctrl+1 ticks the to-do as a click would; the calendar ticked itself.
        road.xdotool("key", "--clearmodifiers", "ctrl+1")
        if road.probe.ok("note-text") != text:
            raise RoadError(f"Ctrl+1 changed the note's text: {road.probe.ok('note-text')!r}")
        road.step("to-do ticked")

    def arrived(self, road, log, count):
        """Each entry's URL arrived `count` times, none was replaced."""
        def urls(prefix):
            return browser_urls(log, prefix, ARRIVED)
        poll(lambda: len(urls(self.url)) >= count and len(urls(self.todo_url)) >= count, 30,
             f"both entries arrived {count} times")
        got = (len(urls(self.url)), len(urls(self.todo_url)))
        if got != (count, count):
            raise RoadError(f"the event and the to-do arrived {got} times, not {count} each")
        replaced = [line for line in log.read_text(errors="replace").splitlines() if " replaced " in line]
        if replaced:
            raise RoadError(f"pages replaced before they were read: {replaced}")
        road.step(f"both entries arrived {count} times")

    def run(self, road, artefact):
        log = self.standin(road)
        self.off_line(road, True)
        road.start().wait_ready()
        note = road.hot_key()
        road.type(self.text)
        self.look(road, artefact)
        self.tick_todo(road, self.text)
        self.file_kept(road, note, 2)
        cache = road.install_dir / "actioncache.dat"
        held = cache.read_bytes() if cache.exists() else b""
        if b"yahoo calendar" not in held or b"yahoo todo list" not in held:
            raise RoadError(f"{cache} does not hold both entries")
        if browser_urls(log, self.url) or browser_urls(log, self.todo_url):
            raise RoadError("the browser was given an entry while off line")

        self.restart_on_line(road)
        self.arrived(road, log, 1)
        expect_url(road, log, self.url, self.expected, tomorrow=True, lines=ARRIVED)
        expect_url(road, log, self.todo_url, self.todo_expected, tomorrow=True, lines=ARRIVED)

        note = road.hot_key()
        road.type(self.online)
        road.wait_fields(self.pane, {self.date: road.probe.ok("format-date 1"),
                                     self.start: road.probe.ok("format-time 19 0")})
        self.tick_todo(road, self.online)
        road.file_note(note)
        self.arrived(road, log, 2)
        expect_url(road, log, self.url, self.online_event, tomorrow=True, nth=2, lines=ARRIVED)
        expect_url(road, log, self.todo_url, self.online_todo, tomorrow=True, nth=2, lines=ARRIVED)
        road.exit()
        if road.program.poll() is None:
            raise RoadError(f"Quillmate.exe did not end by its exit command: {road.probe.ask('windows')}")
        self.arrived(road, log, 2)


def expect_url(road, log, prefix, expected, tomorrow=False, nth=1, lines=ASKED):
    """The browser opened its nth URL beginning with prefix, and no more, whose
    query holds the expected values (and tomorrow's "month", "day" and "year")."""
    urls = poll(lambda: (lambda u: u if len(u) >= nth else None)(browser_urls(log, prefix, lines)), 15,
                f"{prefix} at the browser ({nth})")
    if len(urls) != nth:
        raise RoadError(f"{prefix} was opened {len(urls)} times, not {nth}: {urls}")
    url = urls[nth - 1]
    query = dict(urllib.parse.parse_qsl(urllib.parse.urlsplit(url).query, keep_blank_values=True))
    road.step(f"browser received {url}")
    wrong = {k: (query.get(k), v) for k, v in expected.items() if query.get(k) != v}
    days = [{"month": calendar.month_name[d.month], "day": str(d.day), "year": str(d.year)}
            for d in tomorrow_choices()]
    if tomorrow and not any(all(query.get(k) == v for k, v in day.items()) for day in days):
        wrong["date"] = ({k: query.get(k) for k in ("month", "day", "year")}, days[0])
    if wrong:
        raise RoadError(f"URL parameters (got, expected): {wrong}")


def multi_sz(values):
    """A REG_MULTI_SZ value as regedit reads it."""
    data = b"".join(v.encode("ascii") + b"\0" for v in values) + b"\0"
    return "hex(7):" + ",".join(f"{b:02x}" for b in data)


def date_choices():
    """Tomorrow as "yyyy-mm-dd", and the day after should midnight pass during the run."""
    return [d.isoformat() for d in tomorrow_choices()]


class PimEdition(Edition):
    """A PIM edition's road: a typed to-do with its due date and category,
    then a note with nothing ticked, then a save the back end refuses. The
    whole run files with SaveThenNew on, so each filing opens a fresh note."""
    text = "call the bank tomorrow 3pm Business"
    # The to-do cuts only its due date from its text: the category and the
    # calendar's start time stay.
    filed_body = "call the bank 3pm Business"
    due, category = 160, 123   # the to-do pane's due date and category fields
    plain = "water the plants"
    # The time before its day, typed: the day decides the due date, and only
    # the day's phrase leaves the to-do's text.
    timed, timed_body, timed_weekday = "pay the bills 9am friday", "pay the bills 9am", 4
    refused = "pay the rent tomorrow"   # the to-do ticked: filed under the busy tray icon

    def settings(self):
        return super().settings() + ("[HKEY_CURRENT_USER\\Software\\Quillmate\\Client\\Preferences]\n"
                                     "\"SaveThenNew\"=dword:00000001\n")

    def fields(self, probe):
        return {self.due: probe.ok("format-date 1"), self.category: "Business"}

    def todos(self, road, standin):
        """The to-dos the stand-in holds: [{"body", "due" (yyyy-mm-dd or ""), "category"}]."""
        raise NotImplementedError

    standin_key = ""   # the stand-in's settings, where it reads which call to fail
    fail_call = ""

    def fail_saves(self, road, standin, fail):
        """Tells the stand-in to refuse (or take again) the saves of to-dos."""
        road.prefix.import_registry(f"[{self.standin_key}]\n\"FailCalls\"="
                                    f"{multi_sz([self.fail_call] if fail else [])}\n")

    def expect_todo(self, road, standin, body, dues, category):
        def found():
            for todo in self.todos(road, standin):
                if todo["body"] == body:
                    return todo
            return None
        todo = poll(found, 15, f"the to-do {body!r} at the stand-in")
        road.step(f"stand-in holds {todo}")
        wrong = {}
        if todo["due"] not in dues:
            wrong["due"] = (todo["due"], dues)
        if todo["category"] != category:
            wrong["category"] = (todo["category"], category)
        if wrong:
            raise RoadError(f"the to-do {body!r} (got, expected): {wrong}")
        count = sum(1 for t in self.todos(road, standin) if t["body"] == body)
        if count != 1:
            raise RoadError(f"the to-do {body!r} was filed {count} times")
        # The confirmation of the filed note, closed as a person does.
        confirmation = poll(lambda: road.probe.ok("dialog"), 15, "the filed note's confirmation")
        road.step(f"confirmation: {confirmation}")
        road.probe.ok("cancel-dialogs")
        poll(lambda: not road.probe.ok("dialog"), 15, "the confirmation closed")

    def between_notes(self, road, standin):
        """What happens to the back end between the first note and the next."""

    def is_ready_tip(self, road, tip):
        return tip == road.ready_tip or len(tip) >= 63 and road.ready_tip.startswith(tip)

    def run(self, road, artefact):
        standin = self.standin(road)
        road.start().wait_ready()
        note = road.hot_key()
        road.type(self.text)
        self.look(road, artefact)
        road.file_note(note)
        self.expect_todo(road, standin, self.filed_body, date_choices(), "Business")
        note = road.fresh_note(note)
        self.between_notes(road, standin)

        poll(lambda: road.note()[1:] == (True, True), 15, "the caret in the fresh note's text")
        road.wait_keyboard_in_window()
        road.type(self.timed)
        road.screenshot(timed_artefact(artefact))
        road.file_note(note)
        self.expect_todo(road, standin, self.timed_body, weekday_choices(self.timed_weekday), "")
        kept = sum(1 for t in self.todos(road, standin) if t["body"] == self.filed_body)
        if kept != 1:
            raise RoadError(f"the first to-do is at the stand-in {kept} times after the second was filed")
        note = road.fresh_note(note)

        # Nothing ticked: the note is a to-do all the same.
        road.set_text(self.plain)
        road.file_note(note)
        self.expect_todo(road, standin, self.plain, [""], "")
        note = road.fresh_note(note)

        note = self.file_more(road, standin, note)

        self.refused_save(road, standin, note)

    def file_more(self, road, standin, note):
        """What an edition files beyond the to-dos every edition files."""
        return note

    def refused_save(self, road, standin, note):
        """A save the back end refuses: the user is told and keeps the note;
        once the back end takes it again, the note is filed."""
        self.fail_saves(road, standin, True)
        self.check_refused(road, standin, note)
        self.fail_saves(road, standin, False)
        road.file_note(note)
        self.expect_todo(road, standin, "pay the rent", date_choices(), "")
        road.fresh_note(note)

    def check_refused(self, road, standin, note):
        road.set_text(self.refused)
        before = len(road.tray_requests())
        road.press_file()
        message = poll(lambda: road.probe.ok("dialog"), 30, "the message of the refused save")
        road.step(f"message: {message}")
        road.probe.ok("cancel-dialogs")
        poll(lambda: road.note()[0] == note, 15, "the note window back after the refused save")
        text = road.probe.ok("note-text")
        if text != self.refused:
            raise RoadError(f"the note came back with {text!r}")
        poll(lambda: (lambda tips: tips and self.is_ready_tip(road, tips[-1]))(road.tips_since(before)), 15,
             "the ready tray icon after the refused save")
        if road.filing_tip not in road.tips_since(before):
            raise RoadError(f"the tray never showed {road.filing_tip!r}: {road.tips_since(before)}")
        if road.probe.ok(f"enabled {road.tray_owner}") != "1":
            raise RoadError("the main window stays disabled after the refused save")
        road.step("the note, the tray icon and the main window are back")
        if any(t["body"] == "pay the rent" for t in self.todos(road, standin)):
            raise RoadError("the refused to-do reached the stand-in")


class LotusNotes(PimEdition):
    """Lotus Notes edition 1: to-dos into the user's mail file."""
    datastore = "COzuDatastore"
    active_pim = 1
    pane = 507
    standin_key = "HKEY_CURRENT_USER\\Software\\QuillmateStandIns\\Notes"
    standins = ("notes",)

    def standin(self, road):
        folder = road.work / "notes"
        shutil.rmtree(folder, ignore_errors=True)
        (folder / "mail").mkdir(parents=True)
        files = {
            # The location document by its name and note id (hexadecimal);
            # the program folder as the stand-ins place it.
            "notes.ini": "[Notes]\r\nLocation=Office,8,CN=Ann Lee/OU=Sales/O=Acme\r\nKeyFileName=user.id\r\n"
                         "MailFile=mail\\alee.nsf\r\nMailServer=\r\n"
                         "NotesProgram=C:\\Program Files\\Lotus\\Notes\\\r\n",
            "user.id": "CN=Ann Lee/OU=Sales/O=Acme\r\n",
            "names.nsf": "[note 8]\r\nForm=Location\r\nName=Office\r\nMailType=1\r\nMailFile=mail\\alee.nsf\r\n",
            "mail/alee.nsf":
                "[note 1]\r\n$Title=To do\r\n$NoteClass=4\r\n$Fields=Subject\r\n$Fields=Categories\r\n"
                "$ChoicesOption.Categories=1\r\n$ChoicesFormula.Categories=\"Business\" : \"Personal\"\r\n"
                "[note 2]\r\n$Title=CalendarProfile\r\n$NoteClass=4\r\n$Default.Owner=CN=Ann Lee/OU=Sales/O=Acme\r\n"
                "[note 3]\r\n$ProfileName=CalendarProfile\r\nOwner=CN=Ann Lee/OU=Sales/O=Acme\r\n"
                "CalEntryType(number)=0\r\nDefaultDuration(number)=60\r\n",
        }
        for name, text in files.items():
            (folder / name).write_bytes(text.encode("ascii"))
        # The user's data folder: the program folder holds no notes.ini.
        road.prefix.import_registry(
            "[HKEY_LOCAL_MACHINE\\Software\\Lotus\\Notes\\5.0]\n"
            f"\"DataPath\"=\"{reg_text(windows_path(folder))}\"\n")
        return folder / "mail" / "alee.nsf"

    fail_call = "NSFNoteCreate"
    accented = "café Müller €"

    def file_more(self, road, standin, note):
        # Notes keeps its own character set: the words come back whole.
        road.set_text(self.accented)
        road.file_note(note)
        self.expect_todo(road, standin, self.accented, [""], "")
        return road.fresh_note(note)

    def todos(self, road, mail):
        notes = {}
        dump = road.prefix.output([windows_path(road.bin / "notesdump.exe"), windows_path(mail)])
        # notesdump prints the Windows code page.
        for line in ansi_text(dump.encode("latin-1")).splitlines():
            number, _, item = line.partition(" ")
            name, _, value = item.partition("=")
            notes.setdefault(number, {}).setdefault(name.split("(")[0], []).append(value)
        # Notes writes "*" for no date.
        return [{"body": n.get("Subject", [""])[0], "due": n.get("DueDateTime", [""])[0][:10].strip("*"),
                 "category": ",".join(n.get("Categories", []))}
                for n in notes.values() if n.get("Form") == ["Task"]]


class Outlook(PimEdition):
    """Outlook edition 3: tasks into the stand-in's store."""
    datastore = "CRukDatastore"
    active_pim = 3
    pane = 525
    standin_key = "HKEY_CURRENT_USER\\Software\\QuillmateStandIns\\Outlook"
    standins = ("outlook",)

    def standin(self, road):
        store = road.work / "outlook.store"
        store.unlink(missing_ok=True)
        road.prefix.import_registry(
            f"[{self.standin_key}]\n\"Store\"=\"{reg_text(windows_path(store))}\"\n"
            "[HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\9.0\\Outlook\\Categories]\n"
            "\"MasterList\"=\"Business;Calls;\"\n")
        return store

    fail_call = "_TaskItem.Save"

    def between_notes(self, road, standin):
        """The user closes Outlook, as Outlook from 2007 SP2 on lets a user do
        while another program holds its objects: the next note must reach the
        Outlook the program starts again."""
        road.prefix.run([r"C:\Program Files\Microsoft Office\Office\outlook.exe", "/close"])
        road.step("the user closed Outlook")

    def todos(self, road, store):
        if not store.exists():
            return []
        # A read that meets the program's save of a note fails: read again.
        dump = retry(lambda: road.prefix.output([windows_path(road.bin / "outlookdump.exe"), windows_path(store)]),
                     10, "reading the Outlook store")
        records = {}
        for line in dump.splitlines():
            parts = line.split(" ", 3)
            if len(parts) < 4 or parts[1] != "task" or parts[2] != "saved":
                continue
            name, _, value = parts[3].partition("=")
            records.setdefault(parts[0], {})[name] = value
        # The categories as Outlook reads them apart: an empty one after the
        # last shows as a trailing comma.
        def categories(r):
            names = sorted((int(k.split(".")[1]), v) for k, v in r.items() if k.startswith("Category."))
            return ",".join(v for _, v in names)
        return [{"body": r.get("Subject", ""), "due": "" if r.get("DueDate", "none") == "none"
                 else r.get("DueDate", "")[:10], "category": categories(r)}
                for r in records.values()]


class PalmDesktop(PimEdition):
    """Palm Desktop edition 2: to-dos into the user's to-do table."""
    datastore = "CIbeDatastore"
    active_pim = 2
    pane = 503
    user, user_folder = "Zoe", "ZoeD"
    standins = ("palm",)

    def standin(self, road):
        desktop = road.work / "palm"
        shutil.rmtree(desktop, ignore_errors=True)
        desktop.mkdir(parents=True)
        road.prefix.run([windows_path(road.bin / "roadpalm.exe"), windows_path(desktop), self.user,
                         self.user_folder, "Business", "Personal"])
        # The users' data in a folder of the test's own.
        road.prefix.import_registry(
            "[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\core]\n"
            f"\"Path\"=\"{reg_text(windows_path(desktop))}\"\n"
            "[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\Preferences]\n"
            f"\"LastUserName\"=\"{self.user}\"\n")
        return desktop / self.user_folder / "todo" / "todo.dat"

    def todos(self, road, table):
        text = road.prefix.output([windows_path(road.bin / "palmdump.exe"), windows_path(table)])
        categories = {}
        for index, number, name in re.findall(r'^category (\d+) id=(\d+) name="([^"]*)"', text, re.M):
            categories.setdefault(index, name)
            categories.setdefault(number, name)
        todos = []
        for line in text.splitlines():
            if not line.startswith("record "):
                continue
            fields = dict(re.findall(r'(\w+)=("(?:[^"\\]|\\.)*"|\S+)', line))
            due = int(fields.get("due", "0"))
            todos.append({"body": fields.get("description", '""')[1:-1],
                          "due": "" if due in (0, 1956528000) else datetime.date.fromtimestamp(due).isoformat(),
                          # Slot 0, "Unfiled", is no category.
                          "category": categories.get(fields.get("category", ""), "").replace("Unfiled", "")})
        return todos

    def refused_save(self, road, table, note):
        # The table library reads what it must fail from the program's
        # environment: the program starts again with it.
        road.set_text("")
        road.exit()
        road.tray_owner = None
        road.prefix.env["PALM_STANDIN_FAIL"] = "CBaseTable::AddRecord"
        try:
            road.start().wait_ready()
            note = road.hot_key()
            self.check_refused(road, table, note)
            road.set_text("")
        finally:
            del road.prefix.env["PALM_STANDIN_FAIL"]


WM_CLOSE = 0x0010
MAX_OPEN_NOTES = 5   # the automation server queues what comes while this many notes are open


class ScriptClient(Edition):
    """The installed program's automation server from a script of Wine's
    script host: a burst of notes while the program runs. Each text reaches a
    note: five open at once, the rest queued and opened as notes close, in
    order, none lost. The uninstall takes the server away again."""
    datastore = "CWebOnlyDatastore"
    active_pim = 4
    texts = [f"note {n} from the script" for n in range(1, 9)]

    def send(self, road, texts):
        """Runs the client; its answer, "create <error number>" first."""
        lines = []
        for text in texts:
            lines += [f'  server.NewNote "{text}"', f'  If Err.Number <> 0 Then WScript.Echo "{text}: " & Err.Number',
                      "  Err.Clear"]
        return self.run_client(road, lines)

    def run_client(self, road, body):
        """Runs a client that makes the server and then, when it could, the
        body; its answer, "create <error number>" first."""
        lines = ["On Error Resume Next", 'Set server = CreateObject("Quillmate.Ozu")',
                 'WScript.Echo "create " & Err.Number', "If Err.Number = 0 Then"] + body + ["End If", ""]
        script = road.work / "client.vbs"
        script.write_text("\r\n".join(lines), encoding="ascii")
        answer = road.prefix.output(["cscript", "//nologo", windows_path(script)]).split()
        road.step(f"script client: {' '.join(answer)}")
        return " ".join(answer)

    def open_notes(self, road):
        """{window: text} of the visible notes, never more than five."""
        notes = dict((row.split(" ", 1) + [""])[:2] for row in road.probe.ok("notes").split("\t") if row)
        if len(notes) > MAX_OPEN_NOTES:
            raise RoadError(f"{len(notes)} notes open at once: {notes}")
        return notes

    def run(self, road, artefact):
        road.start().wait_ready()
        answer = self.send(road, self.texts)
        if answer != "create 0":
            raise RoadError(f"the script client could not send its notes: {answer}")
        shown = sorted(self.texts[:MAX_OPEN_NOTES])
        notes = poll(lambda: (lambda n: n if sorted(n.values()) == shown else None)(self.open_notes(road)),
                     15, f"the notes {shown}")
        road.screenshot(artefact)
        # Each note closed lets the next queued text open, in the order sent.
        for text in self.texts[MAX_OPEN_NOTES:]:
            window, closed = next(iter(notes.items()))
            expected = sorted([t for t in notes.values() if t != closed] + [text])
            road.probe.ok(f"post {window} {WM_CLOSE} 0")
            try:
                notes = poll(lambda: (lambda n: n if sorted(n.values()) == expected else None)(self.open_notes(road)),
                             15, f"the queued {text!r} in place of {closed!r}")
            except RoadError as e:
                raise RoadError(f"{e}: the notes hold {sorted(self.open_notes(road).values())}") from None
        for window in notes:
            road.probe.ok(f"post {window} {WM_CLOSE} 0")
        poll(lambda: not self.open_notes(road), 15, "every note closed")
        road.step("every text reached a note")

        road.exit()
        if road.program.poll() is None:
            raise RoadError("Quillmate.exe did not end by its exit command")
        road.prefix.script("uninstall", road.bin, road.install_dir)
        answer = self.send(road, self.texts[:1])
        if answer != "create 429":
            raise RoadError(f"after the uninstall the script client still finds the server: {answer}")


WM_ENDSESSION = 0x0016
IDS_NOTES_BROUGHT_BACK = 60160   # at start: the notes kept at the session's end (one number)


class ScriptClientForcedEnd(ScriptClient):
    """A note typed, and a text from a script client while it is open; then
    the session ends as a forced end ends it (no question, the process killed
    soon after). The program started again opens both with their text and
    says so once."""
    typed = "call the bank tomorrow"
    sent = "lunch with Ann friday"

    def both_open(self, road, what):
        expected = sorted([self.typed, self.sent])
        try:
            return poll(lambda: (lambda n: n if sorted(n.values()) == expected else None)(self.open_notes(road)),
                        15, what)
        except RoadError as e:
            raise RoadError(f"{e}: the notes hold {sorted(self.open_notes(road).values())}") from None

    def run(self, road, artefact):
        road.start().wait_ready()
        road.hot_key()
        road.type(self.typed)
        answer = self.send(road, [self.sent])
        if answer != "create 0":
            raise RoadError(f"the script client could not send its note: {answer}")
        self.both_open(road, "the typed note and the client's")
        road.probe.ok(f"post {road.tray_owner} {WM_ENDSESSION} 1")
        time.sleep(1)
        road.program.kill()
        road.program.wait(10)
        road.step("session ended, the process killed")

        road.tray_owner = None
        road.start().wait_ready()
        text = road.probe.ok(f"strings {windows_path(road.install_dir / 'QuiRes1033.dll')} "
                             f"{IDS_NOTES_BROUGHT_BACK}").replace("%d", "2")
        message = poll(lambda: road.probe.ok("dialog"), 15, "the word that the notes are back")
        if message != text:
            raise RoadError(f"at the start: {message!r}, expected {text!r}")
        road.probe.ok("cancel-dialogs")
        self.both_open(road, "both notes again after the start")
        road.screenshot(artefact)
        for window in self.open_notes(road):
            road.probe.ok(f"post {window} {WM_CLOSE} 0")
        poll(lambda: not self.open_notes(road), 15, "every note closed")


class ScriptClientLongNote(ScriptClient):
    """A script client hands the automation server a note of day names at the
    note's limit of 32,767 characters ("mon mon ..."; the parse engine once
    took seconds and gigabytes over such a text): the program stays up and
    shows it, answers a keystroke in it, and files an ordinary note of the
    web calendar that the client sends afterwards. Its memory stays within 200 MB of what it takes
    for a note of the same letters that the parser finds nothing in ("nom
    nom ..."): under Wine, the note box's rich edit control alone takes some
    700 MB to wrap either text (1 MB unwrapped), which the program cannot help."""
    limit = 32767
    memory_rise = 200 << 20
    ordinary = WebCalendar()

    def alive(self, road, what):
        if road.program.poll() is not None:
            raise RoadError(f"Quillmate.exe ended with {road.program.returncode} {what}")

    def memory(self, road, window, what):
        """The program's peak memory (the larger of working set and private)."""
        working, private = map(int, road.probe.ok(f"memory {window}").split())
        road.step(f"memory {what}: peak working set {working >> 20} MB, peak private {private >> 20} MB")
        return max(working, private)

    def send_long(self, road, word):
        """A note of the word and a space repeated, ending in the word at the
        limit; its window once it shows."""
        answer = self.run_client(road, [
            f'  text = "{word} "', "  For i = 1 To 13", "    text = text & text", "  Next",
            f'  text = Left(text, {self.limit - len(word)}) & "{word}"', "  server.NewNote text",
            '  WScript.Echo "sent " & Err.Number & " " & Len(text)'])
        if answer != f"create 0 sent 0 {self.limit}":
            raise RoadError(f"the script client could not send the long note of {word!r}: {answer}")
        window = poll(lambda: next((w for w, t in self.open_notes(road).items() if len(t) == self.limit), None), 30,
                      f"a note of {self.limit} characters of {word!r}")
        self.alive(road, f"after the long note of {word!r}")
        road.step(f"note {window} holds the {self.limit} characters of {word!r}")
        return window

    def close_note(self, road, window):
        """Emptied, a note closes without asking."""
        road.probe.ok(f"front {window}")
        poll(lambda: road.note()[0] == window, 15, f"note {window} in front")
        road.set_text("")
        road.probe.ok(f"post {window} {WM_CLOSE} 0")
        poll(lambda: road.probe.ask(f"gone {window}") == "ok", 15, f"note {window} closed")

    def run(self, road, artefact):
        log = road.browser_standin()
        road.start().wait_ready()
        plain = self.send_long(road, "nom")
        baseline = self.memory(road, plain, "with a long note of no keyphrases")
        self.close_note(road, plain)

        window = self.send_long(road, "mon")
        peak = self.memory(road, window, "with the long note of day names")
        road.probe.ok(f"front {window}")
        poll(lambda: (lambda n: n[0] == window and n[1] and n[2])(road.note()), 15,
             "the long note in front with the caret in its text")
        took = road.probe.ok("backtime")
        poll(lambda: len(road.probe.ok("note-text")) == self.limit - 1, 15, "the long note one character shorter")
        self.alive(road, "after a keystroke in the long note")
        road.step(f"a keystroke in the long note answered after {took} ms")

        # The ordinary note comes from the same client, and goes in front.
        if self.send(road, [self.ordinary.text]) != "create 0":
            raise RoadError("the script client could not send the ordinary note")
        note = poll(lambda: next((w for w, t in self.open_notes(road).items() if t == self.ordinary.text), None), 15,
                    f"the note {self.ordinary.text!r}")
        road.probe.ok(f"front {note}")
        poll(lambda: road.note()[0] == note, 15, f"note {note} in front")
        road.wait_fields(self.ordinary.pane, self.ordinary.fields(road.probe))
        road.screenshot(artefact)
        road.file_note(note)
        self.ordinary.check(road, log)
        self.alive(road, "after filing")
        peak = max(peak, self.memory(road, window, "at the end"))
        if peak - baseline >= self.memory_rise:
            raise RoadError(f"the day names took the program's memory {(peak - baseline) >> 20} MB above the note "
                            f"the parser found nothing in, the bound is {self.memory_rise >> 20} MB")
        road.step(f"the day names took {(peak - baseline) >> 20} MB above the note the parser found nothing in")

        self.close_note(road, window)
        road.exit()
        if road.program.poll() is None:
            raise RoadError("Quillmate.exe did not end by its exit command")


class WebCalendarSlowExit(WebCalendar):
    """The web calendar's note filed while the browser takes seconds over
    each page, and Exit chosen from the tray half a second later: the program
    ends within the browser wait's limit once the entry has gone, and the
    entry reaches the browser once, counting a start after it."""
    load_ms = 3000
    wait_limit = 30   # the longest the program waits for the browser's page

    def run(self, road, artefact):
        log = self.standin(road)
        road.prefix.import_registry("[HKEY_CURRENT_USER\\Software\\QuillmateStandIns\\Browsers]\n"
                                    f"\"LoadMs\"=dword:{self.load_ms:08x}\n")
        road.start().wait_ready()
        road.hot_key()
        road.type(self.text)
        road.wait_fields(self.pane, self.fields(road.probe))
        road.press_file()
        time.sleep(0.5)
        road.probe.ask(f"post {road.tray_owner} {WM_COMMAND} {ID_APP_EXIT}")
        asked = time.monotonic()
        try:
            road.program.wait(self.wait_limit * TIME_FACTOR)
        except subprocess.TimeoutExpired:
            raise RoadError(f"Quillmate.exe still runs {self.wait_limit} s after its exit: "
                            f"{road.probe.ask('windows')}") from None
        road.step(f"ended {time.monotonic() - asked:.1f} s after the exit")
        expect_url(road, log, self.url, self.expected, tomorrow=True, lines=ARRIVED)
        # Nothing was kept to go again from the next start.
        road.tray_owner = None
        road.start().wait_ready()
        time.sleep(2 * self.load_ms / 1000)
        road.exit()
        expect_url(road, log, self.url, self.expected, tomorrow=True, lines=ASKED)
        expect_url(road, log, self.url, self.expected, tomorrow=True, lines=ARRIVED)


EDITIONS = {"WebCalendar": WebCalendar, "LotusNotes": LotusNotes, "PalmDesktop": PalmDesktop, "Outlook": Outlook,
            "MyTime": MyTime, "WebOnly": WebOnly, "WebOnlyOffLine": WebOnlyOffLine,
            "WebCalendarOffLine": WebCalendarOffLine, "WebCalendarSlowExit": WebCalendarSlowExit}
EDITIONS["ScriptClient"] = ScriptClient
EDITIONS["ScriptClientLongNote"] = ScriptClientLongNote
EDITIONS["ScriptClientForcedEnd"] = ScriptClientForcedEnd


# -- the three uses

def run_test(args):
    edition = EDITIONS[args.edition]()
    if not edition_in_build(args.build, edition.datastore):
        print(f"SKIPPED: the edition {args.edition} ({edition.datastore}) is not in this build of Quillmate.exe")
        return SKIPPED
    road = Road(args.build, args.work)
    try:
        road.prepare(edition.settings(), edition.standins)
        edition.run(road, Path(args.work) / f"{args.edition}.png")
    except (RoadError, subprocess.SubprocessError, OSError) as e:
        print(f"FAILED: {e}")
        if road.desktop:
            try:
                print(f"windows: {road.probe.ask('windows')}")
                road.screenshot(Path(args.work) / f"{args.edition}-failed.png")
            except (RoadError, subprocess.SubprocessError, OSError, AttributeError):
                pass
        return 1
    finally:
        road.close()
    road.step("passed")
    return 0


def run_demo(args):
    """Default settings, as a new user starts: the note typed, then a picture."""
    road = Road(args.build, Path(args.build).parent / "run", install=args.install)
    try:
        road.prepare(None)
        # The prefix has no browser of its own; without one the web actions
        # are off. The stand-in plays the user's browser.
        road.browser_standin()
        road.start().wait_ready(60)
        road.focus_desktop()
        road.xdotool("key", "--clearmodifiers", NEW_NOTE_KEY)
        # A first run opens the preferences and then the tip of the day over
        # the note: they are cancelled until the note has stayed in front with
        # the caret in its text for three polls running.
        calm = []

        def note_alone():
            cancelled = road.probe.ok("cancel-dialogs") != "0"
            window, front, in_text = road.note()
            if window and not front:
                road.probe.ask(f"front {window}")
            calm.append(bool(window and front and in_text and not cancelled))
            return all(calm[-3:]) and len(calm) >= 3
        poll(note_alone, 30, "the note window alone in front", interval=0.2)
        # Back in the note, a person clicks into its text before typing. The
        # keyboard must not be put on the desktop's own X window here: Wine
        # delivers no keys from it to the note, which is in front already.
        x, y = road.probe.ok("text-point").split()
        road.click(x, y)
        poll(lambda: road.note()[1:] == (True, True), 10, "the caret in the note's text after the click")
        # The default edition offers the web actions: the shipped search
        # connector's keyword takes the note.
        road.type("search for lunch places tomorrow 12:30 pm")
        road.screenshot(args.screenshot)
    except (RoadError, subprocess.SubprocessError, OSError) as e:
        print(f"scripts/run: {e}")
        if road.desktop:
            try:
                print(f"note: {road.probe.ask('note-text')}; windows: {road.probe.ask('windows')}")
                road.screenshot(args.screenshot)
            except (RoadError, subprocess.SubprocessError, OSError, AttributeError):
                pass
        return 1
    finally:
        road.close()
    print(f"Screenshot: {args.screenshot}")
    return 0


def run_bench(args):
    edition = WebCalendar()
    if not edition_in_build(args.build, edition.datastore):
        print(f"The web-only edition is not in this build of Quillmate.exe; nothing to measure.")
        return 1
    road = Road(args.build, args.work, log=lambda text: None)
    figures = {name: [] for name in ("ready", "note", "key40", "key1000", "filed")}
    short = "lunch with Anna tomorrow 12:30 pm at Rio"[:40]
    long_text = ("please bring the quarterly report and the slides for the review " * 20)[:982] + " tomorrow 12:30"
    try:
        road.prepare(edition.settings())
        road.browser_standin()
        for run in range(args.runs):
            begin = time.monotonic()
            road.start().wait_ready()
            figures["ready"].append(time.monotonic() - begin)
            road.focus_desktop()
            begin = time.monotonic()
            road.xdotool("key", "--clearmodifiers", NEW_NOTE_KEY)
            note = poll(lambda: (lambda n: n[0] if n[0] and n[1] else None)(road.note()), 15, "the note", 0.001)
            figures["note"].append(time.monotonic() - begin)
            poll(lambda: road.note()[2], 15, "the caret in the note")
            for name, text in (("key40", short), ("key1000", long_text)):
                road.probe.ok(f"set-note-text {text}")
                for _ in range(5):
                    figures[name].append(float(road.probe.ok("keytime x")) / 1000)
            road.probe.ok(f"set-note-text {edition.text}")
            road.wait_fields(edition.pane, {edition.start: road.probe.ok("format-time 12 30")})
            begin = time.monotonic()
            road.file_note(note)
            figures["filed"].append(time.monotonic() - begin)
            road.exit()
            road.tray_owner = None
    finally:
        road.close()
    labels = {"ready": "start of Quillmate.exe to the ready tray icon",
              "note": "hot key to the note window in front",
              "key40": "one typed character to the panes updated, 40-character note",
              "key1000": "one typed character to the panes updated, 1,000-character note",
              "filed": "file button to the note window gone"}
    print(f"{'':66} {'median':>9} {'worst':>9}   ({args.runs} runs)")
    for name, label in labels.items():
        values = figures[name]
        print(f"{label:66} {statistics.median(values) * 1000:7.1f}ms {max(values) * 1000:7.1f}ms")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    uses = parser.add_subparsers(dest="use", required=True)
    test = uses.add_parser("test")
    test.add_argument("edition", choices=sorted(EDITIONS))
    test.add_argument("--build", required=True)
    test.add_argument("--work", required=True)
    demo = uses.add_parser("demo")
    demo.add_argument("--build", required=True)
    demo.add_argument("--install", required=True)
    demo.add_argument("--screenshot", required=True)
    bench = uses.add_parser("bench")
    bench.add_argument("--build", required=True)
    bench.add_argument("--work", required=True)
    bench.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    sys.stdout.reconfigure(line_buffering=True)
    return {"test": run_test, "demo": run_demo, "bench": run_bench}[args.use](args)


if __name__ == "__main__":
    sys.exit(main())
