// The parts of the control that need no Palm Desktop: how a record's
// category is read, which contact entry answers, and which library a HotSync
// folder asks for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QuiTesting.h"

#include "ContactEmail.h"
#include "KeynoteFiler.h"
#include "PilotManager.h"
#include "QuiComTesting.h"

using QuiComTesting::TextArray;
using QuiComTesting::Variant;

TEST(CategoryText, TextsArraysAndOtherKinds)
{
    const std::wstring longName(1500, L'c');
    struct Row {
        const char* what;
        VARTYPE vt;
        std::vector<const wchar_t*> texts;
        std::string expected;
    };
    const std::vector<Row> rows = {
        {"a text", VT_BSTR, {L"Work"}, "Work"},
        {"three texts give the first", VT_ARRAY | VT_BSTR, {L"Home", L"Work", L"Calls"}, "Home"},
        {"an empty list", VT_ARRAY | VT_BSTR, {}, ""},
        {"a number", VT_I4, {}, ""},
        {"an array of variants", VT_ARRAY | VT_VARIANT, {}, ""},
        {"a long text is cut", VT_BSTR, {longName.c_str()}, std::string(1023, 'c')},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Variant value;
        value.vt = row.vt;
        if (row.vt == VT_BSTR)
            value.bstrVal = SysAllocString(row.texts[0]);
        else if (row.vt == (VT_ARRAY | VT_BSTR))
            value.parray = row.texts.empty() ? SafeArrayCreateVector(VT_BSTR, 0, 0)
                                             : TextArray({row.texts[0], row.texts[1], row.texts[2]});
        else if (row.vt == (VT_ARRAY | VT_VARIANT))
            value.parray = SafeArrayCreateVector(VT_VARIANT, 0, 1);

        else
            value.lVal = 7;
        EXPECT_EQ(row.expected, std::string(CategoryText(value).GetString()));
    }
}

// Labelled as texts but holding variants or bytes: an element copied out as
// the array holds it would not fit the text it was read into.
TEST(CategoryText, ArraysLabelledTextsThatHoldOtherThingsNameNoCategory)
{
    for (VARTYPE holds : {VT_VARIANT, VT_UI1}) {
        SCOPED_TRACE(holds);
        Variant value;
        value.vt = VT_ARRAY | VT_BSTR;
        value.parray = SafeArrayCreateVector(holds, 0, 3);
        ASSERT_NE(nullptr, value.parray);
        if (holds == VT_VARIANT) {
            LONG at = 0;
            Variant text(L"Home");
            SafeArrayPutElement(value.parray, &at, &text);
        }
        EXPECT_EQ("", std::string(CategoryText(value).GetString()));
    }
}

TEST(ContactEmail, EntryShownInListsAndTheEmailEntry)
{
    struct Entry {
        const char* value;
        const char* label;
        int shown;
    };
    struct Row {
        const char* what;
        std::vector<Entry> entries;
        const char* shownInList;  // null: none
        const char* email;
    };
    const std::vector<Row> rows = {
        {"the shown entry is the e-mail", {{"555", "Work:", 0}, {"zoe@x", "E-Mail:", 1}}, "zoe@x", "zoe@x"},
        {"a shown phone, the e-mail further on", {{"555", "Work:", 1}, {"zoe@x", "E-Mail:", 0}}, "555", "zoe@x"},
        {"the label in capitals", {{"zoe@x", "E-MAIL:", 0}}, nullptr, "zoe@x"},
        {"shown in capitals", {{"zoe@x", "E-MAIL:", 1}}, "zoe@x", "zoe@x"},
        {"a label that differs by more than case", {{"zoe@x", "Email:", 1}}, "zoe@x", nullptr},
        {"no entries", {}, nullptr, nullptr},
        {"the first of two e-mails", {{"a@x", "e-mail:", 0}, {"b@x", "E-Mail:", 0}}, nullptr, "a@x"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CONTACTITEM contact;
        for (size_t i = 0; i < row.entries.size(); ++i) {
            contact.Email(static_cast<int>(i)).SetValue(row.entries[i].value);
            contact.Email(static_cast<int>(i)).SetLabel(row.entries[i].label);
            contact.Email(static_cast<int>(i)).shown = row.entries[i].shown;
        }
        const EMAILINFO* shown = ShownInListEntry(contact);
        const EMAILINFO* email = EmailEntry(contact);
        EXPECT_STREQ(row.shownInList ? row.shownInList : "<none>", shown ? shown->GetValue() : "<none>");
        EXPECT_STREQ(row.email ? row.email : "<none>", email ? email->GetValue() : "<none>");
    }
}

TEST(DesktopGeneration, TheHotSyncFolderNamesTheLibrary)
{
    const std::string folder = QuiComTesting::ProgramFolder() + "finch-hotsync\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    struct Row {
        std::vector<const char*> files;
        int generation;
    };
    const std::vector<Row> rows = {
        {{"palmcmn.dll", "subs30.dll"}, 3},
        {{"palmcmn.dll"}, 2},
        {{"subs30.dll"}, 2},
        {{}, 2},
    };
    for (const Row& row : rows) {
        for (const char* file : {"palmcmn.dll", "subs30.dll"})
            DeleteFileA((folder + file).c_str());
        std::string names;
        for (const char* file : row.files) {
            HANDLE made = CreateFileA((folder + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, made);
            CloseHandle(made);
            names += std::string(file) + " ";
        }
        EXPECT_EQ(row.generation, PilotManager::DesktopGeneration(folder.c_str())) << names;
    }
    EXPECT_EQ(2, PilotManager::DesktopGeneration(CString())) << "no folder";
    QuiTesting::RemoveFolder(folder);
}
