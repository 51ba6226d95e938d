// The parser manager over the real packages, for the tests of the manager
// and of the sinks: the packages named in a registry branch of the test's
// own, the small item database, and an application that hands the manager out.
#pragma once
#include "ParseFixture.h"
#include "QuiTesting.h"
#include "QuiParserMgr.h"
#include "QuillmateApp.h"
#include "RegistryBranch.h"

#include <memory>
#include <string>

namespace parse_test {

const char kDateType[] = "A794C523-EEA6-11d2-A0E8-00104B9522AA";
const char kPackagesKey[] = "Software\\Quillmate\\Client\\Parser\\Packages";

inline void SetPackage(const char* name, const std::string& file)
{
    ASSERT_TRUE(QuiTesting::SetRegText(HKEY_CURRENT_USER, kPackagesKey, name, file));
}

// The application as the one-off date parse finds it: it hands out the
// test's parser manager.
class TestApp : public CQuillmateApp {
public:
    CActionNote* CreateNote(BOOL) override { return nullptr; }
    QuiParserMgr* GetParserMgr() override { return manager; }
    QuiParserMgr* manager = nullptr;
};

class ParserMgrTest : public RegistryBranch {
protected:
    void SetUp() override
    {
        RegistryBranch::SetUp();
        kestrel = SmallDatabase();
    }

    // Date from the date package, Alias by its default; the database loaded.
    QuiParserMgr* Ready()
    {
        SetPackage("Date", PackagePath("Curlew.dll"));
        manager.reset(new QuiParserMgr(kestrel.get()));
        manager->Initialize();
        manager->LoadItems();
        return manager.get();
    }

    QuiItemType* Type(const char* id) { return kestrel->getTypeList()->get(QuiItemID(id)); }

    // A new context in which `sink` receives the dates.
    QuiPrsContext* DateContext(QuiParseResultSink* sink)
    {
        QuiPrsContext* context = nullptr;
        EXPECT_EQ(0, manager->CreateContext(&context));
        EXPECT_TRUE(manager->RegisterSink("Date", context, Type(kDateType), sink));
        return context;
    }

    std::unique_ptr<QuiKestrel> kestrel;
    std::unique_ptr<QuiParserMgr> manager;
};

} // namespace parse_test
