// The plain drop field: its prompt, its text and modified flag, its drop
// button, its tool tip.
#include "EditDrop.h"

#include "DropsTestSupport.h"
#include "FrameworkUtil.h"

using namespace drops_test;

namespace {

const UINT kFieldId = 300;   // string 300: "Due\nWhen it is due"
const COLORREF kPromptColor = PALETTERGB(0x80, 0x80, 0x80);

class EditDropTest : public DropFixture {
protected:
    void Make(CEditDrop& field, DWORD style = 0)
    {
        ASSERT_TRUE(field.Create(10, 10, 120, 0, &host, kFieldId, style));
        field.ShowWindow(SW_SHOW);
        field.SetPromptText(CString("Subject"));
    }
    CButton other;
};

} // namespace

TEST_F(EditDropTest, PromptShowsWithoutTheFocusOnly)
{
    CEditDrop field;
    Make(field);
    ASSERT_TRUE(other.Create("other", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(200, 10, 260, 30), &host, 2));
    EXPECT_TRUE(field.IsPromptShown());
    EXPECT_EQ("Subject", EditText(field));
    EXPECT_EQ("", std::string(field.GetText()));
    EXPECT_EQ(0, field.GetTextLength());
    EXPECT_EQ(kPromptColor, field.GetCurrentTextColor());

    field.GetEdit().SetFocus();
    EXPECT_FALSE(field.IsPromptShown());
    EXPECT_EQ("", EditText(field));
    EXPECT_EQ(CEditDrop::kNoColor, field.GetCurrentTextColor());
    EXPECT_FALSE(field.IsModified()) << "hiding the prompt is no change of the user's";

    other.SetFocus();
    EXPECT_TRUE(field.IsPromptShown());
    EXPECT_EQ("Subject", EditText(field));
}

TEST_F(EditDropTest, SetTextKeepsTheModifiedFlagWhileEditing)
{
    CEditDrop field;
    Make(field);
    ASSERT_TRUE(other.Create("other", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(200, 10, 260, 30), &host, 2));

    field.SetText("from the parser");
    EXPECT_FALSE(field.IsPromptShown());
    EXPECT_EQ("from the parser", std::string(field.GetText()));
    EXPECT_FALSE(field.IsModified());

    Type(field, "typed");
    EXPECT_TRUE(field.IsModified());
    field.SetText("");
    EXPECT_FALSE(field.IsPromptShown()) << "the field has the focus";
    EXPECT_EQ("", EditText(field));
    EXPECT_TRUE(field.IsModified());
    field.SetText("again");
    EXPECT_TRUE(field.IsModified());

    other.SetFocus();
    field.SetText("");
    EXPECT_TRUE(field.IsPromptShown());
    EXPECT_FALSE(field.IsModified()) << "emptied while not being edited";
}

TEST_F(EditDropTest, TextSetWhileFocusedIsNoUserChange)
{
    CEditDrop field;
    Make(field);
    field.GetEdit().SetFocus();
    field.SetText("set by the program");
    EXPECT_FALSE(field.IsModified());
    EXPECT_EQ("set by the program", std::string(field.GetText()));
}

TEST_F(EditDropTest, PromptTextArrivesWhereItCanShow)
{
    struct Row {
        bool focused;
        const char* text;
        const char* shown;
    } rows[] = {
        {false, "", "Where"},
        {false, "Home", "Home"},
        {true, "", ""},
    };
    for (const Row& row : rows) {
        CEditDrop field;
        ASSERT_TRUE(field.Create(10, 10, 120, 0, &host, kFieldId, 0));
        field.ShowWindow(SW_SHOW);
        field.SetText(row.text);
        if (row.focused)
            field.GetEdit().SetFocus();
        field.SetPromptText(CString("Where"));
        EXPECT_EQ(row.shown, EditText(field)) << row.text << (row.focused ? " focused" : "");
        host.SetFocus();
    }
}

TEST_F(EditDropTest, DropButtonAtTheRightEndUnlessStyled)
{
    CEditDrop plain, buttonless, right;
    Make(plain);
    Make(buttonless, CEditDrop::dropNoButton);
    Make(right, CEditDrop::dropRightAlign);

    ASSERT_TRUE(plain.GetDropButton().GetSafeHwnd());
    CRect client, button, edit;
    plain.GetClientRect(client);
    plain.GetDropButton().GetWindowRect(button);
    plain.ScreenToClient(button);
    plain.GetEdit().GetWindowRect(edit);
    plain.ScreenToClient(edit);
    EXPECT_EQ(client.right, button.right);
    EXPECT_EQ(button.left, edit.right);
    EXPECT_EQ(0, edit.left);
    EXPECT_EQ(DluToPixelsX(&host, 7), client.Height());

    EXPECT_EQ(nullptr, buttonless.GetDropButton().GetSafeHwnd());
    buttonless.GetEdit().GetWindowRect(edit);
    buttonless.GetClientRect(client);
    EXPECT_EQ(client.Width(), edit.Width());

    EXPECT_TRUE(right.GetEdit().GetStyle() & ES_RIGHT);
    EXPECT_FALSE(plain.GetEdit().GetStyle() & ES_RIGHT);
}

TEST_F(EditDropTest, SetDisabledDisablesTheDropButton)
{
    CEditDrop field;
    Make(field);
    field.SetDisabled(TRUE);
    EXPECT_FALSE(field.GetDropButton().IsWindowEnabled());
    field.SetDisabled(FALSE);
    EXPECT_TRUE(field.GetDropButton().IsWindowEnabled());
}

TEST_F(EditDropTest, NotifyAdaptorOrsFlagsAndIgnoresNone)
{
    CEditDrop field;
    Make(field);
    field.NotifyAdaptor(4);   // no adaptor yet: nothing to tell
    FlagsOnlyProp prop(&field);
    prop.SetFlags(8);
    field.NotifyAdaptor(0);
    EXPECT_EQ(8, prop.GetFlags());
    field.NotifyAdaptor(4);
    EXPECT_EQ(12, prop.GetFlags());
}

TEST_F(EditDropTest, ToolTipNamesTheWholeField)
{
    CEditDrop field;
    Make(field);
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = field.GetToolTipHwnd();
    info.hdr.idFrom = reinterpret_cast<UINT_PTR>(field.GetEdit().GetSafeHwnd());
    info.hdr.code = TTN_NEEDTEXTA;
    info.uFlags = TTF_IDISHWND;
    info.hinst = AfxGetInstanceHandle();
    field.SendMessage(WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ("When it is due", info.lpszText);
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(field.GetSafeHwnd()), info.hdr.idFrom);
    EXPECT_EQ(nullptr, info.hinst);
}

TEST_F(EditDropTest, SelectionIsLeftAloneWhileThePromptShows)
{
    CEditDrop field;
    Make(field);
    field.SetSel(0, 3, TRUE);
    int start = -1, end = -1;
    field.GetEdit().GetSel(start, end);
    EXPECT_EQ(start, end) << "the prompt is not selectable text";
    field.SetText("abcdef");
    field.SetSel(1, 4, FALSE);
    field.GetEdit().GetSel(start, end);
    EXPECT_EQ(1, start);
    EXPECT_EQ(4, end);
}

TEST_F(EditDropTest, ToolTipTextsOfTheApplication)
{
    CFlatButton check;
    ASSERT_TRUE(check.Create(0, 40, 0, CFlatButton::kindCheck, &host, 320));
    CButton plain;
    ASSERT_TRUE(plain.Create("plain", WS_CHILD, CRect(0, 80, 40, 100), &host, 321));
    struct Row {
        CWnd* tool;
        UINT id;
        BOOL checked;
        UINT flags;
        BOOL answered;
        const char* tip;
    } rows[] = {
        {&plain, 321, FALSE, TTF_IDISHWND, TRUE, "Only a tip"},
        {&plain, 300, FALSE, TTF_IDISHWND, TRUE, "When it is due"},
        {&check, 320, FALSE, TTF_IDISHWND, TRUE, "Normal tip"},
        {&check, 320, TRUE, TTF_IDISHWND, TRUE, "Alternative tip"},
        {&plain, 320, FALSE, TTF_IDISHWND, TRUE, "Normal tip\nAlternative tip"},
        {&plain, 321, FALSE, 0, FALSE, ""},
    };
    for (const Row& row : rows) {
        check.SetCheck(row.checked);
        NMTTDISPINFOA info = {};
        info.hdr.idFrom = reinterpret_cast<UINT_PTR>(row.tool->GetSafeHwnd());
        info.uFlags = row.flags;
        LRESULT result = 1;
        EXPECT_EQ(row.answered, app.GetToolTipText(row.id, &info.hdr, &result)) << row.id << " " << row.checked;
        EXPECT_STREQ(row.tip, row.answered ? info.lpszText : "") << row.id << " " << row.checked;
    }
}
