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
        subprocess.run(["cp", "-a", "--reflink=auto", str(self.base), str(self.path)], check=True)
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

    def start(self, args, cwd=None, pipes=False):
        streams = subprocess.PIPE if pipes else subprocess.DEVNULL
        return subprocess.Popen([WINE] + list(args), env=self.env, cwd=cwd, stdin=streams, stdout=streams,
                                stderr=subprocess.DEVNULL, bufsize=0)

    def import_registry(self, body):
        reg = self.path / "road-settings.reg"
        reg.write_text("REGEDIT4\n\n" + body, encoding="ascii")
        self.run(["regedit", "/S", windows_path(reg)])

    def install(self, bin_dir, folder):
        """The install a user gets, through the one script that makes it."""
        env = dict(self.env, QUI_BIN=str(bin_dir))
        done = subprocess.run([str(TOP / "scripts" / "install"), str(folder)], env=env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=120 * TIME_FACTOR)
        if done.returncode != 0:
            raise RoadError(f"scripts/install: {done.stdout.decode(errors='replace')[-2000:]}")


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
        return line.decode("latin-1").rstrip("\r")

    def ask(self, command, timeout=30):
        self.process.stdin.write(command.encode("latin-1") + b"\n")
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

    def prepare(self, settings):
        self.work.mkdir(parents=True, exist_ok=True)
        self.step("private prefix")
        self.prefix.create()
        self.step("install")
        self.prefix.install(self.bin, self.install_dir)
        if settings:
            self.prefix.import_registry(settings)
        self.step("probe")
        self.probe = Probe(self.prefix, self.bin / "roadprobe.exe")
        tips = self.probe.ok(f"strings {windows_path(self.install_dir / 'QuiRes1033.dll')} {IDR_TRAY} "
                             f"{IDR_TRAY_LOADING}").split("\t")
        if len(tips) != 2 or not tips[0] or tips[0] == tips[1]:
            raise RoadError(f"the tray tips of the resource library cannot tell ready from loading: {tips}")
        self.ready_tip = tips[0]
        self.desktop = poll(self._desktop_window, 30, "the desktop's X window")

    def browser_standin(self):
        """The browser stand-in as the program for web pages, with a fresh log."""
        log = self.work / "browser.log"
        log.unlink(missing_ok=True)
        program = reg_text(f'"{windows_path(self.bin / "browsers" / "explorer" / "browser.exe")}" "%1"')
        self.prefix.import_registry(
            "[HKEY_CURRENT_USER\\Software\\QuillmateStandIns\\Browsers]\n"
            f"\"Log\"=\"{reg_text(windows_path(log))}\"\n"
            "[HKEY_CLASSES_ROOT\\.html]\n@=\"QuillmateStandIn.Page\"\n"
            f"[HKEY_CLASSES_ROOT\\QuillmateStandIn.Page\\shell\\open\\command]\n@=\"{program}\"\n"
            f"[HKEY_CLASSES_ROOT\\http\\shell\\open\\command]\n@=\"{program}\"\n")
        self.prefix.run(["regsvr32", "/s", windows_path(self.bin / "BrowserStandIn.dll")])
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

def browser_urls(log, prefix):
    """The URLs beginning with prefix that the browser stand-in was asked to open."""
    if not log.exists():
        return []
    pattern = re.compile(re.escape(prefix) + r"[^\s\"]*")
    return [m.group(0) for line in log.read_text(errors="replace").splitlines() for m in pattern.finditer(line)]


def tomorrow_choices():
    """Tomorrow's date, and the one after it should midnight pass during the run."""
    today = datetime.date.today()
    return [today + datetime.timedelta(days=1), today + datetime.timedelta(days=2)]


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

    def run(self, road, artefact):
        standin = self.standin(road)
        road.start().wait_ready()
        note = road.hot_key()
        road.type(self.text)
        road.wait_fields(self.pane, self.fields(road.probe))
        road.screenshot(artefact)
        road.file_note(note)
        self.check(road, standin)


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

    def check(self, road, log):
        urls = poll(lambda: browser_urls(log, self.url), 15, "the calendar URL at the browser")
        if len(urls) != 1:
            raise RoadError(f"the calendar URL was opened {len(urls)} times: {urls}")
        query = dict(urllib.parse.parse_qsl(urllib.parse.urlsplit(urls[0]).query, keep_blank_values=True))
        road.step(f"browser received {urls[0]}")
        expected = {"title": "lunch with Anna", "hour": "12", "min": "30", "ampm": "PM", "timed": "1",
                    "durh": "1", "durm": "0"}
        wrong = {k: (query.get(k), v) for k, v in expected.items() if query.get(k) != v}
        days = [{"month": calendar.month_name[d.month], "day": str(d.day), "year": str(d.year)}
                for d in tomorrow_choices()]
        if not any(all(query.get(k) == v for k, v in day.items()) for day in days):
            wrong["date"] = ({k: query.get(k) for k in ("month", "day", "year")}, days[0])
        if wrong:
            raise RoadError(f"calendar URL parameters (got, expected): {wrong}")


EDITIONS = {"WebCalendar": WebCalendar}


# -- the three uses

def run_test(args):
    edition = EDITIONS[args.edition]()
    if not edition_in_build(args.build, edition.datastore):
        print(f"SKIPPED: the edition {args.edition} ({edition.datastore}) is not in this build of Quillmate.exe")
        return SKIPPED
    road = Road(args.build, args.work)
    try:
        road.prepare(edition.settings())
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
        # The default edition offers only the web actions, and the connectors
        # ship disabled: a new user's note is taken as typed, nothing marked.
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
