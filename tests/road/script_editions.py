"""The automation server's roads: notes from a script client, at the
note's limit, and through a forced end of the session."""
from web_editions import *  # noqa: F401,F403


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
