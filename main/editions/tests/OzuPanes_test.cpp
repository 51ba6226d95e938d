// The Lotus Notes edition's panes in a note window over the Notes stand-in,
// the real Heron and the real parser manager with the date package: typed
// notes fill the to-do, calendar and journal panes, and the records their
// destinations fill land in the stand-in's mail file.
#include "PimPaneTestSupport.h"

#include <cstring>

#include "NotesStandInFixture.h"
#include "OzuDatastore.h"
#include "QuiResIds.h"

using namespace pimpane_test;
using pim_test::FailureOf;

namespace {

const char kMail[] =
    "[note 1]\r\n$Title=To do\r\n$NoteClass=4\r\n$Fields=Subject\r\n$Fields=Categories\r\n"
    "$ChoicesOption.Categories=1\r\n$ChoicesFormula.Categories=\"Business\" : \"Personal\"\r\n"
    "[note 2]\r\n$Title=CalendarProfile\r\n$NoteClass=4\r\n$Default.Owner=CN=Ann Lee/OU=Sales/O=Acme\r\n"
    "[note 3]\r\n$ProfileName=CalendarProfile\r\nOwner=CN=Ann Lee/OU=Sales/O=Acme\r\n"
    "CalEntryType(number)=0\r\nDefaultDuration(number)=60\r\n";

// The contact's key: its address book and note.
const char kAnn[] = "Local##names.nsf##20";

class NotesPanes : public PanesFixture {
protected:
    NotesPanes() : PanesFixture(pimNotes) {}

    CPimDatastore* MakeDatastore() override
    {
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail\\alee.nsf", kMail);
        // The user's address book: the location and the one contact.
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\names.nsf",
                                       "[note 8]\r\nForm=Location\r\nName=Office\r\nMailType=1\r\n"
                                       "MailFile=mail\\alee.nsf\r\n"
                                       "[note 20]\r\nForm=Person\r\nMailAddress=ann@acme.test\r\n");
        return new COzuDatastore;
    }
    void AddItems() override
    {
        AddItem(PIM_JOURNAL_TYPE, "Travel", "Travel,Travel");
        AddItem(PIM_CONTACT_TYPE, kAnn, (std::string(kAnn) + ",Ann,Lee,Acme,ann@acme.test,,,,,,,,,").c_str());
    }
    void TearDown() override
    {
        PanesFixture::TearDown();
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quillmate\\Heron");
    }
    std::vector<std::string> Dump() { return m_notes.Dump("mail\\alee.nsf"); }

    NotesStandInTesting::Installation m_notes;
};

TEST_F(NotesPanes, CallTheBankTomorrowFilesATaskDueTomorrow)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimToDoPane& toDo = *note->Wnd()->toDo;
    Type(note, "call the bank tomorrow");
    const DATE tomorrow = Today() + 1.0;
    EXPECT_EQ(DateText(tomorrow), Text(toDo.GetDueField()));
    EXPECT_TRUE(Checked(&toDo)) << "a parsed due date ticks the to-do";
    CString body;
    toDo.GetToDoDestination()->GetBodyText(body);
    EXPECT_STREQ("call the bank", body);

    CGodwitWrapper record;
    toDo.GetToDoDestination()->fileItem(&record);
    EXPECT_EQ(GODWIT_TYPE_TODO, record.GetType());
    EXPECT_EQ(tomorrow, record.GetDueDate());
    EXPECT_EQ(0.0, record.GetStartDate());
    EXPECT_EQ(2, record.GetPriority());
    EXPECT_EQ("", Names(record.GetTaskCategory())) << "no category: an empty list";
    store->FileRecord(record.m_lpDispatch);
    const std::vector<std::string> dump = Dump();
    EXPECT_TRUE(pim_test::AnyLineHas(dump, "Form=Task"));
    EXPECT_TRUE(pim_test::AnyLineHas(dump, "=call the bank"));
    EXPECT_FALSE(pim_test::AnyLineHas(dump, "tomorrow"));
    EXPECT_TRUE(pim_test::AnyLineHas(dump, "DueDateTime=" + pim_test::DateText(tomorrow)));

    // A second due phrase while the first fills the field changes nothing.
    std::unique_ptr<QuiPrsItemRole> second(DateRole(5, tomorrow + 3.0));
    toDo.GetToDoDestination()->OnParseResult1(second.get(), 1, 0x2000, nullptr);
    EXPECT_EQ(DateText(tomorrow), Text(toDo.GetDueField()));
    EXPECT_EQ(1u, note->GetKeyphrases().size());
}

TEST_F(NotesPanes, BusinessLunchMondayTicksTheCategoryAndATimedEntry)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimToDoPane& toDo = *note->Wnd()->toDo;
    CPimCalPane& cal = *note->Wnd()->cal;
    Type(note, "Business lunch Monday 12:30");

    CStringArray ids;
    toDo.GetCategoryField().GetItemIDs(ids);
    ASSERT_EQ(1, ids.GetSize());
    EXPECT_TRUE(Checked(&toDo)) << "a category ticks the to-do at once";
    EXPECT_TRUE(Checked(&cal));
    EXPECT_EQ(static_cast<UINT>(KIND_TIMED), cal.GetKind());
    DATE day = -1.0;
    cal.GetDateField().GetDate(&day);
    ASSERT_GT(day, 0.0) << Text(cal.GetDateField());
    EXPECT_EQ(2, COleDateTime(day).GetDayOfWeek());
    EXPECT_GE(day, Today());
    EXPECT_LE(day, Today() + 7.0);
    EXPECT_EQ(TimeText(12, 30), Text(cal.GetStartField()));
    EXPECT_EQ(TimeText(13, 30), Text(cal.GetEndField())) << "the profile's default length";
    CString body;
    cal.GetCalDestination()->GetBodyText(body);
    EXPECT_STREQ("Business lunch", body) << "the category phrase stays, the date goes once";
    EXPECT_EQ(3u, note->GetKeyphrases().size()) << "the category, the day and the time are marked";
    Type(note, "a Business lunch Monday 12:30");
    EXPECT_EQ(3u, note->GetKeyphrases().size()) << "moved, each is still marked";

    CGodwitWrapper record;
    cal.GetCalDestination()->fileItem(&record);
    EXPECT_EQ(GODWIT_TYPE_CALENDAR, record.GetType());
    EXPECT_EQ(0x100, record.GetSubType());
    EXPECT_NEAR(day + 12.5 / 24.0, record.GetStartDate(), 1e-6);
    EXPECT_NEAR(day + 13.5 / 24.0, record.GetEndDate(), 1e-6);
    CGodwitWrapper task;
    toDo.GetToDoDestination()->fileItem(&task);
    EXPECT_EQ("Business", Names(task.GetTaskCategory()));

    store->FileRecord(task.m_lpDispatch);
    store->FileRecord(record.m_lpDispatch);
    const std::vector<std::string> dump = Dump();
    EXPECT_TRUE(pim_test::AnyLineHas(dump, "Form=Appointment"));
    EXPECT_TRUE(pim_test::AnyLineHas(dump, pim_test::DateText(day) + " 12:30"));
    EXPECT_TRUE(pim_test::AnyLineHas(dump, "Business"));
}

TEST_F(NotesPanes, EachKindFilesItsSubTypeBitAndTimes)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimCalPane& cal = *note->Wnd()->cal;
    const DATE day = Today() + 2.0;
    const double h = 1.0 / 24.0;
    struct Row {
        UINT kind;
        double start, end;  // hours, -1 for none
        const char* days;
        long subType;
        double first, last;  // hours after the day's midnight
        long failure;
    } rows[] = {
        {KIND_TIMED, 9, 10.5, "", 0x100, 9, 10.5, -1},
        {KIND_TIMED, -1, -1, "", 0x400, 0, 0, -1},
        {KIND_TIMED, 22.5, -1, "", 0x100, 22.5, 23.5, -1},
        {KIND_TIMED, 23.25, -1, "", 0x100, 23.25, 23.25, -1},
        {KIND_TIMED, 10, 9, "", 0x100, 0, 0, IDS_WEBCAL_BAD_END},
        {KIND_DAYS, -1, -1, "3", 0x400, 0, 72, -1},
        {KIND_AT, 9, -1, "", 0x1000, 9, 9, -1},
        {KIND_AT, -1, -1, "", 0x400, 0, 0, -1},
        {KIND_DATE, 9, 10, "", 0x200, 0, 0, -1},
        {KIND_LIKE_TODO, -1, -1, "", 0x100, 0, 0, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.kind << " " << row.start << "-" << row.end);
        cal.GetDateField().SetDate(day);
        cal.GetStartField().SetTime(row.start < 0 ? -1.0 : row.start * h);
        cal.GetEndField().SetTime(row.end < 0 ? -1.0 : row.end * h);
        cal.GetDaysField().SetText(row.days);
        cal.SetKind(row.kind);
        CGodwitWrapper record;
        pim_test::Failure failure = FailureOf([&] { cal.GetCalDestination()->fileItem(&record); });
        EXPECT_EQ(row.failure, failure.id);
        if (row.failure != -1)
            continue;
        EXPECT_EQ(row.subType, record.GetSubType());
        EXPECT_NEAR(day + row.first * h, record.GetStartDate(), 1e-6);
        EXPECT_NEAR(day + row.last * h, record.GetEndDate(), 1e-6);
    }
}

TEST_F(NotesPanes, ATimeWithoutADateIsFiledForToday)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimCalPane& cal = *note->Wnd()->cal;
    cal.GetDateField().SetText("");
    cal.GetStartField().SetTime(9.0 / 24.0);
    CGodwitWrapper record;
    cal.GetCalDestination()->fileItem(&record);
    EXPECT_NEAR(Today() + 9.0 / 24.0, record.GetStartDate(), 1e-6);
    // Neither a date nor a time: no usable date.
    cal.GetStartField().SetText("");
    cal.GetEndField().SetText("");
    CGodwitWrapper none;
    EXPECT_EQ(IDS_PIM_NO_DATE, FailureOf([&] { cal.GetCalDestination()->fileItem(&none); }).id);
}

TEST_F(NotesPanes, KeyphraseDatesOutsideTheRangeAreRefusedAtFiling)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimToDoPane& toDo = *note->Wnd()->toDo;
    CPimCalPane& cal = *note->Wnd()->cal;
    struct Row {
        COleDateTime moment;
        bool fills;
    } rows[] = {
        {COleDateTime(1969, 12, 31, 12, 0, 0), false},
        {COleDateTime(1970, 1, 1, 0, 0, 0), true},
        {COleDateTime(2031, 12, 31, 0, 0, 0), true},
        {COleDateTime(2031, 12, 31, 12, 0, 0), false},
        {COleDateTime(2032, 1, 1, 0, 0, 0), false},
    };
    int id = 0x3000;
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.moment.m_dt);
        struct Field {
            int tag;
            CDestination* dest;
            CDateDropProp* prop;
            CDateDrop* field;
            std::function<void(CGodwitWrapper*)> file;
        } fields[] = {
            {5, toDo.GetDestination(), toDo.GetToDoDestination()->GetDueProp(), &toDo.GetDueField(),
             [&](CGodwitWrapper* r) { toDo.GetToDoDestination()->fileItem(r); }},
            {1, cal.GetDestination(), cal.GetCalDestination()->GetDateProp(), &cal.GetDateField(),
             [&](CGodwitWrapper* r) { cal.GetCalDestination()->fileItem(r); }},
        };
        for (Field& field : fields) {
            COleVariant empty;
            empty.vt = VT_NULL;
            field.prop->SetValue(empty);
            std::unique_ptr<QuiPrsItemRole> role(DateRole(field.tag, row.moment.m_dt));
            field.dest->OnParseResult1(role.get(), 1, ++id, nullptr);
            EXPECT_EQ(id, field.prop->GetKeyphraseId()) << field.tag;
            // The phrase is no real one: nothing may cut it from the text.
            note->RemoveKeyphrase(KeyphraseOf(id));
            field.prop->SetKeyphraseId(0);
            CGodwitWrapper record;
            const long failure = FailureOf([&] { field.file(&record); }).id;
            if (row.fills) {
                EXPECT_EQ(DateText(std::floor(row.moment.m_dt)), Text(*field.field)) << field.tag;
                EXPECT_EQ(-1, failure) << field.tag;
            } else {
                EXPECT_EQ("", Text(*field.field)) << field.tag;
                EXPECT_EQ(IDS_PIM_DATE_OUT_OF_RANGE, failure) << field.tag;
            }
        }
    }
    for (QuiPrsKeyphrase* kp : std::list<QuiPrsKeyphrase*>(note->GetKeyphrases()))
        note->RemoveKeyphrase(kp);
}

TEST_F(NotesPanes, AnEndDateBeforeAnyDateCountsFromTheDateOnceItComes)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimCalPane& cal = *note->Wnd()->cal;
    CPimCalDestination* dest = cal.GetCalDestination();
    const DATE day = Today() + 5.0;
    struct Row {
        const char* dateText;  // what the date field holds when the end comes
    } rows[] = {{""}, {"no date at all"}};
    int id = 0x4000;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.dateText);
        cal.GetDateField().SetText(row.dateText);
        cal.GetDaysField().SetText("");
        std::unique_ptr<QuiPrsItemRole> end(DateRole(2, day + 2.0));
        const int endId = ++id;
        dest->OnParseResult1(end.get(), 1, endId, nullptr);
        EXPECT_EQ("", Text(cal.GetDaysField())) << "no days counted from an empty or unreadable date";
        cal.GetDateField().SetText("");
        std::unique_ptr<QuiPrsItemRole> start(DateRole(1, day));
        const int startId = ++id;
        dest->OnParseResult1(start.get(), 1, startId, nullptr);
        EXPECT_EQ("3", Text(cal.GetDaysField()));
        dest->OnParseDone();
        EXPECT_EQ(static_cast<UINT>(KIND_DAYS), cal.GetKind());
        dest->OnParseResult2(end.get(), 2, endId, nullptr);
        dest->OnParseResult2(start.get(), 2, startId, nullptr);
        EXPECT_EQ("1", Text(cal.GetDaysField()));
    }
    for (QuiPrsKeyphrase* kp : std::list<QuiPrsKeyphrase*>(note->GetKeyphrases()))
        note->RemoveKeyphrase(kp);
}

TEST_F(NotesPanes, AStartTypedLateInTheDayEndsAtMidnightNotEarlier)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimCalPane& cal = *note->Wnd()->cal;
    struct Row {
        int hour, minute;
        std::string end;
    } rows[] = {{9, 0, TimeText(10, 0)}, {22, 59, TimeText(23, 59)}, {23, 30, TimeText(23, 59)}};
    for (const Row& row : rows) {
        cal.GetEndField().SetText("");
        cal.GetStartField().SetTime((row.hour + row.minute / 60.0) / 24.0);
        EXPECT_EQ(row.end, Text(cal.GetEndField())) << row.hour << ":" << row.minute;
    }
    EXPECT_TRUE(Checked(&cal)) << "a start typed into the pane ticks it";
    // Kind 7003 never moves the end.
    cal.SetKind(KIND_AT);
    cal.GetEndField().SetText("");
    cal.GetStartField().SetTime(9.0 / 24.0);
    EXPECT_EQ("", Text(cal.GetEndField()));
}

TEST_F(NotesPanes, TickingTheWebActionsKeepsWhatTheUserTyped)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimCalPane& cal = *note->Wnd()->cal;
    CPimToDoPane& toDo = *note->Wnd()->toDo;
    Click(&cal);
    Click(&toDo);
    cal.GetStartField().SetTime(9.0 / 24.0);
    toDo.GetDueField().SetDate(Today() + 1.0);
    note->EnablePimDestinations(FALSE);
    EXPECT_FALSE(Checked(&cal));
    EXPECT_FALSE(Checked(&toDo));
    EXPECT_EQ(TimeText(9, 0), Text(cal.GetStartField()));
    EXPECT_EQ(DateText(Today() + 1.0), Text(toDo.GetDueField()));
}

TEST_F(NotesPanes, UntickingByTheUserForgetsTheKeyphrasesOfTheFields)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimCalPane& cal = *note->Wnd()->cal;
    CPimToDoPane& toDo = *note->Wnd()->toDo;
    Type(note, "lunch monday 12:30 tomorrow");
    ASSERT_TRUE(Checked(&cal));
    ASSERT_TRUE(Checked(&toDo));
    Click(&cal);
    Click(&toDo);
    EXPECT_EQ("", Text(cal.GetStartField()));
    EXPECT_EQ("", Text(cal.GetDateField()));
    EXPECT_EQ("", Text(toDo.GetDueField()));
    EXPECT_EQ(0, cal.GetCalDestination()->GetStartProp()->GetKeyphraseId());
    EXPECT_EQ(0, toDo.GetToDoDestination()->GetDueProp()->GetKeyphraseId());
    EXPECT_TRUE(note->GetKeyphrases().empty());
    // Ticked again, they take the note as it stands: the first day for both,
    // the time for the calendar.
    Click(&cal);
    Click(&toDo);
    EXPECT_EQ(Text(toDo.GetDueField()), Text(cal.GetDateField()));
    EXPECT_NE("", Text(cal.GetDateField()));
    EXPECT_NE("", Text(cal.GetStartField()));
    CString body;
    cal.GetCalDestination()->GetBodyText(body);
    EXPECT_STREQ("lunch tomorrow", body);
    toDo.GetToDoDestination()->GetBodyText(body);
    EXPECT_STREQ("lunch 12:30 tomorrow", body);
    EXPECT_EQ(2u, note->GetKeyphrases().size());
}

TEST_F(NotesPanes, AJournalFolderPhraseTicksThePaneAndFilesIntoTheFolder)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimJournalPane& journal = *note->Wnd()->journal;
    EXPECT_FALSE(Checked(&journal));
    Type(note, "notes about the trip Travel");
    EXPECT_TRUE(Checked(&journal));
    CStringArray ids;
    journal.GetFolderField().GetItemIDs(ids);
    ASSERT_EQ(1, ids.GetSize());
    EXPECT_STREQ("Travel", ids[0]);
    CGodwitWrapper record;
    journal.GetJournalDestination()->fileItem(&record);
    EXPECT_EQ(GODWIT_TYPE_JOURNAL, record.GetType());
    EXPECT_EQ("Travel", Names(record.GetJournalCategory()));
    // The journal database the back end files into.
    NotesStandInTesting::WriteFile(m_notes.Folder() + "\\journal.nsf", "");
    pim_test::Failure failure = FailureOf([&] { store->FileRecord(record.m_lpDispatch); });
    EXPECT_EQ(-1, failure.id) << failure.text;
    EXPECT_TRUE(pim_test::AnyLineHas(m_notes.Dump("journal.nsf"), "Subject=notes about the trip Travel"));
    // The phrase gone, the folder and the tick go with it.
    Type(note, "notes about the trip");
    journal.GetFolderField().GetItemIDs(ids);
    EXPECT_EQ(0, ids.GetSize());
    EXPECT_FALSE(Checked(&journal));
}

TEST_F(NotesPanes, MailGoesToTheFirstFieldsContactsWhileThePaneIsTicked)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimEmailPane& email = *note->Wnd()->email;
    email.GetToField().SetText("Lee, Ann");
    email.GetCcField().SetText("Lee, Ann");
    CGodwitWrapper unticked;
    email.GetEmailDestination()->fileItem(&unticked);
    EXPECT_EQ(0, unticked.GetType()) << "an unticked pane leaves the record alone";
    Click(&email);
    CGodwitWrapper record;
    email.GetEmailDestination()->fileItem(&record);
    EXPECT_EQ(GODWIT_TYPE_MEMO, record.GetType());
    EXPECT_EQ(kAnn, Names(record.GetRecipients()));
    store->FileRecord(record.m_lpDispatch);
    EXPECT_TRUE(pim_test::AnyLineHas(Dump(), "Form=Memo"));
    EXPECT_TRUE(pim_test::AnyLineHas(Dump(), "SendTo=ann@acme.test"));
    email.GetToField().SetText("");
    CGodwitWrapper empty;
    email.GetEmailDestination()->fileItem(&empty);
    EXPECT_EQ("", Names(empty.GetRecipients()));
}

// The check button's caption, the tip the note window gives for it, and the
// menu button's items, as the user sees them.
struct PaneFace {
    std::string caption, tip;
    std::vector<UINT> items;
};

PaneFace FaceOf(CNoteWnd* noteWnd, CDestPane* pane)
{
    PaneFace face;
    CWnd* check = pane->GetCheckButton();
    char text[256] = "";
    ::GetWindowTextA(*check, text, sizeof text);
    face.caption = text;
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = *check;
    info.hdr.idFrom = reinterpret_cast<UINT_PTR>(check->GetSafeHwnd());
    info.hdr.code = TTN_NEEDTEXTA;
    info.uFlags = TTF_IDISHWND;
    noteWnd->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    face.tip = info.lpszText ? info.lpszText : "";
    if (CMenu* popup = pane->GetMenuButton()->GetPopupMenu()) {
        for (int i = 0; i < popup->GetMenuItemCount(); i++)
            face.items.push_back(popup->GetMenuItemID(i));
    }
    return face;
}

// The Notes panes share their control ids with the web panes, not their
// captions, tips and menus.
TEST_F(NotesPanes, TheToDoAndCalendarShowTheNotesCaptionsTipsAndKinds)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    struct Row {
        CDestPane* pane;
        const char* caption;
        const char* tip;
        std::vector<UINT> items;
    } rows[] = {
        {note->Wnd()->toDo.get(), "To Do", "File the note as a to-do in Lotus Notes", {7100}},
        {note->Wnd()->cal.get(), "Calendar", "File the note as a calendar entry in Lotus Notes",
         {KIND_TIMED, KIND_DAYS, KIND_AT, KIND_DATE, KIND_LIKE_TODO}},
    };
    for (const Row& row : rows) {
        PaneFace face = FaceOf(note->GetNoteWnd(), row.pane);
        EXPECT_EQ(row.caption, face.caption) << row.pane->GetDlgCtrlID();
        EXPECT_EQ(row.tip, face.tip) << row.pane->GetDlgCtrlID();
        EXPECT_EQ(row.items, face.items) << row.pane->GetDlgCtrlID();
    }
}

// Ctrl+1 and Ctrl+2 tick and untick the to-do and the calendar; an
// unavailable pane takes no tick from the keyboard.
TEST_F(NotesPanes, CtrlAndTheDigitsToggleThePanes)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimToDoPane& toDo = *note->Wnd()->toDo;
    CPimCalPane& cal = *note->Wnd()->cal;
    BYTE keys[256] = {};
    ASSERT_TRUE(::GetKeyboardState(keys));
    BYTE withControl[256];
    std::memcpy(withControl, keys, sizeof keys);
    withControl[VK_CONTROL] = 0x80;
    auto press = [&](char digit) {
        ::SetKeyboardState(withControl);
        MSG msg = {note->GetNoteWnd()->GetSafeHwnd(), WM_KEYDOWN, static_cast<WPARAM>(digit), 0};
        BOOL taken = note->GetNoteWnd()->PreTranslateMessage(&msg);
        ::SetKeyboardState(keys);
        PumpPending();
        return taken;
    };
    struct Row {
        char digit;
        bool available;
        bool toDo, cal;
    } rows[] = {
        {'1', true, true, false}, {'2', true, true, true}, {'1', true, false, true},
        {'2', true, false, false}, {'1', false, false, false},
    };
    for (const Row& row : rows) {
        toDo.GetDestination()->SetEnabled(row.available);
        EXPECT_TRUE(press(row.digit)) << row.digit;
        EXPECT_EQ(row.toDo, Checked(&toDo)) << row.digit << " " << row.available;
        EXPECT_EQ(row.cal, Checked(&cal)) << row.digit << " " << row.available;
    }
}

// A click on the option button (its command to the pane) opens the reminder
// menu 175.
TEST_F(NotesPanes, TheOptionButtonOpensItsMenu)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CFlatButton& option = note->Wnd()->cal->GetOptionButton();
    std::vector<UINT> items = TrackedMenuItems([&] {
        option.GetParent()->PostMessage(WM_COMMAND, MAKEWPARAM(option.GetDlgCtrlID(), BN_CLICKED),
                                        reinterpret_cast<LPARAM>(option.GetSafeHwnd()));
    });
    EXPECT_EQ((std::vector<UINT>{8001, 8002, 8003, 8004, 8005, 8006}), items);
}

// Each kind of the calendar, the to-do beside it: no text is cut or covered,
// and every field stands on the pane colour.
TEST_F(NotesPanes, EveryKindShowsItsTextsWholeOnThePaneColour)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimToDoPane& toDo = *note->Wnd()->toDo;
    CPimCalPane& cal = *note->Wnd()->cal;
    Type(note, "call the bank tomorrow 12:30 pm Business");
    ASSERT_TRUE(Checked(&cal));
    for (UINT kind : {KIND_TIMED, KIND_DAYS, KIND_AT, KIND_DATE, KIND_LIKE_TODO}) {
        cal.SendMessage(WM_COMMAND, kind);
        for (CDestPane* pane : {static_cast<CDestPane*>(&toDo), static_cast<CDestPane*>(&cal)}) {
            for (const std::string& fault : LayoutFaults(*pane))
                ADD_FAILURE() << "kind " << kind << ": " << fault;
        }
    }
    for (CEditDrop* field : {static_cast<CEditDrop*>(&toDo.GetCategoryField()), static_cast<CEditDrop*>(&toDo.GetDueField()),
                             static_cast<CEditDrop*>(&toDo.GetStartField()), static_cast<CEditDrop*>(&cal.GetDateField()),
                             static_cast<CEditDrop*>(&cal.GetStartField()), static_cast<CEditDrop*>(&cal.GetEndField()),
                             &cal.GetDaysField(), static_cast<CEditDrop*>(&note->Wnd()->journal->GetFolderField()),
                             static_cast<CEditDrop*>(&note->Wnd()->email->GetToField()),
                             static_cast<CEditDrop*>(&note->Wnd()->email->GetBccField())})
        EXPECT_EQ(CDestPane::FIELD_COLOR & 0xFFFFFF, EditBackground(*field, field->GetEdit()) & 0xFFFFFF)
            << field->GetDlgCtrlID();
}

class NotesLongCategoryPanes : public NotesPanes {
protected:
    void AddItems() override
    {
        NotesPanes::AddItems();
        AddItem(PIM_TODO_CATEGORY_TYPE, "wide", kLong);
    }
    static constexpr const char* kLong = "Wide Wholesale Warehouse Workshops";
};

// The category field takes the longest category's name whole, up to its
// first 24 characters.
TEST_F(NotesLongCategoryPanes, TheCategoryFieldShowsTheLongestNameUpToACut)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CMultiDrop& field = note->Wnd()->toDo->GetCategoryField();
    field.SetText(CString(kLong).Left(24));
    EXPECT_TRUE(EditShowsWhole(field.GetEdit())) << field.GetText().GetString();
}

class Notes4Panes : public NotesPanes {
protected:
    CPimDatastore* MakeDatastore() override
    {
        m_notes.SetBuild(147);
        return NotesPanes::MakeDatastore();
    }
};

TEST_F(Notes4Panes, TheToDoHasTheCalendarBoxInPlaceOfCategories)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimToDoPane& toDo = *note->Wnd()->toDo;
    EXPECT_FALSE(toDo.HasCategories());
    EXPECT_EQ(static_cast<UINT>(IDP_OZU_TODO_OLD), toDo.GetResourceId());
    EXPECT_TRUE(toDo.GetDoneBox().IsWindowVisible());
    EXPECT_FALSE(toDo.GetCategoryField().IsWindowVisible());
    Type(note, "call the bank Business");
    EXPECT_FALSE(Checked(&toDo)) << "no category phrase under Notes 4";
    struct Row {
        bool box;
        long subType;
    } rows[] = {{false, 0}, {true, 2}};
    for (const Row& row : rows) {
        toDo.GetDoneBox().SetCheck(row.box ? BST_CHECKED : BST_UNCHECKED);
        CGodwitWrapper record;
        toDo.GetToDoDestination()->fileItem(&record);
        EXPECT_EQ(row.subType, record.GetSubType()) << row.box;
        EXPECT_EQ(2, record.GetPriority());
        EXPECT_FALSE(HasNames(record.GetTaskCategory()));
    }
}

} // namespace
