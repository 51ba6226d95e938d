#include "QuiResIds.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {
class Library : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_module = LoadLibraryA("QuiRes1033.dll");
        ASSERT_NE(nullptr, m_module) << "error " << GetLastError();
    }
    void TearDown() override
    {
        if (m_module)
            FreeLibrary(m_module);
    }
    std::string String(UINT id) const
    {
        char text[1024] = "";
        int n = LoadStringA(m_module, id, text, sizeof(text));
        return std::string(text, n);
    }
    std::string Resource(UINT id, const char* type) const
    {
        HRSRC found = FindResourceA(m_module, MAKEINTRESOURCEA(id), type);
        if (!found)
            return std::string();
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(m_module, found)));
        return std::string(bytes, SizeofResource(m_module, found));
    }

    HMODULE m_module = nullptr;
};

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// Checks the nesting of an item file: every element closed by its own tag,
// no "<" inside a value. Returns the tags in order of opening.
bool ItemFileTags(const std::string& text, std::vector<std::string>* opened)
{
    std::vector<std::string> stack;
    size_t pos = text.find('<');
    if (text.find_first_not_of(" \t\r\n") != pos)
        return false;
    while (pos != std::string::npos) {
        size_t close = text.find('>', pos);
        if (close == std::string::npos)
            return false;
        std::string tag = text.substr(pos + 1, close - pos - 1);
        if (!tag.empty() && tag[0] == '/') {
            if (stack.empty() || stack.back() != tag.substr(1))
                return false;
            stack.pop_back();
            if (stack.empty())
                return true;
        } else {
            stack.push_back(tag);
            opened->push_back(tag);
        }
        pos = text.find('<', close);
    }
    return false;
}
} // namespace

TEST_F(Library, HoldsTheShellStrings)
{
    const UINT ids[] = {
        IDS_TIP_HEADING, IDS_TIP_MISSING, IDS_TIP_FILE_ERROR, IDS_HELP_FOLDER, IDS_SPLASH_VERSION,
        IDS_UNEXPECTED_ERROR, IDS_NO_PDF_VIEWER, IDS_SPLASH_CONNECTORS, IDS_SPLASH_EDITION,
    };
    for (UINT id : ids)
        EXPECT_FALSE(String(id).empty()) << "string " << id;
    for (UINT id : {IDS_SPLASH_VERSION, IDS_SPLASH_EDITION}) {
        std::string format = String(id);
        EXPECT_EQ(1u, std::count(format.begin(), format.end(), '%')) << format;
        EXPECT_NE(std::string::npos, format.find("%s")) << format;
    }
}

TEST_F(Library, DialogsHaveTheirControls)
{
    struct Row {
        UINT dialog;
        std::vector<int> controls;
    } rows[] = {
        {IDD_ABOUTBOX, {IDOK}},
        {IDD_TIP, {IDOK, IDC_TIP_FRAME, IDC_TIP_STARTUP, IDC_TIP_NEXT, IDC_TIP_TEXT}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.dialog);
        HWND dlg = CreateDialogParamA(m_module, MAKEINTRESOURCEA(r.dialog), nullptr, QuietDialog, 0);
        ASSERT_NE(nullptr, dlg);
        for (int id : r.controls)
            EXPECT_NE(nullptr, GetDlgItem(dlg, id)) << "control " << id;
        DestroyWindow(dlg);
    }
    HWND tip = CreateDialogParamA(m_module, MAKEINTRESOURCEA(IDD_TIP), nullptr, QuietDialog, 0);
    char cls[32] = "";
    GetClassNameA(GetDlgItem(tip, IDC_TIP_STARTUP), cls, sizeof(cls));
    EXPECT_STREQ("Button", cls);
    EXPECT_EQ(static_cast<LONG>(BS_AUTOCHECKBOX),
              GetWindowLongA(GetDlgItem(tip, IDC_TIP_STARTUP), GWL_STYLE) & BS_TYPEMASK);
    DestroyWindow(tip);
}

TEST_F(Library, HoldsTheShellBitmaps)
{
    for (UINT id : {IDB_SPLASH, IDB_TIP_BULB}) {
        HBITMAP bitmap = LoadBitmapA(m_module, MAKEINTRESOURCEA(id));
        ASSERT_NE(nullptr, bitmap) << "bitmap " << id;
        BITMAP info = {};
        GetObjectA(bitmap, sizeof(info), &info);
        EXPECT_GT(info.bmWidth, 0);
        DeleteObject(bitmap);
    }
}

TEST_F(Library, CarriesTheDefaultItemFile)
{
    std::string file = Resource(IDR_DEFAULT_ITEMFILE, QUI_RES_KWDB_TYPE);
    ASSERT_FALSE(file.empty());
    std::vector<std::string> tags;
    ASSERT_TRUE(ItemFileTags(file, &tags)) << file;
    ASSERT_FALSE(tags.empty());
    EXPECT_EQ("ITEMS", tags[0]);
    const std::string todoCategory = "<TYPE>55861570-ea6a-11d2-a0e6-00104b9522aa</TYPE>";
    EXPECT_NE(std::string::npos, file.find(todoCategory));
    size_t items = std::count(tags.begin(), tags.end(), std::string("ITEM"));
    size_t types = std::count(tags.begin(), tags.end(), std::string("TYPE"));
    size_t names = std::count(tags.begin(), tags.end(), std::string("NAME"));
    EXPECT_GT(items, 0u);
    EXPECT_EQ(items, types);
    EXPECT_EQ(items, names);
}

// Each note window's table ticks and unticks its edition's panes with Ctrl
// and a digit, in the order the destination window stacks them, and names
// no pane the window does not make.
TEST_F(Library, NoteAcceleratorsToggleThePanes)
{
    struct Row {
        UINT table;
        std::vector<WORD> panes;  // Ctrl+1, Ctrl+2, ...
    } rows[] = {
        {IDR_NOTE_ACCELERATORS, {507, 510, 514}},
        {IDR_PALM_ACCELERATORS, {503, 504, 514}},
        {IDR_OUTLOOK_ACCELERATORS, {525, 519, 514}},
        {IDR_WEB_NOTE_ACCELERATORS, {507, 510, 514}},
        {IDR_MYTIME_NOTE_ACCELERATORS, {507, 31, 514}},
    };
    for (const Row& row : rows) {
        HACCEL table = LoadAcceleratorsA(m_module, MAKEINTRESOURCEA(row.table));
        ASSERT_NE(nullptr, table) << row.table;
        ACCEL entries[64];
        int count = CopyAcceleratorTableA(table, entries, 64);
        std::vector<WORD> panes(9, 0);
        for (const ACCEL* a = entries; a < entries + count; a++) {
            const bool ctrlOnly = (a->fVirt & (FVIRTKEY | FCONTROL | FSHIFT | FALT)) == (FVIRTKEY | FCONTROL);
            if (ctrlOnly && a->key >= '1' && a->key <= '9')
                panes[a->key - '1'] = a->cmd;
        }
        std::vector<WORD> expected = row.panes;
        expected.resize(9, 0);
        EXPECT_EQ(expected, panes) << row.table << ": the command of Ctrl+1 to Ctrl+9 (0: none)";
        DestroyAcceleratorTable(table);
    }
}

// The PIM notes ask 57695 before they file an empty note; the web editions'
// message for a missing catalogue entry is a string of its own.
TEST_F(Library, MessageOfTheEmptyNoteIsItsOwn)
{
    EXPECT_EQ(String(IDS_PIM_FILE_EMPTY_NOTE), String(57695));
    EXPECT_NE(String(57695), String(IDS_WEB_ENTRY_MISSING));
    EXPECT_FALSE(String(IDS_WEB_ENTRY_MISSING).empty());
}
