"""The web editions' roads: notes filed through the browser stand-ins,
on line, off line and while the browser is slow."""
from roadchecks import *  # noqa: F401,F403


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
