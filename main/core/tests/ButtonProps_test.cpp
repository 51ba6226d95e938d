// The button adaptors over real controls: the values they read and write,
// what they send while writing, and their flags.
#include "ButtonProps.h"
#include "ControlsTestSupport.h"
#include "FlatButton.h"

#include <string>

namespace {

COleVariant Bool(bool b)
{
    return COleVariant(static_cast<short>(b ? VARIANT_TRUE : VARIANT_FALSE), VT_BOOL);
}

// A value that converts to neither a truth value nor a number.
const COleVariant kNonsense("not a value");

// Runs f and answers whether it threw COleException (which it ends).
template <class F> bool ThrowsOleException(F f)
{
    try {
        f();
    } catch (COleException* e) {
        e->Delete();
        return true;
    }
    return false;
}

class ButtonProps : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.Create()); }

    CHostWnd host;
};

} // namespace

TEST_F(ButtonProps, CheckBoxTakesAnythingThatConvertsToATruthValue)
{
    CButton box;
    ASSERT_TRUE(box.Create("box", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, CRect(4, 4, 80, 20), &host, 300));
    CCheckBoxProp prop(&box);
    struct Row {
        COleVariant value;
        bool checked;
    } rows[] = {
        {Bool(true), true}, {Bool(false), false}, {COleVariant(5L), true}, {COleVariant(0L), false},
        {COleVariant(-1.5), true}, {COleVariant(0.0), false},
    };
    for (const Row& row : rows) {
        prop.SetValue(row.value);
        EXPECT_EQ(row.checked ? BST_CHECKED : BST_UNCHECKED, box.SendMessage(BM_GETCHECK));
        COleVariant out(COleVariant("left over"));
        prop.GetValue(&out);
        EXPECT_EQ(VT_BOOL, out.vt);
        EXPECT_EQ(row.checked ? VARIANT_TRUE : VARIANT_FALSE, out.boolVal);
    }
    prop.SetValue(Bool(true));
    EXPECT_TRUE(ThrowsOleException([&] { prop.SetValue(kNonsense); }));
    EXPECT_EQ(BST_CHECKED, box.SendMessage(BM_GETCHECK));
}

TEST_F(ButtonProps, CheckBoxKeepsOnlyTheUserBitOfItsFlags)
{
    CButton box;
    ASSERT_TRUE(box.Create("box", WS_CHILD | BS_AUTOCHECKBOX, CRect(4, 4, 80, 20), &host, 300));
    CCheckBoxProp prop(&box);
    EXPECT_EQ(0, prop.GetFlags());
    struct Row {
        int set;
        int got;
    } rows[] = {{4 | 8 | 16, 4}, {8, 0}, {4, 4}, {0, 0}};
    for (const Row& row : rows) {
        prop.SetFlags(row.set);
        EXPECT_EQ(row.got, prop.GetFlags()) << row.set;
    }
}

TEST_F(ButtonProps, CheckButtonTellsItsParentOnlyOfAChange)
{
    CFlatButton button;
    ASSERT_TRUE(button.Create(10, 10, 0, CFlatButton::kindCheck, &host, 150));
    CCheckButtonProp prop(&button);
    struct Row {
        bool value;
        size_t commands;   // seen by the parent so far
    } rows[] = {{false, 0}, {true, 1}, {true, 1}, {false, 2}};
    for (const Row& row : rows) {
        prop.SetValue(Bool(row.value));
        EXPECT_EQ(row.value, button.GetCheck() != FALSE);
        EXPECT_EQ(row.commands, host.commands.size()) << row.value;
        COleVariant out;
        prop.GetValue(&out);
        EXPECT_EQ(row.value ? VARIANT_TRUE : VARIANT_FALSE, out.boolVal);
    }
    CommandSeen clicked = {MAKEWPARAM(150, BN_CLICKED), reinterpret_cast<LPARAM>(button.GetSafeHwnd())};
    EXPECT_EQ(clicked, host.commands.front());
    EXPECT_TRUE(ThrowsOleException([&] { prop.SetValue(kNonsense); }));
    EXPECT_EQ(2u, host.commands.size());
}

TEST_F(ButtonProps, CheckButtonFlagsAreTheButtonsChangedMark)
{
    CFlatButton button;
    ASSERT_TRUE(button.Create(10, 10, 0, CFlatButton::kindCheck, &host, 150));
    CCheckButtonProp prop(&button);
    struct Row {
        int set;
        int got;
        bool changed;
    } rows[] = {{4 | 8, 4, true}, {8, 0, false}, {16 | 4, 4, true}, {0, 0, false}};
    for (const Row& row : rows) {
        prop.SetFlags(row.set);
        EXPECT_EQ(row.got, prop.GetFlags()) << row.set;
        EXPECT_EQ(row.changed, button.GetChanged() != FALSE) << row.set;
    }
    button.SetChanged(TRUE);
    EXPECT_EQ(4, prop.GetFlags());
}

TEST_F(ButtonProps, MenuButtonChoosesLikeTheUser)
{
    const UINT kNormal = 601, kHigh = 602;   // the two items of menu 501
    CFlatButton button;
    button.SetMenu(501);
    ASSERT_TRUE(button.Create(10, 10, 0, CFlatButton::kindPush, &host, 180,
                              CFlatButton::styleMenu | CFlatButton::styleMenuCaption));
    CMenuButtonProp prop(&button);
    struct Row {
        COleVariant value;
        UINT chosen;
        std::vector<UINT> posted;   // commands the parent gets
    } rows[] = {
        {COleVariant(static_cast<long>(kNormal)), kNormal, {}},   // already chosen
        {COleVariant(static_cast<long>(kHigh)), kHigh, {kHigh}},
        {COleVariant(static_cast<long>(999)), kHigh, {}},        // not in the menu
        {COleVariant("601"), kNormal, {kNormal}},
    };
    for (const Row& row : rows) {
        host.commands.clear();
        prop.SetValue(row.value);
        PumpPending();
        std::vector<UINT> posted;
        for (const CommandSeen& c : host.commands)
            posted.push_back(LOWORD(c.wParam));
        EXPECT_EQ(row.posted, posted) << row.chosen;
        COleVariant out;
        prop.GetValue(&out);
        EXPECT_EQ(VT_I4, out.vt);
        EXPECT_EQ(static_cast<LONG>(row.chosen), out.lVal);
    }
    EXPECT_TRUE(ThrowsOleException([&] { prop.SetValue(kNonsense); }));
    EXPECT_EQ(kNormal, button.GetChosenCommand());
}

TEST_F(ButtonProps, MenuButtonChangedStateApartFromItsFlags)
{
    CFlatButton button;
    button.SetMenu(501);
    ASSERT_TRUE(button.Create(10, 10, 0, CFlatButton::kindPush, &host, 180, CFlatButton::styleMenuCaption));
    CMenuButtonProp prop(&button);
    EXPECT_EQ(0, prop.ChangedState());
    button.SetChanged(TRUE);
    EXPECT_EQ(4, prop.ChangedState());
    EXPECT_EQ(0, prop.GetFlags());
    prop.AddFlags(8);
    EXPECT_EQ(8, prop.GetFlags());
    button.SetChanged(FALSE);
    EXPECT_EQ(0, prop.ChangedState());
}
