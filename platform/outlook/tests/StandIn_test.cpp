#include "StandInFixture.h"

#include "FileVersionInfo.h"

using namespace StandInTesting;
using ::testing::ElementsAre;

TEST_F(StandIn, LogonFailsAsOftenAsToldAndEveryTryIsRecorded)
{
    struct Row {
        DWORD failures;
        std::vector<bool> succeeds;
    } rows[] = {
        {0, {true, true}},
        {1, {false, true, true}},
        {2, {false, false, true}},
        {STANDIN_LOGON_ALWAYS_FAILS, {false, false, false, false}},
    };
    size_t recorded = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.failures);
        m_outlook.SetLogonFailures(row.failures);
        for (size_t i = 0; i < row.succeeds.size(); ++i) {
            bool dialog = i % 2 == 1;
            EXPECT_EQ(row.succeeds[i] ? S_OK : E_FAIL, Logon(dialog)) << "logon " << i;
            ++recorded;
            ASSERT_EQ(recorded, m_outlook.RecordCount());
            const std::string head = std::string("logon ") + (row.succeeds[i] ? "ok" : "failed");
            EXPECT_THAT(m_outlook.Record(static_cast<int>(recorded)),
                        ElementsAre(head + " NewSession=false", head + " Password=(omitted)", head + " Profile=",
                                    head + " ShowDialog=" + (dialog ? "true" : "false")));
        }
    }
}

TEST_F(StandIn, ResolveAllKnowsTheAddressBookAndAddresses)
{
    m_outlook.SetKnownNames({"Alice Smith", "Bob"});
    struct Row {
        std::vector<const wchar_t*> names;
        VARIANT_BOOL all;
    } rows[] = {
        {{}, VARIANT_TRUE},
        {{L"Alice Smith"}, VARIANT_TRUE},
        {{L"alice smith", L"BOB"}, VARIANT_TRUE},
        {{L"carol@example.com"}, VARIANT_TRUE},
        {{L"Bob", L"Carol"}, VARIANT_FALSE},
        {{L"Alice"}, VARIANT_FALSE},
        {{L""}, VARIANT_FALSE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.names.empty() ? L"(none)" : row.names[0]);
        Ptr<_MailItem> mail;
        Create(olMailItem, IID__MailItem, &mail);
        Ptr<Recipients> recipients;
        ASSERT_EQ(S_OK, mail->get_Recipients(recipients.Out()));
        for (const wchar_t* name : row.names) {
            Ptr<Recipient> added;
            EXPECT_EQ(S_OK, recipients->Add(Bstr(name), added.Out()));
        }
        VARIANT_BOOL all = 7;
        EXPECT_EQ(S_OK, recipients->ResolveAll(&all));
        EXPECT_EQ(row.all, all);
    }
}

TEST_F(StandIn, AttachmentsNeedAnExistingFile)
{
    const std::string file = QuiComTesting::ProgramFolder() + "OutlookStandIn.dll";
    struct Row {
        VARTYPE vt;
        std::string source;
        HRESULT expected;
    } rows[] = {
        {VT_EMPTY, "", E_INVALIDARG},
        {VT_NULL, "", E_INVALIDARG},
        {VT_BSTR, "", E_INVALIDARG},
        {VT_BSTR, file + ".missing", E_INVALIDARG},
        {VT_BSTR, QuiComTesting::ProgramFolder(), E_INVALIDARG},
        {VT_BSTR, file, S_OK},
    };
    Ptr<_JournalItem> journal;
    Create(olJournalItem, IID__JournalItem, &journal);
    Ptr<Attachments> attachments;
    ASSERT_EQ(S_OK, journal->get_Attachments(attachments.Out()));
    LONG expectedCount = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.source);
        VARIANT source;
        VariantInit(&source);
        V_VT(&source) = row.vt;
        if (row.vt == VT_BSTR)
            V_BSTR(&source) = SysAllocString(Wide(row.source).c_str());
        Ptr<Attachment> added;
        EXPECT_EQ(row.expected, attachments->Add(source, Missing(), Missing(), Missing(), added.Out()));
        VariantClear(&source);
        EXPECT_EQ(row.expected == S_OK, static_cast<bool>(added));
        expectedCount += row.expected == S_OK;
        LONG count = -1;
        ASSERT_EQ(S_OK, attachments->get_Count(&count));
        EXPECT_EQ(expectedCount, count);
    }
    ASSERT_EQ(S_OK, journal->Save());
    EXPECT_THAT(m_outlook.Dump(), ::testing::Contains("0001 journal saved Attachment.1=OutlookStandIn.dll <" + EscapeStoreValue(file) + ">"));
}

TEST_F(StandIn, SaveAppendsTheWholeItemWithItsDefaults)
{
    Ptr<_TaskItem> task;
    Create(olTaskItem, IID__TaskItem, &task);
    ASSERT_EQ(S_OK, task->put_Subject(Bstr(L"call the bank\nabout the loan")));
    ASSERT_EQ(S_OK, task->put_DueDate(45296.5));
    ASSERT_EQ(S_OK, task->put_Complete(VARIANT_TRUE));
    DATE start = 0;
    ASSERT_EQ(S_OK, task->get_StartDate(&start));
    EXPECT_EQ(949998.0, start) << "an unset date reads as the none date";
    ASSERT_EQ(S_OK, task->Save());
    ASSERT_EQ(S_OK, task->Save());

    const std::vector<std::string> expected = {
        "task saved Body=",           "task saved Categories=",
        "task saved Complete=true",   "task saved ContactNames=",
        "task saved DueDate=2024-01-05 12:00:00", "task saved Importance=1",
        "task saved Sensitivity=0",   "task saved StartDate=none",
        "task saved Subject=call the bank\\nabout the loan",
    };
    EXPECT_EQ(expected, m_outlook.Record(1));
    EXPECT_EQ(expected, m_outlook.Record(2));
    EXPECT_EQ(2u, m_outlook.RecordCount());
}

TEST_F(StandIn, SendNeedsResolvedRecipientsAndEndsTheItem)
{
    m_outlook.SetKnownNames({"Bob"});
    Ptr<_MailItem> mail;
    Create(olMailItem, IID__MailItem, &mail);
    EXPECT_EQ(E_FAIL, mail->Send()) << "no recipient";
    EXPECT_EQ(L"The message has no recipient.", ErrorText());

    Ptr<Recipients> recipients;
    ASSERT_EQ(S_OK, mail->get_Recipients(recipients.Out()));
    Ptr<Recipient> added;
    ASSERT_EQ(S_OK, recipients->Add(Bstr(L"Carol"), added.Out()));
    EXPECT_EQ(E_FAIL, mail->Send());
    EXPECT_EQ(0u, m_outlook.RecordCount());

    m_outlook.SetKnownNames({"Bob", "Carol"});
    ASSERT_EQ(S_OK, mail->Send());
    EXPECT_THAT(m_outlook.Record(1), ::testing::Contains("mail sent Recipient.1=Carol (To, resolved)"));
    EXPECT_EQ(E_FAIL, mail->Save()) << "a sent message is gone";
    EXPECT_EQ(E_FAIL, mail->Send());
    EXPECT_EQ(1u, m_outlook.RecordCount());
}

TEST_F(StandIn, NamedCallsFailAndOthersDoNot)
{
    m_outlook.SetFailCalls({"_TaskItem.Save", "_Application.GetNamespace"});
    Ptr<_TaskItem> task;
    Create(olTaskItem, IID__TaskItem, &task);
    Ptr<_AppointmentItem> appointment;
    Create(olAppointmentItem, IID__AppointmentItem, &appointment);
    EXPECT_EQ(E_FAIL, task->Save());
    EXPECT_EQ(L"The item could not be saved.", ErrorText());
    EXPECT_EQ(S_OK, appointment->Save());

    Ptr<_NameSpace> space;
    EXPECT_EQ(E_FAIL, m_app->GetNamespace(Bstr(L"MAPI"), space.Out()));
    EXPECT_THAT(m_outlook.Dump(), ElementsAre("0001 appointment saved AllDayEvent=false",
                                              "0001 appointment saved Body=",
                                              "0001 appointment saved Categories=",
                                              "0001 appointment saved End=none",
                                              "0001 appointment saved Importance=1",
                                              "0001 appointment saved MeetingStatus=0",
                                              "0001 appointment saved Sensitivity=0",
                                              "0001 appointment saved Start=none",
                                              "0001 appointment saved Subject="));
}

TEST_F(StandIn, OnlyTheKindsAndFoldersItHasAreOffered)
{
    struct Row {
        int type;
        HRESULT expected;
        const IID* iid;
    } items[] = {
        {olMailItem, S_OK, &IID__MailItem},   {olAppointmentItem, S_OK, &IID__AppointmentItem},
        {olTaskItem, S_OK, &IID__TaskItem},   {olJournalItem, S_OK, &IID__JournalItem},
        {olNoteItem, S_OK, &IID__NoteItem},   {olContactItem, E_INVALIDARG, nullptr},
        {6, E_INVALIDARG, nullptr},           {-1, E_INVALIDARG, nullptr},
    };
    for (const auto& row : items) {
        SCOPED_TRACE(row.type);
        Ptr<IDispatch> item;
        EXPECT_EQ(row.expected, m_app->CreateItem(static_cast<OlItemType>(row.type), item.Out()));
        if (row.iid) {
            Ptr<IUnknown> typed;
            EXPECT_EQ(S_OK, item->QueryInterface(*row.iid, typed.OutVoid()));
            EXPECT_EQ(E_NOINTERFACE, item->QueryInterface(row.iid == &IID__MailItem ? IID__TaskItem : IID__MailItem,
                                                          typed.OutVoid()));
        }
    }
    struct Folder {
        int type;
        const wchar_t* name;
    } folders[] = {{olFolderContacts, L"Contacts"}, {olFolderTasks, L"Tasks"}, {olFolderInbox, L"Inbox"},
                   {8, nullptr}, {0, nullptr}};
    for (const Folder& row : folders) {
        SCOPED_TRACE(row.type);
        Ptr<MAPIFolder> folder;
        HRESULT hr = m_space->GetDefaultFolder(static_cast<OlDefaultFolders>(row.type), folder.Out());
        EXPECT_EQ(row.name ? S_OK : E_INVALIDARG, hr);
        if (row.name) {
            BSTR name = nullptr;
            ASSERT_EQ(S_OK, folder->get_Name(&name));
            EXPECT_STREQ(row.name, name);
            SysFreeString(name);
        }
    }
    Ptr<_NameSpace> other;
    EXPECT_EQ(E_INVALIDARG, m_app->GetNamespace(Bstr(L"NOTES"), other.Out()));
}

TEST_F(StandIn, AnswersOnlyOutlooksDocumentedIdentities)
{
    auto guid = [](const wchar_t* text) {
        GUID value = GUID_NULL;
        EXPECT_EQ(S_OK, CLSIDFromString(const_cast<LPOLESTR>(text), &value)) << "bad GUID text";
        return value;
    };
    CLSID clsid;
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"Outlook.Application", &clsid));
    EXPECT_TRUE(IsEqualGUID(guid(L"{0006F03A-0000-0000-C000-000000000046}"), clsid));
    Ptr<IDispatch> task;
    ASSERT_EQ(S_OK, m_app->CreateItem(olTaskItem, task.Out()));
    struct Row {
        IUnknown* object;
        const wchar_t* iid;
        HRESULT expected;
    } rows[] = {
        {m_app.Get(), L"{00063001-0000-0000-C000-000000000046}", S_OK},
        {m_app.Get(), L"{7EC18511-250A-48FF-9843-7D2FD6A36E70}", E_NOINTERFACE},  // invented once
        {m_space.Get(), L"{00063002-0000-0000-C000-000000000046}", S_OK},
        {m_space.Get(), L"{426C2139-1CFD-49A8-B5A6-E24C242D810B}", E_NOINTERFACE},
        {task.Get(), L"{00063035-0000-0000-C000-000000000046}", S_OK},
        {task.Get(), L"{ED7720F4-DE9D-4967-AF75-4C5252916AC7}", E_NOINTERFACE},
        {task.Get(), L"{00063034-0000-0000-C000-000000000046}", E_NOINTERFACE},  // a task is no mail
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.iid, row.iid + wcslen(row.iid)));
        Ptr<IUnknown> got;
        EXPECT_EQ(row.expected, row.object->QueryInterface(guid(row.iid), got.OutVoid()));
    }
}

// Reached by name as automation reaches it: optional arguments left out,
// values outside Outlook's enumerations refused.
TEST_F(StandIn, MembersAreServedByNameWithinTheirDocumentedValues)
{
    Ptr<IDispatch> task, appointment;
    ASSERT_EQ(S_OK, m_app->CreateItem(olTaskItem, task.Out()));
    ASSERT_EQ(S_OK, m_app->CreateItem(olAppointmentItem, appointment.Out()));
    struct Row {
        IDispatch* item;
        const wchar_t* member;
        long value;
        HRESULT expected;
    } rows[] = {
        {task.Get(), L"Importance", 2, S_OK},        {task.Get(), L"Importance", 3, E_INVALIDARG},
        {task.Get(), L"Importance", -1, E_INVALIDARG}, {task.Get(), L"Sensitivity", 3, S_OK},
        {task.Get(), L"Sensitivity", 4, E_INVALIDARG}, {appointment.Get(), L"MeetingStatus", 5, S_OK},
        {appointment.Get(), L"MeetingStatus", 2, E_INVALIDARG},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << std::string(row.member, row.member + wcslen(row.member)) << " "
                                          << row.value);
        QuiComTesting::ExcepInfo error;
        QuiComTesting::Variant value(row.value);
        const DISPID id = QuiComTesting::IdOfName(row.item, row.member);
        HRESULT hr = QuiComTesting::PutProperty(row.item, id, value, &error);
        EXPECT_EQ(row.expected, hr == DISP_E_EXCEPTION ? error.scode : hr);
    }

    QuiComTesting::Variant attachments, added;
    ASSERT_EQ(S_OK, QuiComTesting::GetProperty(task.Get(), QuiComTesting::IdOfName(task.Get(), L"Attachments"),
                                               &attachments));
    IDispatch* list = V_DISPATCH(&attachments);
    QuiComTesting::Variant source(Wide(QuiComTesting::ProgramFolder() + "OutlookStandIn.dll").c_str());
    EXPECT_EQ(S_OK, QuiComTesting::CallMethod(list, QuiComTesting::IdOfName(list, L"Add"), {&source}, &added))
        << "Type, Position and DisplayName left out";
    EXPECT_EQ(S_OK, QuiComTesting::CallMethod(m_space.Get(), QuiComTesting::IdOfName(m_space.Get(), L"Logon"), {}));
    EXPECT_THAT(m_outlook.Record(1), ElementsAre("logon ok NewSession=false", "logon ok Password=(omitted)",
                                                 "logon ok Profile=(omitted)", "logon ok ShowDialog=false"));
}

TEST_F(StandIn, SavedEntriesReadAsOutlookReadsThem)
{
    const DATE day = 45296.0;  // 5 January 2024
    struct Row {
        bool allDay;
        bool timed;
        DATE start, end;
        const wchar_t* categories;
        const char* allDayRead;
        std::vector<std::string> categoriesRead;
    } rows[] = {
        {true, true, day, day + 1.0, L"Home,Calls", "AllDayEvent=true", {"Category.1=Home", "Category.2=Calls"}},
        {true, true, day + 8.0 / 24, day + 8.5 / 24, L" Home , Calls", "AllDayEvent=false",
         {"Category.1=Home", "Category.2=Calls"}},
        {true, true, day, day, L"Home,", "AllDayEvent=false", {"Category.1=Home", "Category.2="}},
        {true, false, 0.0, 0.0, L"", "AllDayEvent=true", {}},  // no times: today, all day
        {false, true, day, day + 1.0, L"Home;Calls", "AllDayEvent=false", {"Category.1=Home;Calls"}},
    };
    int record = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(record);
        Ptr<_AppointmentItem> appointment;
        Create(olAppointmentItem, IID__AppointmentItem, &appointment);
        ASSERT_EQ(S_OK, appointment->put_AllDayEvent(row.allDay ? VARIANT_TRUE : VARIANT_FALSE));
        if (row.timed) {
            ASSERT_EQ(S_OK, appointment->put_Start(row.start));
            ASSERT_EQ(S_OK, appointment->put_End(row.end));
        }
        ASSERT_EQ(S_OK, appointment->put_Categories(Bstr(row.categories)));
        ASSERT_EQ(S_OK, appointment->Save());
        std::vector<std::string> categories;
        bool allDayFound = false;
        for (const std::string& line : m_outlook.Record(++record)) {
            allDayFound = allDayFound || line == std::string("appointment saved ") + row.allDayRead;
            if (line.compare(0, 27, "appointment saved Category.") == 0)
                categories.push_back(line.substr(18));
        }
        EXPECT_TRUE(allDayFound) << row.allDayRead;
        EXPECT_EQ(row.categoriesRead, categories);
    }
}

TEST_F(StandIn, DeleteTakesASavedItemOutOfTheStore)
{
    Ptr<_MailItem> draft;
    Create(olMailItem, IID__MailItem, &draft);
    EXPECT_EQ(S_OK, draft->Delete()) << "never saved: nothing to take out";
    EXPECT_EQ(0u, m_outlook.RecordCount());
    EXPECT_EQ(E_FAIL, draft->Save()) << "a deleted item is gone";

    Ptr<_NoteItem> note;
    Create(olNoteItem, IID__NoteItem, &note);
    ASSERT_EQ(S_OK, note->put_Body(Bstr(L"parking")));
    ASSERT_EQ(S_OK, note->Save());
    ASSERT_EQ(S_OK, note->Delete());
    EXPECT_EQ(E_FAIL, note->Delete());
    EXPECT_THAT(m_outlook.Dump(), ElementsAre("0001 note saved Body=parking", "0001 note saved Categories=",
                                              "0002 note deleted Body=parking", "0002 note deleted Categories="));
}

TEST_F(StandIn, DumpToolPrintsTheStoreSorted)
{
    Ptr<_NoteItem> note;
    Create(olNoteItem, IID__NoteItem, &note);
    ASSERT_EQ(S_OK, note->put_Body(Bstr(L"parking: level 3")));
    ASSERT_EQ(S_OK, note->Save());
    ASSERT_EQ(S_OK, Logon(false));

    const std::string output = m_outlook.StorePath() + ".dump";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE file = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = file;
    PROCESS_INFORMATION process = {};
    std::string command = "\"" + QuiComTesting::ProgramFolder() + "outlookdump.exe\"";
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process));
    CloseHandle(file);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 60000));
    DWORD code = 99;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(0u, code);

    std::string printed;
    HANDLE read = CreateFileA(output.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, read);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got)
        printed.append(buffer, got);
    CloseHandle(read);
    DeleteFileA(output.c_str());

    std::string expected;
    for (const std::string& line : m_outlook.Dump())
        expected += line + "\n";
    EXPECT_EQ(expected, printed);
    EXPECT_EQ("0001 note saved Body=parking: level 3\n0001 note saved Categories=\n"
              "0002 logon ok NewSession=false\n0002 logon ok Password=(omitted)\n0002 logon ok Profile=\n"
              "0002 logon ok ShowDialog=false\n",
              printed);
}

TEST(OutlookProgram, EachBuildCarriesItsVersionAndSaysWhenItStarted)
{
    QuiComTesting::Apartment apartment;
    struct Row {
        Build build;
        const char* version;  // null: no version block
    } rows[] = {
        {Build::Outlook90, "9.0.0.3821"},
        {Build::Outlook85, "8.5.7806"},
        {Build::Unversioned, nullptr},
    };
    Installation outlook(Build::None);
    HANDLE started = CreateEventA(nullptr, FALSE, FALSE, STANDIN_STARTED_EVENT);
    ASSERT_NE(nullptr, started);
    int number = 0;
    for (const Row& row : rows) {
        const std::string path = OutlookStandInTesting::ProgramPath(row.build);
        SCOPED_TRACE(path);
        CFileVersionInfo info(path.c_str());
        if (row.version) {
            ASSERT_NE(nullptr, info.GetFileVersion());
            EXPECT_STREQ(row.version, info.GetFileVersion());
        } else {
            EXPECT_EQ(0u, info.GetBlockSize());
        }
        ASSERT_EQ(0, QuiComTesting::RunProgram("\"" + path + "\""));
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(started, 0));
        EXPECT_THAT(outlook.Record(++number),
                    ElementsAre(std::string("program started Version=") + (row.version ? row.version : "none")));
    }
    CloseHandle(started);
}
