// Puts one Notes installation of the stand-in into the test prefix for one
// test: a folder of its own with notes.ini, the user's ID file and names.nsf
// with the location document, the Notes key under HKEY_LOCAL_MACHINE naming
// that folder, and the stand-in's settings; all of it taken away at the end.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "NotesStandIn.h"
#include "notesapi.h"
#include "NotesStore.h"
#include "QuiComTesting.h"
#include "QuiTesting.h"
#include "TestName.h"

namespace NotesStandInTesting {

const char kNotesKey[] = "Software\\Lotus\\Notes\\5.0";

inline void SetRegText(HKEY root, const char* key, const char* name, const std::string& text)
{
    EXPECT_TRUE(QuiTesting::SetRegText(root, key, name, text)) << key;
}

inline void SetRegNumber(HKEY root, const char* key, const char* name, DWORD value)
{
    EXPECT_TRUE(QuiTesting::SetRegNumber(root, key, name, value)) << key;
}

inline void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    ASSERT_TRUE(out.good()) << path;
}

// Runs `body` on a thread of its own and waits for it with a deadline.
template <class F>
void OnOtherThread(F body)
{
    struct Call {
        static DWORD WINAPI Run(void* argument)
        {
            (*static_cast<F*>(argument))();
            return 0;
        }
    };
    HANDLE thread = CreateThread(nullptr, 0, Call::Run, &body, 0, nullptr);
    ASSERT_TRUE(thread != nullptr);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));
    CloseHandle(thread);
}

// Whether the Notes runtime of this process has been started and not ended:
// the library answers any call before its start, or after its end, that it
// is not initialised.
inline bool RuntimeStarted()
{
    HMODULE library = GetModuleHandleA("nnotes.dll");
    auto getUserName = library ? reinterpret_cast<PFN_SECKFMGetUserName>(
                                     reinterpret_cast<void (*)()>(GetProcAddress(library, "SECKFMGetUserName")))
                               : nullptr;
    char name[MAXUSERNAME + 1] = "";
    return getUserName && getUserName(name) != NOTES_ERR_NOT_INITIALIZED;
}

inline void Forget()
{
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Lotus");
    SHDeleteKeyA(HKEY_CURRENT_USER, NOTES_STANDIN_KEY);
}

class Installation {
public:
    // The default installation: user "CN=Ann Lee/OU=Sales/O=Acme", location
    // "Office" with a local mail file "mail\alee.nsf", and the Notes key's
    // "Path" naming the folder that holds notes.ini.
    Installation()
    {
        ResetEvent(m_goOn);
        Forget();
        std::string root = QuiComTesting::ProgramFolder() + "notes-installs";
        CreateDirectoryA(root.c_str(), nullptr);
        m_folder = root + "\\" + QuiTesting::CurrentTestName();
        QuiTesting::RemoveFolder(m_folder);
        CreateDirectoryA(m_folder.c_str(), nullptr);
        CreateDirectoryA((m_folder + "\\mail").c_str(), nullptr);
        SetIni({{"Location", "Office,8,CN=Ann Lee/OU=Sales/O=Acme"}, {"KeyFileName", "user.id"},
                {"MailFile", "mail\\alee.nsf"}, {"MailServer", ""}});
        SetUser("CN=Ann Lee/OU=Sales/O=Acme");
        SetLocation({{"MailType", "1"}, {"MailFile", "mail\\alee.nsf"}});
        WriteFile(m_folder + "\\mail\\alee.nsf", "[note 1]\r\nForm=Memo\r\n");
        // The outgoing mail box of a client that sends through its own.
        WriteFile(m_folder + "\\mail.box", "");
        SetRegText(HKEY_LOCAL_MACHINE, kNotesKey, "Path", m_folder);
    }
    ~Installation()
    {
        SetEvent(m_goOn);
        CloseHandle(m_goOn);
        Forget();
        QuiTesting::RemoveFolder(m_folder);
    }
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    const std::string& Folder() const { return m_folder; }
    std::string IniPath() const { return m_folder + "\\notes.ini"; }

    void SetIni(std::initializer_list<std::pair<const char*, const char*>> values)
    {
        std::string text = "[Notes]\r\n";
        for (const auto& value : values)
            text += std::string(value.first) + "=" + value.second + "\r\n";
        WriteFile(IniPath(), text);
    }
    void SetUser(const std::string& fullName) { WriteFile(m_folder + "\\user.id", fullName + "\r\n"); }
    // names.nsf with the location document "Office" (note 8) holding these
    // items.
    void SetLocation(std::initializer_list<std::pair<const char*, const char*>> items)
    {
        std::string text = "[note 8]\r\nForm=Location\r\nName=Office\r\n";
        for (const auto& item : items)
            text += std::string(item.first) + "=" + item.second + "\r\n";
        WriteFile(m_folder + "\\names.nsf", text);
    }
    void SetBuild(DWORD build) { SetRegNumber(HKEY_CURRENT_USER, NOTES_STANDIN_KEY, "Build", build); }
    void SetFailCalls(std::initializer_list<const char*> calls) { SetCallList("FailCalls", calls); }
    // Items of a note that the library refuses to write.
    void SetFailItems(std::initializer_list<const char*> items) { SetCallList("FailItems", items); }
    // Functions that fail as when memory runs out.
    void SetMemoryCalls(std::initializer_list<const char*> calls) { SetCallList("MemoryCalls", calls); }
    // Calls that wait until GoOn().
    void SetHoldCalls(std::initializer_list<const char*> calls) { SetCallList("HoldCalls", calls); }
    void GoOn() { SetEvent(m_goOn); }
    // Calls each of which moves the stopped clock on by a minute.
    void SetTickCalls(std::initializer_list<const char*> calls) { SetCallList("TickCalls", calls); }
    // Stops the stand-in's clock at "yyyymmdd-hhmmss".
    void SetClock(const char* stamp) { SetRegText(HKEY_CURRENT_USER, NOTES_STANDIN_KEY, "Clock", stamp); }
    void SetCallList(const char* value, std::initializer_list<const char*> calls)
    {
        std::string data;
        for (const char* call : calls)
            data.append(call).push_back('\0');
        data.push_back('\0');
        EXPECT_TRUE(QuiTesting::SetRegValue(HKEY_CURRENT_USER, NOTES_STANDIN_KEY, value, REG_MULTI_SZ, data.data(),
                                            static_cast<DWORD>(data.size())));
    }

    // The thread registrations the stand-in's last NotesTerm found open;
    // ~0 before any.
    DWORD OpenThreads() const
    {
        DWORD open = ~0u, size = sizeof open;
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, NOTES_STANDIN_KEY, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            RegQueryValueExA(key, "OpenThreads", nullptr, nullptr, reinterpret_cast<BYTE*>(&open), &size);
            RegCloseKey(key);
        }
        return open;
    }

    // The database file as notesdump prints it.
    std::vector<std::string> Dump(const std::string& database) const
    {
        std::vector<NotesNote> notes;
        EXPECT_TRUE(ReadNotesDatabase(m_folder + "\\" + database, &notes)) << database;
        return DumpNotesLines(notes);
    }

private:
    std::string m_folder;
    HANDLE m_goOn = CreateEventA(nullptr, TRUE, FALSE, NOTES_STANDIN_GO_ON_EVENT);
};

}  // namespace NotesStandInTesting
