// The item list field: the entries it offers, the names it shows, the IDs it
// reads back, and its drop list.
#include "MultiDrop.h"

#include "DropsTestSupport.h"
#include "FrameworkUtil.h"

using namespace drops_test;

namespace {

std::vector<std::string> Ids(CMultiDrop& field)
{
    CStringArray ids;
    field.GetItemIDs(ids);
    std::vector<std::string> out;
    for (int i = 0; i < ids.GetSize(); i++)
        out.push_back(ids[i].GetString());
    return out;
}

std::vector<std::string> Entries(CMultiDrop& field)
{
    std::vector<std::string> out;
    CListBox& list = field.GetDropList()->GetList();
    for (int i = 0; i < list.GetCount(); i++) {
        CString text;
        list.GetText(i, text);
        out.push_back(text.GetString());
    }
    return out;
}

CStringArray Array(std::initializer_list<const char*> texts)
{
    CStringArray a;
    for (const char* t : texts)
        a.Add(t);
    return a;
}

class MultiDropTest : public DropFixture {
protected:
    void SetUp() override
    {
        DropFixture::SetUp();
        AddCategory("b", "Business", {"meeting", " work "});
        AddCategory("p", "Personal");
        AddCategory("h", "Holiday");
    }
    void Make(CMultiDrop& field, DWORD style = 0)
    {
        ASSERT_TRUE(field.Create(10, 10, 150, 0, &host, 303, style));
        field.ShowWindow(SW_SHOW);
    }
    // The fixture's check list field offering the items, dropped down.
    CQuillmateCheckListDrop* Open(std::initializer_list<const char*> ids)
    {
        Make(field);
        prop.reset(new FlagsOnlyProp(&field));
        field.SetItems(Array(ids));
        field.DropDown();
        return field.GetDropList();
    }
    CMultiDrop field;
    std::unique_ptr<FlagsOnlyProp> prop;
};

} // namespace

TEST_F(MultiDropTest, SetItemsOffersTheKnownItems)
{
    CMultiDrop field;
    Make(field);
    field.SetItems(Array({"p", "nobody", "b"}));
    ASSERT_NE(nullptr, field.GetDropList());
    EXPECT_EQ((std::vector<std::string>{"Business (meeting, work)", "Personal"}), Entries(field));
    EXPECT_FALSE(field.GetEdit().IsWindowEnabled()) << "the field is filled by picking";
    field.SetItems(Array({"h"}));
    EXPECT_EQ((std::vector<std::string>{"Holiday"}), Entries(field));
}

TEST_F(MultiDropTest, CheckedItemsNameTheFieldWithoutTellingTheAdaptor)
{
    CMultiDrop field;
    Make(field);
    FlagsOnlyProp prop(&field);
    field.SetItems(Array({"b", "p", "h"}));
    int marker = 0;
    field.CheckItem("p", &marker, TRUE);
    field.CheckItem("b", nullptr, FALSE);
    field.CheckItem("nobody", nullptr, FALSE);
    EXPECT_EQ("Business;Personal", std::string(field.GetText()));
    EXPECT_EQ((std::vector<std::string>{"b", "p"}), Ids(field));
    EXPECT_EQ(2, field.GetCheckedCount());
    EXPECT_EQ(&marker, field.GetItemData("p"));
    EXPECT_EQ(nullptr, field.GetItemData("b"));
    EXPECT_EQ(nullptr, field.GetItemData("nobody"));
    EXPECT_EQ(0, prop.GetFlags());

    field.UncheckItem("p", TRUE);
    EXPECT_EQ("Business", std::string(field.GetText()));
    EXPECT_EQ(nullptr, field.GetItemData("p"));
    EXPECT_EQ(0, prop.GetFlags());
}

TEST_F(MultiDropTest, ItemIdsSurviveGapsAndStrangers)
{
    CMultiDrop field;
    Make(field);
    field.SetItems(Array({"b", "p", "h"}));
    struct Row {
        const char* text;
        std::vector<std::string> ids;
    } rows[] = {
        {"Holiday;;Business", {"h", "b"}},
        {"Stranger;Personal", {"p"}},
        {";personal;", {"p"}},
        {"", {}},
        {"Business (meeting, work)", {}},
    };
    for (const Row& row : rows) {
        field.SetText(row.text);
        EXPECT_EQ(row.ids, Ids(field)) << row.text;
    }
}

TEST_F(MultiDropTest, AnItemWithKeywordsIsFoundByItsName)
{
    CMultiDrop field;
    Make(field);
    field.SetItems(Array({"b", "p"}));
    EXPECT_EQ(0, field.FindItem("b"));
    field.CheckItem("b", nullptr, FALSE);
    EXPECT_EQ("Business", std::string(field.GetText()));
    EXPECT_EQ((std::vector<std::string>{"b"}), Ids(field));
}

TEST_F(MultiDropTest, ListHeightFollowsTheEntries)
{
    for (int i = 0; i < 100; i++) {
        std::string id = "x" + std::to_string(i);
        AddCategory(id.c_str(), ("Item " + std::to_string(1000 + i)).c_str());
    }
    struct Row {
        int entries;
        int rows;        // item heights; 0: the 180-pixel cap
    } rows[] = {
        {100, 0},
        {1, 1},
        {0, 3},
    };
    for (const Row& row : rows) {
        CMultiDrop field;
        Make(field);
        CStringArray ids;
        for (int i = 0; i < row.entries; i++)
            ids.Add(("x" + std::to_string(i)).c_str());
        field.SetItems(ids);
        field.DropDown();
        CListBox& list = field.GetDropList()->GetList();
        int itemHeight = list.GetItemHeight(0);
        ASSERT_GE(itemHeight, 5);
        CRect client;
        list.GetClientRect(client);
        EXPECT_EQ(row.rows ? row.rows * itemHeight : 180, client.Height()) << row.entries << " entries";
        CRect popup, listRect;
        field.GetDropList()->GetClientRect(popup);
        list.GetWindowRect(listRect);
        EXPECT_EQ(listRect.Height() + 6, popup.Height());
        CRect fieldRect, popupRect;
        field.GetWindowRect(fieldRect);
        field.GetDropList()->GetWindowRect(popupRect);
        EXPECT_EQ(fieldRect.left, popupRect.left);
        EXPECT_EQ(fieldRect.bottom, popupRect.top);
    }
}

TEST_F(MultiDropTest, DropDownChoicesTellTheAdaptor)
{
    CMultiDrop field;
    Make(field);
    FlagsOnlyProp prop(&field);
    field.SetItems(Array({"b", "p", "h"}));
    field.CheckItem("h", nullptr, FALSE);
    field.DropDown();
    CQuillmateCheckListDrop* drop = field.GetDropList();
    ASSERT_TRUE(drop->IsWindowVisible());
    EXPECT_TRUE(drop->HasChosenEntries());
    EXPECT_TRUE(drop->IsChosen(field.FindItem("h"))) << "the field's names come checked";
    EXPECT_FALSE(field.GetDropButton().IsWindowEnabled());

    drop->Choose(field.FindItem("p"), TRUE);
    Press(drop->GetList().GetSafeHwnd(), VK_RETURN);
    EXPECT_FALSE(drop->IsWindowVisible());
    EXPECT_EQ("Holiday;Personal", std::string(field.GetText()));
    EXPECT_EQ(CDestProp::FLAG_USER_CHANGED, prop.GetFlags());
    EXPECT_TRUE(field.GetDropButton().IsWindowEnabled());
}

TEST_F(MultiDropTest, CommitTellsTheAdaptorOnlyOfAChange)
{
    struct Row {
        std::vector<const char*> checked;
        int flags;
    } rows[] = {
        {{"b"}, 0},
        {{"b", "p"}, CDestProp::FLAG_USER_CHANGED},
        {{}, CDestProp::FLAG_USER_CHANGED | CDestProp::FLAG_USER_EMPTIED},
    };
    for (const Row& row : rows) {
        CMultiDrop field;
        Make(field);
        FlagsOnlyProp prop(&field);
        field.SetItems(Array({"b", "p"}));
        field.CheckItem("b", nullptr, FALSE);
        CQuillmateCheckListDrop* drop = field.GetDropList();
        for (int i = 0; i < drop->GetList().GetCount(); i++)
            drop->Choose(i, FALSE);
        for (const char* id : row.checked)
            drop->Choose(field.FindItem(id), TRUE);
        drop->Commit(CDestProp::FLAG_USER_CHANGED);
        EXPECT_EQ(row.flags, prop.GetFlags()) << row.checked.size() << " checked";
    }
}

TEST_F(MultiDropTest, EscapeLeavesTheFieldAsItWas)
{
    CQuillmateCheckListDrop* drop = Open({"b", "p"});
    drop->Choose(0, TRUE);
    Press(drop->GetList().GetSafeHwnd(), VK_ESCAPE);
    EXPECT_FALSE(drop->IsWindowVisible());
    EXPECT_TRUE(drop->IsCancelled());
    EXPECT_EQ("", std::string(field.GetText()));
    EXPECT_EQ(0, prop->GetFlags());
}

TEST_F(MultiDropTest, ReturnWithNothingCheckedTakesTheSelection)
{
    CQuillmateCheckListDrop* drop = Open({"b", "p"});
    drop->GetList().SetCurSel(field.FindItem("p"));
    Press(drop->GetList().GetSafeHwnd(), VK_RETURN);
    EXPECT_EQ("Personal", std::string(field.GetText()));
    EXPECT_EQ(CDestProp::FLAG_USER_CHANGED, prop->GetFlags());
}

TEST_F(MultiDropTest, SingleChoiceListSelectsTheFirstName)
{
    CMultiDrop field;
    Make(field, CEditDrop::dropSingleChoice);
    field.SetItems(Array({"b", "p", "h"}));
    EXPECT_FALSE(field.GetDropList()->IsCheckList());
    field.CheckItem("p", nullptr, FALSE);
    field.CheckItem("h", nullptr, FALSE);
    EXPECT_EQ("Holiday", std::string(field.GetText())) << "one choice at a time";
    field.SetText("Personal;Holiday");
    field.DropDown();
    EXPECT_EQ(field.FindItem("p"), field.GetDropList()->GetList().GetCurSel());
    field.UncheckItem("p", FALSE);
    EXPECT_EQ(-1, field.GetDropList()->GetList().GetCurSel());
}

TEST_F(MultiDropTest, KeysOpenAndEmptyTheField)
{
    CMultiDrop field;
    Make(field);
    FlagsOnlyProp prop(&field);
    field.SetItems(Array({"b", "p"}));
    field.CheckItem("b", nullptr, FALSE);
    field.SetFocus();
    EXPECT_TRUE(field.GetEdit().GetExStyle() & WS_EX_STATICEDGE);
    Press(field.GetSafeHwnd(), VK_BACK);
    EXPECT_EQ("", std::string(field.GetText()));
    EXPECT_EQ(CDestProp::FLAG_USER_CHANGED | CDestProp::FLAG_USER_EMPTIED, prop.GetFlags());
    Press(field.GetSafeHwnd(), VK_RETURN);
    EXPECT_TRUE(field.GetDropList()->IsWindowVisible());
}

TEST_F(MultiDropTest, ParseTextClearsTheNamedChecks)
{
    CMultiDrop field;
    Make(field);
    field.SetItems(Array({"b", "p", "h"}));
    field.CheckItem("b", nullptr, FALSE);
    field.CheckItem("p", nullptr, FALSE);
    field.CheckItem("h", nullptr, FALSE);
    field.SetText("Business;Holiday");
    field.ParseText();
    EXPECT_EQ(1, field.GetCheckedCount());
    EXPECT_TRUE(field.GetDropList()->IsChosen(field.FindItem("p")));
}

TEST_F(MultiDropTest, FocusLeavingTheListCommitsUnlessCancelled)
{
    CButton other;
    ASSERT_TRUE(other.Create("other", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(300, 10, 360, 30), &host, 2));
    CQuillmateCheckListDrop* drop = Open({"b", "p"});
    ASSERT_TRUE(IsFocusWithin(drop));
    drop->Choose(field.FindItem("b"), TRUE);
    host.SetActiveWindow();
    other.SetFocus();
    EXPECT_FALSE(drop->IsWindowVisible());
    EXPECT_EQ("Business", std::string(field.GetText()));
    EXPECT_EQ(CDestProp::FLAG_USER_CHANGED, prop->GetFlags());
}

// The entry records go with the list, whichever window goes first: the
// window owning both takes the pop-up down before the field.
TEST_F(MultiDropTest, EntriesGoWithTheListWhicheverWindowGoesFirst)
{
    enum Order { ownerFirst, popupFirst, fieldFirst };
    struct Row {
        const char* what;
        Order order;
    } rows[] = {
        {"the owning window goes", ownerFirst},
        {"the pop-up goes before the field", popupFirst},
        {"the field goes", fieldFirst},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (!host.GetSafeHwnd()) {
            ASSERT_TRUE(host.Create(400, 300));
        }
        const int before = CMultiDrop::Entry::GetLiveCount();
        {
            CMultiDrop local;
            Make(local);
            // Offering items makes the (hidden) pop-up and its list.
            local.SetItems(Array({"b", "p", "h"}));
            ASSERT_NE(nullptr, local.GetDropList());
            ASSERT_EQ(before + 3, CMultiDrop::Entry::GetLiveCount());
            switch (row.order) {
            case ownerFirst:
                host.DestroyWindow();
                break;
            case popupFirst:
                local.GetDropList()->DestroyWindow();
                local.DestroyWindow();
                break;
            case fieldFirst:
                local.DestroyWindow();
                break;
            }
            PumpPending();
            EXPECT_FALSE(local.GetSafeHwnd());
            EXPECT_EQ(before, CMultiDrop::Entry::GetLiveCount());
        }
        EXPECT_EQ(before, CMultiDrop::Entry::GetLiveCount());
    }
}
