// The selection grab on this thread's own windows: the clipboard keeper's
// copies by kind, the grab of an edit box's selection, and what the grab
// leaves on the clipboard whatever happens.
#include "GrabTestSupport.h"

#include <afxquill.h>

#include "QuiTesting.h"
#include "SelectionGrab.h"

using namespace grab_test;

namespace {

void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

class SelectionGrab : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        frame = ::CreateWindowExA(0, "STATIC", "front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 300, 80, nullptr,
                                  nullptr, nullptr, nullptr);
        edit = ::CreateWindowExA(0, "EDIT", "alpha beta gamma", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 5, 5, 280, 24,
                                 frame, nullptr, nullptr, nullptr);
        ::SetForegroundWindow(frame);
        ::SetFocus(edit);
        Pump();
    }

    void TearDown() override
    {
        ::DestroyWindow(frame);
        ::DestroyWindow(owner);
        Pump();
    }

    HWND owner = nullptr;
    HWND frame = nullptr;
    HWND edit = nullptr;
};

TEST_F(SelectionGrab, EveryKindOfFormatComesBackAsItWas)
{
    ASSERT_TRUE(::OpenClipboard(owner));
    ::EmptyClipboard();
    ::SetClipboardData(CF_TEXT, Block(kBefore, sizeof kBefore));
    ::SetClipboardData(CF_BITMAP, TestBitmap());
    ::SetClipboardData(PrivateFormat(), Block(kPrivateBytes, sizeof kPrivateBytes));
    // Handle formats: a GDI object and a private handle, each copied by its kind.
    ::SetClipboardData(CF_GDIOBJFIRST, TestBitmap());
    ::SetClipboardData(CF_PRIVATEFIRST, Block("handle", 6));
    HDC metafile = ::CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    ::Rectangle(metafile, 1, 1, 30, 20);
    HENHMETAFILE enhanced = ::CloseEnhMetaFile(metafile);
    UINT enhancedSize = ::GetEnhMetaFileBits(enhanced, 0, nullptr);
    ::SetClipboardData(CF_ENHMETAFILE, enhanced);
    ::CloseClipboard();

    // Wine keeps no data for the GDI object formats (a known gap); where the
    // system keeps it, it must come back.
    ASSERT_TRUE(::OpenClipboard(owner));
    bool gdiObjectHeld = ::GetClipboardData(CF_GDIOBJFIRST) != nullptr;
    ::CloseClipboard();
    ClipboardKeeper keeper;
    ASSERT_TRUE(keeper.Save(owner));
    ASSERT_TRUE(::OpenClipboard(owner));
    ::EmptyClipboard();
    ::SetClipboardData(CF_TEXT, Block("other", 6));
    ::CloseClipboard();
    ASSERT_TRUE(keeper.Restore(owner));
    EXPECT_EQ(0, keeper.GetCount());

    ExpectClipboardAsFilled(owner, __FILE__, __LINE__);
    ASSERT_TRUE(::OpenClipboard(owner));
    if (gdiObjectHeld) {
        EXPECT_EQ(BitmapPixels(static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP))),
                  BitmapPixels(static_cast<HBITMAP>(::GetClipboardData(CF_GDIOBJFIRST))));
    }
    EXPECT_EQ("handle", BlockText(::GetClipboardData(CF_PRIVATEFIRST)));
    HENHMETAFILE back = static_cast<HENHMETAFILE>(::GetClipboardData(CF_ENHMETAFILE));
    EXPECT_EQ(enhancedSize, back ? ::GetEnhMetaFileBits(back, 0, nullptr) : 0u);
    ::CloseClipboard();
}

TEST_F(SelectionGrab, MoreFormatsThanSixtyFourAllComeBack)
{
    const int kFormats = 80;
    ASSERT_TRUE(::OpenClipboard(owner));
    ::EmptyClipboard();
    for (int i = 0; i < kFormats; ++i) {
        std::string name = "Quillmate grab format " + std::to_string(i);
        ::SetClipboardData(::RegisterClipboardFormatA(name.c_str()), Block(name.c_str(), name.size()));
    }
    ::CloseClipboard();
    ClipboardKeeper keeper;
    ASSERT_TRUE(keeper.Save(owner));
    EXPECT_EQ(kFormats, keeper.GetCount());
    ASSERT_TRUE(keeper.Restore(owner));
    ASSERT_TRUE(::OpenClipboard(owner));
    for (int i = 0; i < kFormats; ++i) {
        std::string name = "Quillmate grab format " + std::to_string(i);
        EXPECT_EQ(name, BlockText(::GetClipboardData(::RegisterClipboardFormatA(name.c_str())))) << i;
    }
    ::CloseClipboard();
}

TEST_F(SelectionGrab, TheSelectionIsGrabbedAndTheClipboardPutBack)
{
    struct Row {
        int from, to;
        BOOL grabbed;
        const char* text;
    } rows[] = {
        {6, 16, TRUE, "beta gamma"},
        {0, 5, TRUE, "alpha"},
        {3, 3, FALSE, ""},   // nothing selected: nothing is copied
    };
    for (const Row& row : rows) {
        FillClipboard(owner);
        ::SendMessageA(edit, EM_SETSEL, row.from, row.to);
        ::SetForegroundWindow(frame);
        ::SetFocus(edit);
        ClipboardKeeper keeper;
        CString text = "left over";
        EXPECT_EQ(row.grabbed, GrabSelection(keeper, text, owner)) << row.from;
        EXPECT_EQ(std::string(row.text), text.GetString()) << row.from;
        ExpectClipboardAsFilled(owner, __FILE__, __LINE__);
    }
}

TEST_F(SelectionGrab, ASelectionThatIsTheMarkerIsNoSelection)
{
    ::SetWindowTextA(edit, kGrabMarker);
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    FillClipboard(owner);
    ClipboardKeeper keeper;
    CString text;
    EXPECT_FALSE(GrabSelection(keeper, text, owner));
    EXPECT_TRUE(text.IsEmpty());
    ExpectClipboardAsFilled(owner, __FILE__, __LINE__);
}

// Another thread keeps the clipboard open for the whole grab.
DWORD WINAPI HoldClipboard(LPVOID parameter)
{
    HANDLE* events = static_cast<HANDLE*>(parameter);
    HWND holder = ::CreateWindowExA(0, "STATIC", "holder", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    BOOL opened = ::OpenClipboard(holder);
    ::SetEvent(events[0]);
    ::WaitForSingleObject(events[1], 30000);
    if (opened)
        ::CloseClipboard();
    ::DestroyWindow(holder);
    return 0;
}

TEST_F(SelectionGrab, AClipboardThatCannotBeOpenedIsLeftAlone)
{
    FillClipboard(owner);
    ::SendMessageA(edit, EM_SETSEL, 6, 16);
    HANDLE events[2] = {::CreateEventA(nullptr, TRUE, FALSE, nullptr), ::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HANDLE thread = ::CreateThread(nullptr, 0, &HoldClipboard, events, 0, nullptr);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(events[0], 30000));
    ClipboardKeeper keeper;
    CString text;
    DWORD start = ::GetTickCount();
    EXPECT_FALSE(GrabSelection(keeper, text, owner));
    EXPECT_LT(::GetTickCount() - start, 10000u) << "every wait ends";
    EXPECT_EQ(0, keeper.GetCount());
    ::SetEvent(events[1]);
    ::WaitForSingleObject(thread, 30000);
    ::CloseHandle(thread);
    ::CloseHandle(events[0]);
    ::CloseHandle(events[1]);
    ExpectClipboardAsFilled(owner, __FILE__, __LINE__);
}

// Another program that takes the clipboard as soon as it changes (the
// marker going on) and keeps it open for a while.
struct Holder {
    DWORD seen;    // the sequence number before the grab
    DWORD holdMs;  // how long it keeps the clipboard, from opening it
};

DWORD WINAPI HoldFromTheMarker(LPVOID parameter)
{
    const Holder* holder = static_cast<const Holder*>(parameter);
    HWND window = ::CreateWindowExA(0, "STATIC", "holder", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    // Nothing announces the change or the clipboard coming free: polled.
    const DWORD start = ::GetTickCount();
    QuiTesting::PumpUntil([&] { return ::GetClipboardSequenceNumber() != holder->seen; }, 20000, nullptr, nullptr, 1);
    const DWORD spent = ::GetTickCount() - start;
    QuiTesting::PumpUntil([&] { return ::OpenClipboard(window) != FALSE; }, spent < 20000 ? 20000 - spent : 0, nullptr,
                          nullptr, 1);
    const DWORD opened = ::GetTickCount();
    QuiTesting::PumpUntil([&] { return ::GetTickCount() - opened >= holder->holdMs; }, holder->holdMs);
    ::CloseClipboard();
    ::DestroyWindow(window);
    return 0;
}

// A grab with nothing selected while the holder keeps the clipboard: the
// wait for the copy (3 s) ends while it holds, so the restore meets it.
BOOL GrabWhileHeld(ClipboardKeeper& keeper, HWND owner, DWORD holdMs)
{
    Holder holder{::GetClipboardSequenceNumber(), holdMs};
    HANDLE thread = ::CreateThread(nullptr, 0, &HoldFromTheMarker, &holder, 0, nullptr);
    CString text;
    BOOL grabbed = GrabSelection(keeper, text, owner);
    ::WaitForSingleObject(thread, 30000);
    ::CloseHandle(thread);
    return grabbed;
}

TEST_F(SelectionGrab, AClipboardHeldPastOneWaitStillComesBack)
{
    FillClipboard(owner);
    ::SendMessageA(edit, EM_SETSEL, 3, 3);
    ClipboardKeeper keeper;
    // Held until a second past the wait for the copy: the first try of the
    // restore is refused.
    EXPECT_FALSE(GrabWhileHeld(keeper, owner, 4500));
    EXPECT_EQ(0, keeper.GetCount());
    ExpectClipboardAsFilled(owner, __FILE__, __LINE__);
}

TEST_F(SelectionGrab, WhatARefusedRestoreKeptGoesBackWithTheNextGrab)
{
    struct Row {
        const char* copiedMeanwhile;  // null: nothing
    } rows[] = {
        {nullptr},
        // The user copied something new: that is their clipboard now.
        {"copied meanwhile"},
    };
    ::SendMessageA(edit, EM_SETSEL, 3, 3);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.copiedMeanwhile ? row.copiedMeanwhile : "nothing copied");
        FillClipboard(owner);
        ClipboardKeeper keeper;
        // Held past every try of the restore.
        EXPECT_FALSE(GrabWhileHeld(keeper, owner, 7000));
        if (row.copiedMeanwhile) {
            ASSERT_TRUE(::OpenClipboard(owner));
            ::EmptyClipboard();
            ::SetClipboardData(CF_TEXT, Block(row.copiedMeanwhile, std::strlen(row.copiedMeanwhile) + 1));
            ::CloseClipboard();
        }
        CString text;
        EXPECT_FALSE(GrabSelection(keeper, text, owner));
        if (!row.copiedMeanwhile) {
            ExpectClipboardAsFilled(owner, __FILE__, __LINE__);
            continue;
        }
        ASSERT_TRUE(::OpenClipboard(owner));
        EXPECT_EQ(std::string(row.copiedMeanwhile, std::strlen(row.copiedMeanwhile) + 1),
                  BlockText(::GetClipboardData(CF_TEXT)));
        ::CloseClipboard();
    }
}

// Copies "intruder" as soon as the clipboard changes (the marker going on).
DWORD WINAPI Intrude(LPVOID parameter)
{
    DWORD seen = *static_cast<DWORD*>(parameter);
    HWND intruder = ::CreateWindowExA(0, "STATIC", "intruder", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    QuiTesting::PumpUntil([&] { return ::GetClipboardSequenceNumber() != seen; }, 20000, nullptr, nullptr, 5);
    if (::OpenClipboard(intruder)) {
        ::EmptyClipboard();
        ::SetClipboardData(CF_TEXT, Block("intruder", 9));
        ::CloseClipboard();
    }
    ::DestroyWindow(intruder);
    return 0;
}

// The program in front (another process) has nothing selected; what this
// process copies meanwhile is not its selection.
TEST_F(SelectionGrab, WhatAnotherProgramCopiesMeanwhileIsNotTheSelection)
{
    char self[MAX_PATH * 2] = {};
    ::GetModuleFileNameA(nullptr, self, sizeof self - 1);
    std::string folder(self);
    folder.resize(folder.rfind('\\') + 1);
    HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, "QuiGrabIntruderReady");
    std::string line = "\"" + folder + "fixtures\\grab_target.exe\" \"nothing selected\" 2 2 QuiGrabIntruderReady";
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(::CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process));
    ::CloseHandle(process.hThread);
    QuiTesting::PumpUntil([ready] { return ::WaitForSingleObject(ready, 0) == WAIT_OBJECT_0; }, 30000, ready);
    FillClipboard(owner);
    DWORD sequence = ::GetClipboardSequenceNumber();
    HANDLE thread = ::CreateThread(nullptr, 0, &Intrude, &sequence, 0, nullptr);
    ClipboardKeeper keeper;
    CString text;
    EXPECT_FALSE(GrabSelection(keeper, text, owner));
    EXPECT_TRUE(text.IsEmpty()) << text.GetString();
    ::WaitForSingleObject(thread, 30000);
    ::CloseHandle(thread);
    ::TerminateProcess(process.hProcess, 0);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(ready);
    ExpectClipboardAsFilled(owner, __FILE__, __LINE__);
}

TEST(PlayKeys, KeysArriveAndEveryWaitEnds)
{
    HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 40, nullptr, nullptr,
                                  nullptr, nullptr);
    ::SetForegroundWindow(edit);
    ::SetFocus(edit);
    const DWORD keys[] = {QUI_KEY_DOWN | 'Q', 'Q', QUI_KEY_DOWN | 'M', 'M'};
    DWORD start = ::GetTickCount();
    EXPECT_TRUE(PlayKeys(keys, 4));
    EXPECT_LT(::GetTickCount() - start, 5000u);
    char text[16] = {};
    QuiTesting::PumpUntil(
        [&] {
            ::GetWindowTextA(edit, text, sizeof text);
            return std::strlen(text) >= 2;
        },
        5000, nullptr, nullptr, 20);
    EXPECT_STREQ("qm", text);
    ::DestroyWindow(edit);
}

} // namespace
