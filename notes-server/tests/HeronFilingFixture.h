// The filing tests' fixture: the stand-in's databases a filing reads and
// writes, a Godwit record to fill, and what the databases hold afterwards.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "GodwitDispIds.h"
#include "GodwitRecordFiller.h"
#include "HeronFixture.h"
#include "VariantArray.h"

using QuiComTesting::Variant;

// The mail file: the memo form gives new documents an empty "Body".
const char kMail[] = "[note 1]\r\n$Title=Memo\r\n$NoteClass=4\r\n$Default.Body=\r\n";
const char kMailWithoutForm[] = "[note 1]\r\nForm=Memo\r\n";
// An address book: its "$People" view, Bob with an address, a company
// without names or address.
const char kContacts[] =
    "[note 2]\r\n$Title=$People\r\n$NoteClass=8\r\n"
    "[note 20]\r\nForm=Person\r\nFirstName=Bob\r\nLastName=Stone\r\nMailAddress=bob@acme.example\r\n"
    "[note 21]\r\nForm=Person\r\nCompanyName=Acme Ltd\r\n";
const char kBob[] = "local##contacts.nsf##20";
const char kAcme[] = "local##contacts.nsf##21";
// The journal with two folders.
const char kJournal[] =
    "[note 5]\r\n$Title=Projects\r\n$NoteClass=8\r\n$Flags=F\r\n[note 6]\r\n$Title=Ideas\r\n$NoteClass=8\r\n$Flags=F\r\n";

const DATE kDecember8 = 46364.0;
const DATE kHour = 1.0 / 24;
const char kToldToFail[] = "Error: 4095 The call failed as the test asked";

class HeronFilingTest : public HeronTest {
protected:
    void SetUp() override
    {
        HeronTest::SetUp();
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail\\alee.nsf", kMail);
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\contacts.nsf", kContacts);
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\journal.nsf", kJournal);
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\plan.txt", "the plan");
    }

    std::string Attachment() const { return m_notes.Folder() + "\\plan.txt"; }

    QuiComTesting::Ptr<IDispatch> NewRecord(long type)
    {
        QuiComTesting::Ptr<IDispatch> record = NewGodwitRecord();
        if (record)
            Put(record, DISPID_GODWIT_TYPE, Variant(type));
        return record;
    }
    static void Put(const QuiComTesting::Ptr<IDispatch>& record, DISPID id, const VARIANT& value)
    {
        GodwitTesting::Put(record.Get(), id, value);
    }
    static void PutText(const QuiComTesting::Ptr<IDispatch>& record, DISPID id, const wchar_t* text)
    {
        GodwitTesting::PutText(record.Get(), id, text);
    }
    static void PutShort(const QuiComTesting::Ptr<IDispatch>& record, DISPID id, short number)
    {
        GodwitTesting::PutShort(record.Get(), id, number);
    }
    static void PutDate(const QuiComTesting::Ptr<IDispatch>& record, DISPID id, DATE date)
    {
        GodwitTesting::PutDate(record.Get(), id, date);
    }
    static void PutList(const QuiComTesting::Ptr<IDispatch>& record, DISPID id, std::vector<std::string> texts)
    {
        Variant value;
        QuiMakeStringArray(&value);
        for (const std::string& text : texts)
            QuiAppendAnsiString(&value, text.c_str());
        Put(record, id, value);
    }
    static void AddSubType(const QuiComTesting::Ptr<IDispatch>& record, long bits)
    {
        GodwitTesting::AddBits(record.Get(), DISPID_GODWIT_ADDSUBTYPEBIT, bits);
    }

    // Files the record; the error text it left is kept.
    HRESULT File(const QuiComTesting::Ptr<IDispatch>& record)
    {
        Variant argument;
        argument.vt = VT_DISPATCH;
        argument.pdispVal = record.Get();
        record->AddRef();
        HRESULT hr = Call(DISPID_HERON_FILEKEYNOTE, {&argument});
        m_error = Narrow(QuiComTesting::LastError().description);
        return hr;
    }

    // "item=value" lines of one note, joined by "\n"; "" when absent.
    std::string Note(const std::string& database, DWORD id) const
    {
        std::string text, prefix = std::to_string(id) + " ";
        for (const std::string& line : m_notes.Dump(database)) {
            if (line.compare(0, prefix.size(), prefix) == 0)
                text += line.substr(prefix.size()) + "\n";
        }
        return text;
    }
    // The values of one item, joined by "|"; "<none>" when absent.
    std::string Item(const std::string& database, DWORD id, const std::string& item) const
    {
        std::string values;
        bool found = false;
        for (const std::string& line : Lines(database, id)) {
            size_t equals = line.find('=');
            std::string name = line.substr(0, equals);
            if (name == item || name == item + "(number)" || name == item + "(text)") {
                values += (found ? "|" : "") + line.substr(equals + 1);
                found = true;
            }
        }
        return found ? values : "<none>";
    }
    std::vector<std::string> Lines(const std::string& database, DWORD id) const
    {
        std::vector<std::string> lines;
        std::string text = Note(database, id);
        for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    size_t NoteCount(const std::string& database) const
    {
        std::vector<NotesNote> notes;
        ReadNotesDatabase(m_notes.Folder() + "\\" + database, &notes);
        return notes.size();
    }

    // Today's date, read once: what a test builds from it cannot straddle midnight.
    static std::string Today()
    {
        static const std::string text = [] {
            SYSTEMTIME today;
            GetLocalTime(&today);
            char date[16];
            std::snprintf(date, sizeof date, "%04d-%02d-%02d", today.wYear, today.wMonth, today.wDay);
            return std::string(date);
        }();
        return text;
    }

    const std::string kMailFile = "mail\\alee.nsf";
    std::string m_error;
};
