// The New Contact sheet as the Palm control shows it: through the library's
// NewContact operation, owned by the control's window, driven through its
// controls, and what reaches the address book.
#include <gtest/gtest.h>

#include <functional>

#include "PalmDataFixture.h"
#include "ContactPages.h"
#include "PalmDataIds.h"

using namespace PalmTesting;

namespace {

// The calling control: a framework window that acts on the sheet once the
// sheet's own loop runs.
class ControlWindow : public CWnd {
public:
    std::function<void(HWND sheet)> drive;

    bool Make()
    {
        return CreateEx(0, nullptr, "Palm control", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr) != FALSE;
    }

protected:
    afx_msg LRESULT OnDrive(WPARAM, LPARAM)
    {
        HWND sheet = FindWindowA("#32770", "New Contact");
        EXPECT_NE(nullptr, sheet) << "the sheet is not up";
        if (sheet && drive)
            drive(sheet);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ControlWindow, CWnd)
    ON_MESSAGE(WM_APP, OnDrive)
END_MESSAGE_MAP()

HWND Page(HWND sheet)
{
    return PropSheet_GetCurrentPageHwnd(sheet);
}

std::string ItemText(HWND window, int id)
{
    char text[256] = "";
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

std::string ListText(HWND window, int id)
{
    char text[256] = "";
    const LRESULT selected = SendDlgItemMessageA(window, id, CB_GETCURSEL, 0, 0);
    if (selected != CB_ERR)
        SendDlgItemMessageA(window, id, CB_GETLBTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(text));
    return selected == CB_ERR ? "<none>" : text;
}

CRect PlaceIn(HWND sheet, HWND control)
{
    CRect place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

} // namespace

class NewContactSheetTest : public PalmDataTest, public ::testing::WithParamInterface<const char*> {
protected:
    NewContactSheetTest()
    {
        desktop.EditTable<CAddressTable>(ZoeFile(ADDRESS_FILE), [](CAddressTable& t) {
            AddCategories(t, {"QuickList", "Business"});
            t.SetCustomLabel(1, "Anniversary Date");
            t.SetCustomLabel(2, "Spouse");
        });
        // Once the library has made a window its thread state keeps it in
        // the process, with the user it found when loaded: every test runs in
        // a process of its own (as ctest runs them).
        EXPECT_EQ(nullptr, GetModuleHandleA(GetParam())) << "loaded by an earlier test of this process";
        library.reset(new LoadedModule(GetParam()));
    }

    // Runs NewContact with the control as the owner; `drive` acts on the sheet.
    int Run(const std::function<void(HWND)>& drive)
    {
        EXPECT_TRUE(control.Make());
        control.drive = drive;
        control.PostMessage(WM_APP);
        CONTACTITEM request;
        request.owner = &control;
        return library->Call("NewContact", &request);
    }

    std::string AddressRecords() const { return Records(DumpZoe(ADDRESS_FILE)); }

    std::unique_ptr<LoadedModule> library;
    ControlWindow control;
};

INSTANTIATE_TEST_SUITE_P(Modules, NewContactSheetTest, ::testing::Values("Lark.dll", "Linnet.dll"));

TEST_P(NewContactSheetTest, FilledPagesBecomeTheContact)
{
    ASSERT_TRUE(library->Loaded());
    bool driven = false;
    EXPECT_EQ(1, Run([&](HWND sheet) {
        driven = true;
        EXPECT_EQ(control.m_hWnd, GetWindow(sheet, GW_OWNER));
        EXPECT_FALSE(IsWindowEnabled(control.m_hWnd)) << "the control waits for the sheet";
        HWND name = Page(sheet);
        SetDlgItemTextA(name, IDC_LAST_NAME, "Lee");
        SetDlgItemTextA(name, IDC_FIRST_NAME, "Ann \"Annie\"");
        SetDlgItemTextA(name, IDC_TITLE, "Boss");
        SetDlgItemTextA(name, IDC_COMPANY, "Acme");
        const int phones[] = {IDC_PHONE1, IDC_PHONE2, IDC_PHONE3, IDC_PHONE4, IDC_PHONE5};
        for (int i = 0; i < 5; ++i)
            SetDlgItemTextA(name, phones[i], ("p" + Number(i + 1)).c_str());
        SendDlgItemMessageA(name, IDC_LABEL2, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);   // no label: Work
        SendDlgItemMessageA(name, IDC_LABEL3, CB_SETCURSEL, 7, 0);                          // Mobile:
        CheckRadioButton(name, IDC_SHOWN1, IDC_SHOWN5, IDC_SHOWN4);
        CheckDlgButton(sheet, IDC_CONTACT_PRIVATE, BST_CHECKED);
        SendDlgItemMessageA(sheet, IDC_CONTACT_CATEGORY, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>("QuickList"));
        ASSERT_TRUE(PropSheet_SetCurSel(sheet, nullptr, 1));
        HWND address = Page(sheet);
        SetDlgItemTextA(address, IDC_ADDRESS, "1 Main St");
        SetDlgItemTextA(address, IDC_CITY, "Springfield");
        SetDlgItemTextA(address, IDC_STATE, "IL");
        SetDlgItemTextA(address, IDC_ZIP, "62701");
        SetDlgItemTextA(address, IDC_COUNTRY, "USA");
        SetDlgItemTextA(address, IDC_CUSTOM1, "c1");
        SetDlgItemTextA(address, IDC_CUSTOM4, "c4");
        ASSERT_TRUE(PropSheet_SetCurSel(sheet, nullptr, 2));
        SetDlgItemTextA(Page(sheet), IDC_NOTE, "met at the fair");
        PropSheet_PressButton(sheet, PSBTN_OK);
    }));
    EXPECT_TRUE(driven);
    EXPECT_TRUE(IsWindowEnabled(control.m_hWnd));
    EXPECT_EQ("record id=1 category=1 private=1 deleted=0 archived=0 name=\"Lee\" first=\"Ann \\\"Annie\\\"\" "
              "title=\"Boss\" company=\"Acme\" address=\"1 Main St\" city=\"Springfield\" state=\"IL\" zip=\"62701\" "
              "country=\"USA\" note=\"met at the fair\" phone1=\"p1\" label1=0 phone2=\"p2\" label2=0 phone3=\"p3\" "
              "label3=7 phone4=\"p4\" label4=3 phone5=\"p5\" label5=4 custom1=\"c1\" custom2=\"\" custom3=\"\" "
              "custom4=\"c4\" display=4\r\n",
              AddressRecords());
}

TEST_P(NewContactSheetTest, PagesStartAsTheUserExpects)
{
    ASSERT_TRUE(library->Loaded());
    EXPECT_EQ(1, Run([&](HWND sheet) {
        HWND name = Page(sheet);
        const char* starts[] = {"Work:", "Home:", "Fax:", "Other:", "E-Mail:"};
        const int labels[] = {IDC_LABEL1, IDC_LABEL2, IDC_LABEL3, IDC_LABEL4, IDC_LABEL5};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(starts[i], ListText(name, labels[i])) << i;
            EXPECT_EQ(8, SendDlgItemMessageA(name, labels[i], CB_GETCOUNT, 0, 0)) << i;
        }
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(name, IDC_SHOWN1));
        EXPECT_EQ("", ItemText(name, IDC_LAST_NAME));
        EXPECT_EQ("Unfiled", ListText(sheet, IDC_CONTACT_CATEGORY));
        EXPECT_EQ(3, SendDlgItemMessageA(sheet, IDC_CONTACT_CATEGORY, CB_GETCOUNT, 0, 0));
        EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(sheet, IDC_CONTACT_PRIVATE));
        // A company alone is a contact; the pages never opened give their start.
        SetDlgItemTextA(name, IDC_COMPANY, "Acme");
        PropSheet_PressButton(sheet, PSBTN_OK);
    }));
    EXPECT_EQ("record id=1 category=0 private=0 deleted=0 archived=0 name=\"\" first=\"\" title=\"\" company=\"Acme\" "
              "address=\"\" city=\"\" state=\"\" zip=\"\" country=\"\" note=\"\" phone1=\"\" label1=0 phone2=\"\" "
              "label2=1 phone3=\"\" label3=2 phone4=\"\" label4=3 phone5=\"\" label5=4 custom1=\"\" custom2=\"\" "
              "custom3=\"\" custom4=\"\" display=1\r\n",
              AddressRecords());
}

TEST_P(NewContactSheetTest, CustomLabelsAreCutToEightCharacters)
{
    ASSERT_TRUE(library->Loaded());
    Run([&](HWND sheet) {
        ASSERT_TRUE(PropSheet_SetCurSel(sheet, nullptr, 1));
        HWND address = Page(sheet);
        EXPECT_EQ("Annivers...:", ItemText(address, IDC_CUSTOM1_LABEL));
        EXPECT_EQ("Spouse:", ItemText(address, IDC_CUSTOM2_LABEL));
        EXPECT_EQ("Custom 3:", ItemText(address, IDC_CUSTOM3_LABEL));
        EXPECT_EQ("Custom 4:", ItemText(address, IDC_CUSTOM4_LABEL));
        PropSheet_PressButton(sheet, PSBTN_CANCEL);
    });
}

TEST_P(NewContactSheetTest, TheSheetsOwnColumn)
{
    ASSERT_TRUE(library->Loaded());
    Run([&](HWND sheet) {
        CRect frame;
        GetWindowRect(sheet, &frame);
        const int x = frame.right - frame.left - 100;
        HWND box = GetDlgItem(sheet, IDC_CONTACT_PRIVATE);
        ASSERT_NE(nullptr, box);
        EXPECT_EQ("&Private", ItemText(sheet, IDC_CONTACT_PRIVATE));
        const CRect boxPlace = PlaceIn(sheet, box);
        EXPECT_EQ(x, boxPlace.left);
        EXPECT_EQ(312, boxPlace.top);
        EXPECT_EQ(90, boxPlace.right - boxPlace.left);
        HWND categories = GetDlgItem(sheet, IDC_CONTACT_CATEGORY);
        ASSERT_NE(nullptr, categories);
        EXPECT_EQ(x, PlaceIn(sheet, categories).left);
        EXPECT_EQ(285, PlaceIn(sheet, categories).top);
        EXPECT_EQ(static_cast<DWORD>(CBS_DROPDOWN | CBS_SORT),
                  static_cast<DWORD>(GetWindowLongA(categories, GWL_STYLE)) & (CBS_DROPDOWN | CBS_SORT | CBS_DROPDOWNLIST));
        int below = -1;
        for (int id : {IDOK, IDCANCEL, IDHELP}) {
            HWND button = GetDlgItem(sheet, id);
            ASSERT_NE(nullptr, button) << id;
            const CRect place = PlaceIn(sheet, button);
            EXPECT_EQ(x, place.left) << id;
            if (below >= 0) {
                EXPECT_EQ(below + 10, place.top) << id;
            }
            below = place.bottom;
        }
        EXPECT_EQ(IDOK, LOWORD(SendMessageA(sheet, DM_GETDEFID, 0, 0)));
        HWND apply = GetDlgItem(sheet, 0x3021);
        EXPECT_TRUE(!apply || !IsWindowVisible(apply)) << "no Apply button";
        EXPECT_EQ(static_cast<DWORD>(HELP_NEW_CONTACT), GetWindowContextHelpId(sheet));
        PropSheet_PressButton(sheet, PSBTN_CANCEL);
    });
}

TEST_P(NewContactSheetTest, CancelClosingOrNoNameWriteNothing)
{
    ASSERT_TRUE(library->Loaded());
    const std::string before = BytesOfZoe(ADDRESS_FILE);
    struct Row {
        const char* name;
        const char* lastName;
        std::function<void(HWND)> end;
    } rows[] = {
        {"Cancel", "Lee", [](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_CANCEL); }},
        {"closed", "Lee", [](HWND sheet) { PostMessageA(sheet, WM_CLOSE, 0, 0); }},
        {"OK without name or company", "", [](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_OK); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        control.DestroyWindow();
        EXPECT_EQ(0, Run([&](HWND sheet) {
            SetDlgItemTextA(Page(sheet), IDC_LAST_NAME, row.lastName);
            SetDlgItemTextA(Page(sheet), IDC_TITLE, "Boss");
            SetDlgItemTextA(Page(sheet), IDC_PHONE1, "555-1");
            row.end(sheet);
        }));
        EXPECT_EQ(before, BytesOfZoe(ADDRESS_FILE));
    }
}

TEST_P(NewContactSheetTest, WithoutUnfiledTheFirstCategoryIsChosen)
{
    library.reset();
    desktop.EditTable<CAddressTable>(ZoeFile(ADDRESS_FILE),
                                     [](CAddressTable& t) { t.GetCategoryManager()->FindName("Unfiled")->SetName("Zoo"); });
    library.reset(new LoadedModule(GetParam()));
    ASSERT_TRUE(library->Loaded());
    EXPECT_EQ(1, Run([&](HWND sheet) {
        EXPECT_EQ("Business", ListText(sheet, IDC_CONTACT_CATEGORY)) << "the list is sorted";
        SetDlgItemTextA(Page(sheet), IDC_FIRST_NAME, "Ann");
        PropSheet_PressButton(sheet, PSBTN_OK);
    }));
    EXPECT_NE(std::string::npos, AddressRecords().find("category=2 ")) << AddressRecords();
}

TEST(NewContactHelp, HelpFileBesideTheProgram)
{
    struct Row {
        const char* program;
        const char* file;
    } rows[] = {
        {"C:\\Program Files\\Quillmate\\Quillmate.exe", "C:\\Program Files\\Quillmate\\Quillmate for Palm Desktop.hlp"},
        {"C:\\Quillmate.exe", "C:\\Quillmate for Palm Desktop.hlp"},
        {"Quillmate.exe", "Quillmate for Palm Desktop.hlp"},
        {"", "Quillmate for Palm Desktop.hlp"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.file, std::string(ContactHelpFile(row.program))) << row.program;
}
