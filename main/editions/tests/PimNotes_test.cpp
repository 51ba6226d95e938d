// The PIM editions' notes in their windows, each over its edition's real
// datastore and stand-in: typed notes are filed as the edition's records,
// failures leave the user the note, and the windows ask before they close
// or file what the user may not mean to.
#include "PimNotesTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "GodwitWrapper.h"
#include "NoteDayRows.h"
#include "OzuApp.h"
#include "PimDatastore.h"
#include "PimEditions.h"
#include "PimPanes.h"

using namespace pimnote_test;

namespace {

const char* EditionName(PimEdition edition)
{
    return edition == pimNotes ? "Notes" : edition == pimPalm ? "Palm" : "Outlook";
}

UINT ToDoLine(PimEdition edition)
{
    return edition == pimOutlook ? IDS_PIM_FILED_TASK : IDS_PIM_FILED_TODO;
}

UINT Label(PimEdition edition)
{
    return edition == pimNotes ? IDS_EDITION_NOTES : edition == pimPalm ? IDS_EDITION_PALM : IDS_EDITION_OUTLOOK;
}

class PimNote : public NotesFixture, public ::testing::WithParamInterface<PimEdition> {
protected:
    PimNote() : NotesFixture(GetParam()) {}

    // The pane of the edition's to-do or calendar.
    CDestPane* ToDoPane(CActionNote* note) { return DestWnd(note)->GetToDoPane(); }
    CDestPane* CalPane(CActionNote* note) { return DestWnd(note)->GetCalPane(); }
    // The edition with Explorer as its browser, and a note whose words chose
    // a web action; null when no note opened or no action was ticked.
    CPimActionNote* OpenWithWebAction()
    {
        SetActivePim();
        UseExplorerDriver();
        CPimActionNote* note = Open();
        if (!note)
            return nullptr;
        Type(note, "search for whales");
        return Checked(&DestWnd(note)->GetWebActionsPane()) ? note : nullptr;
    }
};

class NotesNote : public NotesFixture {
protected:
    NotesNote() : NotesFixture(pimNotes) {}
};

TEST_P(PimNote, ATypedToDoIsFiledWithItsDueDateAndConfirmed)
{
    CPimActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "call the bank tomorrow");
    ASSERT_TRUE(Checked(ToDoPane(note))) << "a due date ticks the to-do";
    if (Checked(CalPane(note)))
        Click(CalPane(note));
    Command(note, ID_DEST_FILE);

    ASSERT_EQ(1u, g_door.filed.size());
    EXPECT_EQ(GODWIT_TYPE_TODO, g_door.filed[0].type & GODWIT_TYPE_TODO);
    EXPECT_EQ("call the bank", g_door.filed[0].body);
    EXPECT_EQ(Today() + 1.0, std::floor(g_door.filed[0].due));
    ASSERT_EQ(1u, g_notes.confirmed.size());
    EXPECT_EQ(std::vector<std::string>{Message(ToDoLine(GetParam()))}, g_notes.confirmed[0]);
    EXPECT_EQ(Label(GetParam()), g_notes.labels[0]);
    EXPECT_FALSE(IsOpen(note)) << "a filed note ends";
}

// A timed note's day comes from the phrase that names it, wherever it stands.
TEST_P(PimNote, ATimedNoteIsFiledForTheDayItNames)
{
    using namespace noteday_test;
    for (const DayRow& row : DayRows()) {
        SCOPED_TRACE(row.order);
        RunRow([&] {
            g_door.filed.clear();
            CPimActionNote* note = Open();
            ASSERT_NE(nullptr, note);
            auto* toDo = dynamic_cast<CPimToDoPane*>(ToDoPane(note));
            auto* cal = dynamic_cast<CPimCalPane*>(CalPane(note));
            ASSERT_TRUE(toDo && cal);
            TypeRow(row, note, [&](const std::string& text) { Type(note, text); }, [&] {
                if (row.hand == pickDue || row.hand == pickDays)
                    PickDay(toDo->GetDueField(), row.ToDoDays());
                if (row.hand == pickDays)
                    PickDay(cal->GetDateField(), row.days);
                if (row.hand == typeEnd)
                    TypeEnd(cal->GetEndField(), cal->GetCalDestination()->GetEndProp());
                if (row.hand == untickCal) {
                    // Switched off while a chosen web action locks parsing.
                    note->EnablePimDestinations(FALSE);
                    Click(cal);
                    Click(cal);
                    note->EnablePimDestinations(TRUE);
                }
            });
            const bool calOff = row.hand == untickCal;
            // A day past the dates these editions take leaves the fields empty.
            const bool tooFar = PastPimDates(row.days);
            EXPECT_EQ(tooFar ? "" : DayText(row.ToDoDays()), toDo->GetDueField().GetText().GetString());
            EXPECT_EQ(tooFar || calOff ? "" : DayText(row.days), cal->GetDateField().GetText().GetString());
            if (!calOff) {
                EXPECT_EQ(ClockText(row.hour, row.minute), cal->GetStartField().GetText().GetString());
            }
            if (row.hand == typeEnd) {
                EXPECT_EQ(ClockText(kHandEndHour, 0), cal->GetEndField().GetText().GetString());
            }
            EXPECT_EQ(row.marked, MarkedPhrases(note));
            ASSERT_TRUE(Checked(ToDoPane(note)));
            ASSERT_EQ(!calOff, Checked(CalPane(note)));

            if (tooFar) {
                CPromptScript prompts;
                prompts.AnswerNext(IDOK);
                Command(note, ID_DEST_FILE);
                EXPECT_EQ(std::vector<std::string>{Message(IDS_PIM_DATE_OUT_OF_RANGE)}, Texts(prompts));
                EXPECT_TRUE(g_door.filed.empty());
                ASSERT_TRUE(IsOpen(note));
                note->DestroyNoteWnd();
                PumpPending();
                return;
            }
            Command(note, ID_DEST_FILE);
            ASSERT_EQ(calOff ? 1u : 2u, g_door.filed.size());
            const Filed& task = g_door.filed[0].type & GODWIT_TYPE_TODO ? g_door.filed[0] : g_door.filed.back();
            const Filed& entry = g_door.filed[0].type & GODWIT_TYPE_CALENDAR ? g_door.filed[0] : g_door.filed.back();
            EXPECT_EQ(row.toDoBody, task.body);
            EXPECT_EQ(Today() + row.ToDoDays(), std::floor(task.due));
            if (!calOff) {
                EXPECT_EQ(row.body, entry.body);
                EXPECT_NEAR(Today() + row.days + (row.hour * 60 + row.minute) / 1440.0, entry.start, 1e-6);
            }
            EXPECT_FALSE(IsOpen(note));
        });
    }
}

TEST_P(PimNote, ANoteWithNothingTickedIsFiledAsAToDo)
{
    CPimActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "water the plants");
    ASSERT_FALSE(Checked(ToDoPane(note)));
    ASSERT_FALSE(Checked(CalPane(note)));
    CPromptScript prompts;
    Command(note, ID_DEST_FILE);

    EXPECT_EQ(0u, prompts.Asked().size());
    ASSERT_EQ(1u, g_door.filed.size());
    EXPECT_EQ(GODWIT_TYPE_TODO, g_door.filed[0].type & GODWIT_TYPE_TODO);
    EXPECT_EQ("water the plants", g_door.filed[0].body);
    ASSERT_EQ(1u, g_notes.confirmed.size());
    EXPECT_EQ(std::vector<std::string>{Message(ToDoLine(GetParam()))}, g_notes.confirmed[0]);
    EXPECT_FALSE(IsOpen(note));
}

TEST_P(PimNote, AFailedFilingGivesBackTheNoteTheTrayAndTheMainWindow)
{
    const DoorScript::Failure failures[] = {DoorScript::byEdition, DoorScript::byDispatch, DoorScript::byOle};
    for (DoorScript::Failure failure : failures) {
        SCOPED_TRACE(static_cast<int>(failure));
        RunRow([&] {
            g_door = DoorScript();
            g_notes = NoteLog();
            g_door.refuseType = GODWIT_TYPE_TODO;
            g_door.refusals = 1;
            g_door.failure = failure;
            CPimActionNote* note = Open();
            ASSERT_NE(nullptr, note);
            Type(note, "pay the rent tomorrow");
            ASSERT_TRUE(Checked(ToDoPane(note)));
            if (Checked(CalPane(note)))
                Click(CalPane(note));
            const size_t callsBefore = tray->icon->calls.size();
            CPromptScript prompts;
            prompts.AnswerNext(IDOK);
            Command(note, ID_DEST_FILE);

            EXPECT_EQ(1u, prompts.Asked().size()) << "the failure is reported once";
            EXPECT_EQ(0, prompts.Unexpected());
            ASSERT_TRUE(IsOpen(note));
            EXPECT_TRUE(note->GetNoteWnd()->IsWindowVisible());
            EXPECT_EQ("pay the rent tomorrow", Text(note));
            EXPECT_FALSE(note->IsBusy()) << "the exit would wait for it for ever";
            EXPECT_TRUE(tray->IsWindowEnabled());
            EXPECT_EQ(Message(IDR_TRAY), TrayTip());
            bool busyShown = false;
            for (size_t i = callsBefore; i < tray->icon->calls.size(); ++i)
                busyShown = busyShown || tray->icon->calls[i].tip == Message(IDS_DEST_FILING);
            EXPECT_TRUE(busyShown);
            EXPECT_TRUE(g_door.filed.empty());
            EXPECT_TRUE(g_notes.confirmed.empty()) << "nothing is confirmed";

            // Filed again, it goes through.
            Command(note, ID_DEST_FILE);
            ASSERT_EQ(1u, g_door.filed.size());
            EXPECT_EQ("pay the rent", g_door.filed[0].body);
            EXPECT_FALSE(IsOpen(note));
        });
    }
}

TEST_P(PimNote, APartlyFiledNoteFiledAgainFilesOnlyWhatWasRefused)
{
    CPimActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "lunch tomorrow 12:30");
    if (!Checked(ToDoPane(note)))
        Click(ToDoPane(note));
    if (!Checked(CalPane(note)))
        Click(CalPane(note));
    g_door.refuseType = GODWIT_TYPE_CALENDAR;
    g_door.refusals = 1;
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    Command(note, ID_DEST_FILE);
    ASSERT_TRUE(IsOpen(note));
    ASSERT_EQ(1u, g_door.filed.size());
    EXPECT_EQ(GODWIT_TYPE_TODO, g_door.filed[0].type);

    Command(note, ID_DEST_FILE);
    ASSERT_EQ(2u, g_door.filed.size()) << "the to-do is not filed twice";
    EXPECT_EQ(GODWIT_TYPE_CALENDAR, g_door.filed[1].type & GODWIT_TYPE_CALENDAR);
    ASSERT_EQ(1u, g_notes.confirmed.size());
    const std::vector<std::string> lines = {Message(ToDoLine(GetParam())), Message(IDS_PIM_FILED_CALENDAR)};
    EXPECT_EQ(lines, g_notes.confirmed[0]);
    EXPECT_FALSE(IsOpen(note));
}

TEST_P(PimNote, WithSaveThenNewAFiledNoteMakesWayForAnEmptyOne)
{
    prefs->m_dwSaveThenNew = 1;
    CPimActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "water the plants");
    Command(note, ID_DEST_FILE);
    ASSERT_EQ(1u, g_door.filed.size());
    EXPECT_FALSE(IsOpen(note));
    ASSERT_EQ(1, OpenCount());
    CActionNote* fresh = app.GetCurrentNote();
    ASSERT_NE(nullptr, fresh);
    EXPECT_EQ("", Text(fresh));
    EXPECT_TRUE(fresh->GetNoteWnd()->IsWindowVisible());
}

TEST_P(PimNote, TheDestinationWindowStacksThePanesTheFeaturesAllowAboveItsBottomRow)
{
    struct Row {
        std::set<int> features;
        std::vector<int> panes[3];  // Notes, Palm, Outlook, top to bottom
    } rows[] = {
        {{}, {{507, 510, 514}, {503, 504, 514}, {525, 519, 514}}},
        {{3, 11}, {{507, 510, 505, 509, 514}, {503, 504, 502, 514, 509}, {525, 519, 514}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.features.size());
        RunRow([&] {
            g_door.extraFeatures = row.features;
            CPimActionNote* note = Open();
            ASSERT_NE(nullptr, note);
            CPimDestWnd* dest = DestWnd(note);
            int bottom = 0;
            std::vector<int> found;
            std::vector<std::pair<int, int>> places;
            for (CWnd* child = dest->GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT)) {
                if (dest->FindPane(child->GetDlgCtrlID()) != child)
                    continue;
                CRect rect;
                child->GetWindowRect(rect);
                dest->ScreenToClient(rect);
                places.emplace_back(rect.top, child->GetDlgCtrlID());
                bottom = std::max(bottom, static_cast<int>(rect.bottom));
            }
            std::sort(places.begin(), places.end());
            for (const auto& place : places)
                found.push_back(place.second);
            EXPECT_EQ(row.panes[GetParam()], found);
            CRect file;
            dest->GetFileButton()->GetWindowRect(file);
            dest->ScreenToClient(file);
            EXPECT_GE(file.top, bottom) << "the bottom row covers a pane";

            // Closing takes the panes down, whatever the features made.
            note->GetNoteWnd()->SendMessage(WM_CLOSE);
            PumpPending();
            EXPECT_FALSE(IsOpen(note));
        });
    }
}

TEST_P(PimNote, WebActionsInForceUntickTheToDoAndCalendarAndTheNoteClosesWithoutAQuestion)
{
    SetActivePim();
    CPimActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    EXPECT_TRUE(note->HasEnabledDestination()) << "nothing ticked";
    Type(note, "lunch tomorrow 12:30");
    if (!Checked(ToDoPane(note)))
        Click(ToDoPane(note));
    ASSERT_TRUE(Checked(CalPane(note)));
    Click(&DestWnd(note)->GetWebActionsPane());
    EXPECT_TRUE(note->HasEnabledDestination()) << "the to-do and calendar are ticked beside the web actions";

    // What the web actions pane does once an action is chosen.
    note->EnablePimDestinations(FALSE);
    EXPECT_FALSE(Checked(ToDoPane(note)));
    EXPECT_FALSE(Checked(CalPane(note)));
    EXPECT_FALSE(note->HasEnabledDestination());
    Type(note, "lunch friday 13:00");
    EXPECT_FALSE(Checked(CalPane(note))) << "parsing no longer ticks the calendar";

    CPromptScript prompts;
    Command(note, ID_DEST_CLOSE_NOTE);
    EXPECT_EQ(0u, prompts.Asked().size());
    EXPECT_FALSE(IsOpen(note));
    EXPECT_TRUE(g_door.filed.empty());
}

TEST_P(PimNote, AWebActionSentBeforeARefusedToDoIsNotSentAgain)
{
    CPimActionNote* note = OpenWithWebAction();
    ASSERT_NE(nullptr, note);
    ASSERT_TRUE(note->GetWebActionsDestination()->HasSelectedActions());
    Click(ToDoPane(note));
    ASSERT_TRUE(Checked(ToDoPane(note)));
    // Every edition announces an action that was kept for later.
    g_door.webResult = 2;
    g_door.refuseType = GODWIT_TYPE_TODO;
    g_door.refusals = 1;
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    prompts.AnswerNext(IDOK);
    Command(note, ID_DEST_FILE_AND_SEND);
    EXPECT_EQ(1, g_door.webActions);
    ASSERT_TRUE(IsOpen(note));
    const std::vector<std::string> asked = {Message(IDS_PIM_WEB_ACTION_LATER), Message(IDS_RECORD_REFUSED)};
    EXPECT_EQ(asked, Texts(prompts));

    Command(note, ID_DEST_FILE_AND_SEND);
    EXPECT_EQ(1, g_door.webActions) << "the web action is not sent twice";
    EXPECT_EQ(asked.size(), prompts.Asked().size()) << "nor announced twice";
    EXPECT_EQ(0, prompts.Unexpected());
    ASSERT_EQ(1u, g_door.filed.size());
    EXPECT_EQ("whales", g_door.filed[0].body.substr(g_door.filed[0].body.size() - 6));
    EXPECT_FALSE(IsOpen(note));
}

TEST_P(PimNote, AWebActionNoBrowserTookKeepsTheNoteOpenWithAMessage)
{
    CPimActionNote* note = OpenWithWebAction();
    ASSERT_NE(nullptr, note);
    g_door.webResult = CWebActionHandler::submitFailed;
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    Command(note, ID_DEST_FILE_AND_SEND);
    EXPECT_EQ(1, g_door.webActions);
    ASSERT_TRUE(IsOpen(note));
    EXPECT_EQ(std::vector<std::string>{Message(IDS_WEB_ENTRY_FAILED)}, Texts(prompts));

    // Filing again sends the action again.
    g_door.webResult = CWebActionHandler::submitRun;
    Command(note, ID_DEST_FILE_AND_SEND);
    EXPECT_EQ(2, g_door.webActions);
    EXPECT_EQ(1u, prompts.Asked().size());
    EXPECT_EQ(0, prompts.Unexpected());
    EXPECT_TRUE(g_door.filed.empty());
    EXPECT_FALSE(IsOpen(note));
}

// Every close the user asks for asks about a typed note; the program's own
// close and an empty note's close ask nothing.
TEST_P(PimNote, EveryCloseTheUserAsksForAsksAboutATypedNote)
{
    using app_test::CloseBy;
    struct Row {
        CloseBy way;
        const char* text;
        int answer;
        bool asks;
        size_t filed;
        bool open;
    } rows[] = {
        {CloseBy::button, "", 0, false, 0, false},
        {CloseBy::button, "call Bob", IDCANCEL, true, 0, true},
        {CloseBy::button, "call Bob", IDNO, true, 0, false},
        {CloseBy::button, "call Bob", IDYES, true, 1, false},
        {CloseBy::systemMenu, "", 0, false, 0, false},
        {CloseBy::systemMenu, "call Bob", IDCANCEL, true, 0, true},
        {CloseBy::systemMenu, "call Bob", IDNO, true, 0, false},
        {CloseBy::altF4InText, "call Bob", IDCANCEL, true, 0, true},
        {CloseBy::altF4InText, "call Bob", IDYES, true, 1, false},
        {CloseBy::altF4InDestWnd, "call Bob", IDCANCEL, true, 0, true},
        {CloseBy::altF4InDestWnd, "call Bob", IDNO, true, 0, false},
        {CloseBy::program, "call Bob", 0, false, 0, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(app_test::CloseName(row.way)) + " '" + row.text + "' " + std::to_string(row.answer));
        RunRow([&] {
            g_door = DoorScript();
            CPimActionNote* note = Open();
            ASSERT_NE(nullptr, note);
            Type(note, row.text);
            app_test::CloseNoteAnswering(note, row.way, row.answer, row.asks);
            EXPECT_EQ(row.filed, g_door.filed.size());
            EXPECT_EQ(row.open, IsOpen(note));
            if (IsOpen(note)) {
                EXPECT_EQ(row.text, Text(note)) << "the note is kept as it was";
                EXPECT_TRUE(DestWnd(note)->IsWindowEnabled()) << "enabled again after the question";
                EXPECT_TRUE(DestWnd(note)->IsWindowVisible()) << "the destination window stays with its note";
                note->DestroyNoteWnd();
            }
        });
    }
}

INSTANTIATE_TEST_SUITE_P(Editions, PimNote, ::testing::Values(pimNotes, pimPalm, pimOutlook),
                         [](const ::testing::TestParamInfo<PimEdition>& info) { return EditionName(info.param); });

TEST_F(NotesNote, EmptyAndOverlongNotesAreFiledOnlyWhenTheUserSaysSo)
{
    const std::string longest(CPimNoteWnd::MAX_QUIET_TEXT, 'x');
    struct Row {
        std::string text;
        std::vector<int> answers;
        std::vector<UINT> asked;
        size_t filed;
        bool open;
    } rows[] = {
        {"", {IDCANCEL}, {IDS_PIM_FILE_EMPTY_NOTE}, 0, true},
        {"", {IDNO}, {IDS_PIM_FILE_EMPTY_NOTE}, 0, false},
        {"", {IDYES, IDNO}, {IDS_PIM_FILE_EMPTY_NOTE, IDS_PIM_FILE_EMPTY_NOTE}, 0, false},
        {"", {IDYES, IDYES}, {IDS_PIM_FILE_EMPTY_NOTE, IDS_PIM_FILE_EMPTY_NOTE}, 1, false},
        {longest, {}, {}, 1, false},
        {longest + "x", {IDYES}, {IDS_PIM_LONG_NOTE}, 0, true},
        {longest + "x", {IDNO}, {IDS_PIM_LONG_NOTE}, 1, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.text.size()) + " characters, answers " + std::to_string(row.answers.size()));
        RunRow([&] {
            g_door = DoorScript();
            CPimActionNote* note = Open();
            ASSERT_NE(nullptr, note);
            Type(note, row.text);
            CPromptScript prompts;
            for (int answer : row.answers)
                prompts.AnswerNext(answer);
            Command(note, ID_DEST_FILE);
            std::vector<std::string> asked;
            for (UINT id : row.asked)
                asked.push_back(Message(id));
            EXPECT_EQ(asked, Texts(prompts));
            EXPECT_EQ(0, prompts.Unexpected());
            EXPECT_EQ(row.filed, g_door.filed.size());
            EXPECT_EQ(row.open, IsOpen(note));
            if (IsOpen(note)) {
                EXPECT_EQ(row.text, Text(note)) << "the note is kept as it was";
                note->DestroyNoteWnd();
            }
        });
    }
}

TEST_F(NotesNote, AFiledNoteIsNotTouchedOnceItHasEnded)
{
    app.poisoned = true;
    CPimActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "water the plants");
    Command(note, ID_DEST_FILE);
    ASSERT_EQ(1u, g_door.filed.size());
    ASSERT_EQ(1, g_notes.deleted);
    EXPECT_TRUE(PoisonIntact()) << "the note's memory was written after it was deleted";
    ::operator delete(g_poisoned);
    g_poisoned = nullptr;
}

TEST_F(NotesNote, HelpFromTheDestinationWindowOpensTheHelpFile)
{
    CPimActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    DestWnd(note)->SendMessage(WM_COMMAND, ID_DEST_HELP);
    PumpPending();
    const std::vector<std::pair<DWORD, UINT>> help = {{26, HELP_FORCEFILE}};
    EXPECT_EQ(help, tray->help);
    note->DestroyNoteWnd();
}

TEST_F(NotesNote, OnlyARecordThatIsNothingYetIsMarkedAsAToDo)
{
    CPimActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    struct Row {
        long before, after;  // the record's Type
    } rows[] = {{0, GODWIT_TYPE_TODO}, {GODWIT_TYPE_CALENDAR, GODWIT_TYPE_CALENDAR},
                {GODWIT_TYPE_JOURNAL, GODWIT_TYPE_JOURNAL}};
    for (const Row& row : rows) {
        CGodwitWrapper record;
        if (row.before)
            record.AddTypeBit(row.before);
        note->MarkRecordAsToDo(note, &record);
        EXPECT_EQ(row.after, record.GetType()) << row.before;
    }
    note->DestroyNoteWnd();
}

TEST_F(NotesNote, EveryContactOfTheItemDatabaseBecomesARecentContactInNameOrder)
{
    QuiItemType* contacts = store->GetItemType(PIM_CONTACT_TYPE);
    ASSERT_NE(nullptr, contacts);
    const char* const names[] = {"Zoe Ward", "Ann Lee", "Bob Cho"};
    for (const char* name : names) {
        QuiItem* item = contacts->newItem(QuiItemID(name));
        item->setDisplayName(name);
        ASSERT_TRUE(store->GetItemList()->add(item));
    }
    CPimActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    note->LinkAllContacts();
    std::vector<std::string> linked;
    for (const Quillmate::CContactLink& link : note->GetContactLinks())
        linked.push_back(link.GetName().GetString());
    EXPECT_EQ((std::vector<std::string>{"Ann Lee", "Bob Cho", "Zoe Ward"}), linked) << "no category among them";
    note->DestroyNoteWnd();
}

// The marks are looks, not edits: Ctrl+Z takes back the last typing at once,
// the parse follows it, and redrawing the marks leaves Ctrl+Y its step.
TEST_F(NotesNote, UndoTakesBackTheLastTypingAndTheParseFollows)
{
    using noteday_test::DayText;
    using noteday_test::MarkedPhrases;
    CPimActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    auto* toDo = dynamic_cast<CPimToDoPane*>(DestWnd(note)->GetToDoPane());
    ASSERT_NE(nullptr, toDo);
    const HWND edit = note->GetNoteWnd()->GetNoteBox()->GetEditWindow();
    auto type = [&](const char* text) {
        for (const char* c = text; *c; ++c)
            ::PostMessage(edit, WM_CHAR, static_cast<unsigned char>(*c), 1);
        PumpPending();
    };
    auto pressWithControl = [&](char key) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        BYTE withControl[256];
        std::memcpy(withControl, keys, sizeof keys);
        withControl[VK_CONTROL] = 0x80;
        ::SetKeyboardState(withControl);
        ::SendMessage(edit, WM_KEYDOWN, static_cast<WPARAM>(key), 1);
        ::SetKeyboardState(keys);
        PumpPending();
    };
    type("call the bank");
    ::SendMessage(edit, EM_STOPGROUPTYPING, 0, 0);
    type(" tomorrow");
    EXPECT_EQ(std::set<std::string>{"tomorrow"}, MarkedPhrases(note));
    EXPECT_EQ(DayText(1), toDo->GetDueField().GetText().GetString());

    pressWithControl('Z');
    EXPECT_EQ("call the bank", Text(note));
    EXPECT_TRUE(MarkedPhrases(note).empty());
    EXPECT_TRUE(toDo->GetDueField().GetText().IsEmpty()) << "the due date went with its phrase";

    pressWithControl('Y');
    EXPECT_EQ("call the bank tomorrow", Text(note));
    EXPECT_EQ(std::set<std::string>{"tomorrow"}, MarkedPhrases(note));
    note->DestroyNoteWnd();
}

TEST(PimEditionRows, EachEditionMakesItsOwnNoteAndNoteWindow)
{
    QuiRegisterPimEditions();
    struct Row {
        int edition;
        bool (*isNote)(CActionNote*);
        bool (*isWnd)(CNoteWnd*);
    } rows[] = {
        {CDatastore::typeNotes, [](CActionNote* n) { return dynamic_cast<COzuActionNote*>(n) != nullptr; },
         [](CNoteWnd* w) { return dynamic_cast<COzuNoteWnd*>(w) != nullptr; }},
        {CDatastore::typePalm, [](CActionNote* n) { return dynamic_cast<CIbeActionNote*>(n) != nullptr; },
         [](CNoteWnd* w) { return dynamic_cast<CIbeNoteWnd*>(w) != nullptr; }},
        {CDatastore::typeOutlook, [](CActionNote* n) { return dynamic_cast<CRukActionNote*>(n) != nullptr; },
         [](CNoteWnd* w) { return dynamic_cast<CRukNoteWnd*>(w) != nullptr; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.edition);
        [&] {
            const QuiEdition* edition = QuiFindEdition(row.edition);
            ASSERT_NE(nullptr, edition);
            CActionNote* note = edition->pfnCreateNote();
            ASSERT_NE(nullptr, note);
            EXPECT_TRUE(row.isNote(note));
            EXPECT_TRUE(row.isWnd(note->GetNoteWnd()));
            delete note;
        }();
    }
    for (int edition : {CDatastore::typeNotes, CDatastore::typePalm, CDatastore::typeOutlook})
        QuiRegisterEdition(edition, nullptr);
}

} // namespace
