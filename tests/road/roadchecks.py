"""What the road's editions check: the URLs the browser stand-ins received,
the days a note names, and the base of every edition's road."""
from roadlib import *  # noqa: F401,F403


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
