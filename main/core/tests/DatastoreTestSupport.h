// The test edition of the datastore tests and the fixture that gives each
// test its own registry, current folder and resource library.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "Datastore.h"
#include "DatastoreItem.h"
#include "QuiResIds.h"
#include "QuiTesting.h"
#include "TestName.h"
#include "RegistryBranch.h"
#include "WebTestSupport.h"

namespace datastore_test {


inline const char kCategoryType[] = "55861570-ea6a-11d2-a0e6-00104b9522aa";
inline const char kLineType[] = "7E0C1A00-0000-4000-8000-0000000000A1";

// An item of three columns, as an edition's category items are.
class LineItem : public CDatastoreItem {
public:
    LineItem() = default;
    QuiItem* clone(const QuiItemID& id) override
    {
        LineItem* item = new LineItem(*this);
        item->setID(id);
        return item;
    }
    void FromCsvLine(char* line) override
    {
        SetFieldsFromLine(line, 3);
        setDisplayName(GetFieldText(1));
    }

protected:
    LineItem(const LineItem& other) = default;
};

// An item that takes nothing from its line.
class EmptyItem : public LineItem {
public:
    QuiItem* clone(const QuiItemID& id) override
    {
        EmptyItem* item = new EmptyItem;
        item->setID(id);
        return item;
    }
    void FromCsvLine(char*) override {}
};

class TestDatastore : public CDatastore {
public:
    explicit TestDatastore(int type = 0) : m_type(type) {}

    long Connect() override { return 0; }
    long FileRecord(IDispatch*) override { return 0; }
    long OpenBackEnd() override { return 0; }
    long GetDefaultDuration() override { return 0; }
    long GetBackEndVersion() override { return 0; }
    BOOL GetFolderList(CStringArray&) override { return FALSE; }
    int SendWebAction(CWebActionJug*) override { return 1; }
    int GetType() override { return m_type; }

    void RegisterTypes() override
    {
        Register(kCategoryType, new LineItem);
        Register(kLineType, new LineItem);
        CDatastore::RegisterTypes();
    }

    QuiItem* AddItem(const char* type, const char* id, const char* name)
    {
        QuiItem* item = GetItemType(type)->newItem(QuiItemID(id));
        item->setDisplayName(name);
        item->setDirty(false);
        EXPECT_TRUE(GetItemList()->add(item)) << id;
        return item;
    }

    QuiItem* Item(const char* id) { return GetItemList()->get(QuiItemID(id)); }

private:
    void Register(const char* id, QuiItem* prototype)
    {
        ASSERT_TRUE(GetKestrel()->registerType(new QuiItemType(QuiItemID(id), id, prototype), QuiItemID()));
    }

    int m_type;
};

inline bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::vector<std::string> ItemIds(QuiItemList* items)
{
    std::vector<std::string> ids;
    int cursor = items->fetchBegin(nullptr);
    while (QuiItem* item = items->fetchNext(cursor))
        ids.push_back(item->getID().toString());
    items->fetchEnd(cursor);
    return ids;
}

// One ITEM record of an item file.
inline std::string Record(const char* type, const char* id, const char* name, const char* keywords, const char* flags)
{
    std::string record = "<ITEM>\n";
    if (*id)
        record += std::string("<ID>") + id + "</ID>\n";
    record += std::string("<TYPE>") + type + "</TYPE>\n<NAME>" + name + "</NAME>\n<FLAGS>" + flags + "</FLAGS>\n";
    record += std::string("<KEYWORDS><KEYWORD>") + keywords + "</KEYWORD></KEYWORDS>\n</ITEM>\n";
    return record;
}

inline std::string ItemFile(const std::string& records)
{
    return "<ITEMS>\n" + records + "</ITEMS>\n";
}

// A registry, a current folder and a resource library of the test's own.
class Datastore : public RegistryBranch {
protected:
    void SetUp() override
    {
        RegistryBranch::SetUp();
        m_library = LoadLibraryA("QuiRes1033.dll");
        ASSERT_NE(nullptr, m_library);
        m_previousResources = AfxGetResourceHandle();
        AfxSetResourceHandle(m_library);
        GetCurrentDirectoryA(MAX_PATH, m_home);
        char full[MAX_PATH];
        const std::string name = "datastore-" + QuiTesting::CurrentTestName("-");
        GetFullPathNameA(name.c_str(), MAX_PATH, full, nullptr);
        m_folder = full;
        RemoveFolder();
        ASSERT_TRUE(CreateDirectoryA(m_folder.c_str(), nullptr));
        ASSERT_TRUE(SetCurrentDirectoryA(m_folder.c_str()));
    }

    void TearDown() override
    {
        SetCurrentDirectoryA(m_home);
        RemoveFolder();
        AfxSetResourceHandle(m_previousResources);
        FreeLibrary(m_library);
        RegistryBranch::TearDown();
    }

    void RemoveFolder() { QuiTesting::RemoveFolder(m_folder); }

    static void SetSetting(const char* name, const std::string& value)
    {
        ASSERT_TRUE(QuiTesting::SetRegText(HKEY_CURRENT_USER, "Software\\Quillmate\\Client", name, value));
    }

    std::string ResourceItemFile()
    {
        HRSRC found = FindResourceA(m_library, MAKEINTRESOURCEA(IDR_DEFAULT_ITEMFILE), QUI_RES_KWDB_TYPE);
        EXPECT_NE(nullptr, found);
        if (!found)
            return std::string();
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(m_library, found)));
        return std::string(bytes, SizeofResource(m_library, found));
    }

    HMODULE m_library = nullptr;
    HINSTANCE m_previousResources = nullptr;
    char m_home[MAX_PATH] = {};
    std::string m_folder;
};

} // namespace datastore_test
