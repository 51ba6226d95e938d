// What the editions' tests share: the language resource library as the
// source of strings, and the edition's exception caught and read.
#pragma once
#include <afxquill.h>

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "Datastore.h"
#include "QuiComTesting.h"
#include "QuillmateExcept.h"

namespace pim_test {

// The message id and text of the COzuExcept that `call` throws; id -1 and
// an empty text when it throws none.
struct Failure {
    long id = -1;
    std::string text;
};

template <class F>
Failure FailureOf(F call)
{
    Failure failure;
    try {
        call();
    } catch (COzuExcept* e) {
        failure.id = static_cast<long>(e->GetErrorCode());
        failure.text = e->GetText().GetString();
        delete e;
    }
    return failure;
}

// QuiRes1033.dll as the resource source for the test's lifetime.
class ResourceLibrary {
public:
    ResourceLibrary() : m_library(LoadLibraryA("QuiRes1033.dll")), m_previous(AfxGetResourceHandle())
    {
        EXPECT_NE(nullptr, m_library);
        if (m_library)
            AfxSetResourceHandle(m_library);
    }
    ~ResourceLibrary()
    {
        AfxSetResourceHandle(m_previous);
        if (m_library)
            FreeLibrary(m_library);
    }
    ResourceLibrary(const ResourceLibrary&) = delete;
    ResourceLibrary& operator=(const ResourceLibrary&) = delete;

private:
    HMODULE m_library;
    HINSTANCE m_previous;
};

// The display names of the items of one type, in list order.
inline std::string ItemNames(CDatastore& datastore, const char* typeId)
{
    std::string names;
    QuiItemType* type = datastore.GetItemType(typeId);
    if (!type)
        return "<no type>";
    QuiItemList* items = datastore.GetItemList();
    int cursor = items->fetchBegin(type);
    while (QuiItem* item = items->fetchNext(cursor))
        names += std::string(names.empty() ? "" : "|") + item->getDisplayName();
    items->fetchEnd(cursor);
    return names;
}

// Tomorrow at midnight as an automation date.
inline DATE Tomorrow()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    now.wHour = now.wMinute = now.wSecond = now.wMilliseconds = 0;
    DATE today = 0;
    SystemTimeToVariantTime(&now, &today);
    return today + 1.0;
}

inline std::string DateText(DATE date)
{
    SYSTEMTIME time;
    VariantTimeToSystemTime(date, &time);
    char text[16];
    snprintf(text, sizeof text, "%04d-%02d-%02d", time.wYear, time.wMonth, time.wDay);
    return text;
}

// True when one of the lines holds `text`.
inline bool AnyLineHas(const std::vector<std::string>& lines, const std::string& text)
{
    for (const std::string& line : lines)
        if (line.find(text) != std::string::npos)
            return true;
    return false;
}

// While it lives, the registry key of the server's class (found by
// registering the server once) is volatile: a registration, which writes
// lasting keys below it, fails as it would where the classes cannot be
// written. The server is left unregistered.
class UnregistrableServer {
public:
    UnregistrableServer(const QuiComTesting::ServerLibrary& server, const char* progId)
    {
        EXPECT_EQ(S_OK, server.Register()) << progId;
        m_key = "CLSID\\" + QuiComTesting::RegText(HKEY_CLASSES_ROOT, std::string(progId) + "\\CLSID");
        EXPECT_EQ(S_OK, server.Unregister()) << progId;
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, m_key.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                                 KEY_ALL_ACCESS, nullptr, &key, nullptr))
            << m_key;
        if (key)
            RegCloseKey(key);
    }
    ~UnregistrableServer() { SHDeleteKeyA(HKEY_CLASSES_ROOT, m_key.c_str()); }
    UnregistrableServer(const UnregistrableServer&) = delete;
    UnregistrableServer& operator=(const UnregistrableServer&) = delete;

private:
    std::string m_key;
};

} // namespace pim_test
