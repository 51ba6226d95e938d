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


from roadlib import *  # noqa: F401,F403
from roadchecks import *  # noqa: F401,F403
from web_editions import *  # noqa: F401,F403
from pim_editions import *  # noqa: F401,F403
from script_editions import *  # noqa: F401,F403


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
