"""The road's machinery: a private Wine prefix, the install, the probe that
reads the program's windows, and the program driven as a person drives it."""
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
