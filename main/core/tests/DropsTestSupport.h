// What the drop field tests share: an application that hands out a datastore
// of a few items and a parser manager over the real date package, and a
// visible host window for the fields.
#pragma once
#include <afxquill.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ControlsTestSupport.h"
#include "QuiTesting.h"
#include "DatastoreTestSupport.h"
#include "DestProp.h"
#include "ParseFixture.h"
#include "QuiParserMgr.h"
#include "QuillmateApp.h"

namespace drops_test {

using datastore_test::kCategoryType;

class DropTestApp : public CQuillmateApp {
public:
    CActionNote* CreateNote(BOOL) override { return nullptr; }
    CDatastore* GetDatastore() override { return datastore; }
    QuiParserMgr* GetParserMgr() override { return manager; }
    CDatastore* datastore = nullptr;
    QuiParserMgr* manager = nullptr;
};

// An adaptor that only keeps its flag word, to see what a field tells it.
class FlagsOnlyProp : public CDestProp {
public:
    explicit FlagsOnlyProp(CEditDrop* field) : CDestProp(field) { field->SetAdaptor(this); }
    void SetValue(const VARIANT&) override { ADD_FAILURE() << "SetValue is not expected"; }
    void GetValue(VARIANT*) override { ADD_FAILURE() << "GetValue is not expected"; }
};

class DropFixture : public RegistryBranch {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.Create(400, 300)) << GetLastError();
        RegistryBranch::SetUp();
        ASSERT_TRUE(QuiTesting::SetRegText(HKEY_CURRENT_USER, "Software\\Quillmate\\Client\\Parser\\Packages", "Date",
                                           parse_test::PackagePath("Curlew.dll")));
        kestrel = parse_test::SmallDatabase();
        manager.reset(new QuiParserMgr(kestrel.get()));
        manager->Initialize();
        manager->LoadItems();
        datastore.RegisterTypes();
        app.datastore = &datastore;
        app.manager = manager.get();
    }

    void TearDown() override
    {
        host.DestroyWindow();
        PumpPending();
        RegistryBranch::TearDown();
    }

    // A category item of the datastore, with keywords.
    QuiItem* AddCategory(const char* id, const char* name, std::initializer_list<const char*> keywords = {})
    {
        QuiItem* item = datastore.AddItem(kCategoryType, id, name);
        for (const char* keyword : keywords)
            item->keywordsAdd(keyword);
        item->setDirty(false);
        return item;
    }

    // The user typing into the field's edit child: focus, replace all.
    static void Type(CEditDrop& field, const char* text)
    {
        field.GetEdit().SetFocus();
        field.GetEdit().SetSel(0, -1);
        field.GetEdit().ReplaceSel(text);
    }

    // A key pressed while the window has the focus, through the message loop.
    static void Press(HWND to, UINT key, bool alt = false)
    {
        ::PostMessage(to, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, alt ? (1 << 29) : 0);
        PumpPending();
    }

    std::unique_ptr<QuiKestrel> kestrel;
    std::unique_ptr<QuiParserMgr> manager;
    datastore_test::TestDatastore datastore;
    DropTestApp app;
    CHostWnd host;
};

inline std::string EditText(CEditDrop& field)
{
    CString text;
    field.GetEdit().GetWindowText(text);
    return text.GetString();
}

} // namespace drops_test
