"""The personal-information managers' roads: notes filed into the Notes,
Outlook and Palm Desktop stand-ins."""
from roadchecks import *  # noqa: F401,F403


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
