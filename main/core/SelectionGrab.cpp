#include "SelectionGrab.h"

#include <cstring>

#include "TrayWnd.h"

const char kGrabMarker[] = "<<<<<--543210QUILLMATE^SENTINAL012345-->>>>>";

namespace {

// Another program may hold the clipboard for a moment (the target while it
// copies, a clipboard manager); the copy itself may take a while to arrive.
const DWORD kOpenTimeoutMs = 1000;
const DWORD kCopyTimeoutMs = 3000;
// Tries of the restore, each with the open's time-out: a program that holds
// the clipboard for a few seconds does not cost the user what it held.
const int kRestoreTries = 3;

HANDLE CopyGlobal(HANDLE data)
{
    SIZE_T size = ::GlobalSize(data);
    if (!size)
        return nullptr;
    const void* source = ::GlobalLock(data);
    if (!source)
        return nullptr;
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    void* target = copy ? ::GlobalLock(copy) : nullptr;
    if (target) {
        std::memcpy(target, source, size);
        ::GlobalUnlock(copy);
    } else if (copy) {
        ::GlobalFree(copy);
        copy = nullptr;
    }
    ::GlobalUnlock(data);
    return copy;
}

HANDLE CopyPalette(HPALETTE palette)
{
    UINT count = ::GetPaletteEntries(palette, 0, 0, nullptr);
    if (!count)
        return nullptr;
    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    LOGPALETTE* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(count);
    if (::GetPaletteEntries(palette, 0, count, logical->palPalEntry) != count)
        return nullptr;
    return ::CreatePalette(logical);
}

HANDLE CopyMetafilePict(HANDLE data)
{
    const METAFILEPICT* source = static_cast<const METAFILEPICT*>(::GlobalLock(data));
    if (!source)
        return nullptr;
    METAFILEPICT picture = *source;
    ::GlobalUnlock(data);
    picture.hMF = ::CopyMetaFile(picture.hMF, nullptr);
    if (!picture.hMF)
        return nullptr;
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, sizeof picture);
    METAFILEPICT* target = copy ? static_cast<METAFILEPICT*>(::GlobalLock(copy)) : nullptr;
    if (!target) {
        ::DeleteMetaFile(picture.hMF);
        if (copy)
            ::GlobalFree(copy);
        return nullptr;
    }
    *target = picture;
    ::GlobalUnlock(copy);
    return copy;
}

// A GDI object, copied by what it is; null for kinds that cannot be copied.
HANDLE CopyGdiObject(HANDLE data)
{
    switch (::GetObjectType(data)) {
    case OBJ_BITMAP:
        return ::CopyImage(data, IMAGE_BITMAP, 0, 0, 0);
    case OBJ_PAL:
        return CopyPalette(static_cast<HPALETTE>(data));
    case OBJ_ENHMETAFILE:
        return ::CopyEnhMetaFile(static_cast<HENHMETAFILE>(data), nullptr);
    case OBJ_METAFILE:
        return ::CopyMetaFile(static_cast<HMETAFILE>(data), nullptr);
    case OBJ_BRUSH: {
        LOGBRUSH brush;
        return ::GetObjectA(data, sizeof brush, &brush) && brush.lbStyle != BS_PATTERN && brush.lbStyle != BS_DIBPATTERN
                   ? ::CreateBrushIndirect(&brush)
                   : nullptr;
    }
    case OBJ_PEN: {
        LOGPEN pen;
        return ::GetObjectA(data, sizeof pen, &pen) ? ::CreatePenIndirect(&pen) : nullptr;
    }
    case OBJ_FONT: {
        LOGFONTA font;
        return ::GetObjectA(data, sizeof font, &font) ? ::CreateFontIndirectA(&font) : nullptr;
    }
    default:
        return nullptr;
    }
}

void FreeGdiObject(HANDLE data)
{
    switch (::GetObjectType(data)) {
    case OBJ_ENHMETAFILE:
        ::DeleteEnhMetaFile(static_cast<HENHMETAFILE>(data));
        break;
    case OBJ_METAFILE:
        ::DeleteMetaFile(static_cast<HMETAFILE>(data));
        break;
    default:
        ::DeleteObject(data);
        break;
    }
}

bool IsGdiFormat(UINT format)
{
    return format == CF_BITMAP || format == CF_DSPBITMAP || format == CF_PALETTE ||
           (format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST);
}

// Private formats hold whatever their owner put there: a GDI object or a
// memory block is copied by its kind, anything else cannot be.
bool IsPrivateFormat(UINT format)
{
    return format >= CF_PRIVATEFIRST && format <= CF_PRIVATELAST;
}

// Puts the marker on the clipboard. FALSE when the clipboard could not be
// opened, in which case nothing on it was touched.
BOOL PutMarker(HWND hwndOwner)
{
    if (!OpenClipboardWithin(hwndOwner, kOpenTimeoutMs))
        return FALSE;
    ::EmptyClipboard();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, sizeof kGrabMarker);
    if (char* text = block ? static_cast<char*>(::GlobalLock(block)) : nullptr) {
        std::memcpy(text, kGrabMarker, sizeof kGrabMarker);
        ::GlobalUnlock(block);
        if (!::SetClipboardData(CF_TEXT, block))
            ::GlobalFree(block);
    } else if (block) {
        ::GlobalFree(block);
    }
    ::CloseClipboard();
    return TRUE;
}

// The clipboard's text, read no further than its block. FALSE when there is none.
BOOL ReadClipboardText(HWND hwndOwner, CString& text)
{
    if (!OpenClipboardWithin(hwndOwner, kOpenTimeoutMs))
        return FALSE;
    BOOL bRead = FALSE;
    HANDLE data = ::GetClipboardData(CF_TEXT);
    SIZE_T size = data ? ::GlobalSize(data) : 0;
    const char* source = size ? static_cast<const char*>(::GlobalLock(data)) : nullptr;
    if (source) {
        const void* end = std::memchr(source, '\0', size);
        size_t length = end ? static_cast<const char*>(end) - source : size;
        text = CString(source, static_cast<int>(length));
        bRead = TRUE;
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return bRead;
}

DWORD ProcessOf(HWND hwnd)
{
    DWORD process = 0;
    if (hwnd)
        ::GetWindowThreadProcessId(hwnd, &process);
    return process;
}

// Serves the thread's windows for at most ms.
void PumpFor(DWORD ms)
{
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// Waits for the target program's copy after the marker went on the
// clipboard; what another program copies meanwhile is passed over.
BOOL WaitForCopy(DWORD markerSequence, DWORD targetProcess, HWND hwndOwner, CString& text)
{
    DWORD seen = markerSequence;
    DWORD start = ::GetTickCount();
    for (;;) {
        DWORD sequence = ::GetClipboardSequenceNumber();
        if (sequence != seen) {
            seen = sequence;
            if (ProcessOf(::GetClipboardOwner()) == targetProcess) {
                CString copied;
                if (ReadClipboardText(hwndOwner, copied) && copied != kGrabMarker) {
                    text = copied;
                    return TRUE;
                }
            }
        }
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= kCopyTimeoutMs)
            return FALSE;
        PumpFor(kCopyTimeoutMs - elapsed < 10 ? kCopyTimeoutMs - elapsed : 10);
    }
}

// Ctrl goes down first, so that letting go of a held Alt does not open the
// target's menu; then every other modifier the hot key left held is let go,
// or the target would see Ctrl+Alt+C instead of Ctrl+C.
std::vector<DWORD> CopyKeystroke()
{
    std::vector<DWORD> events{QUI_KEY_DOWN | VK_CONTROL};
    for (BYTE vk : {VK_MENU, VK_SHIFT, VK_LWIN, VK_RWIN})
        if (::GetAsyncKeyState(vk) & 0x8000)
            events.push_back(vk == VK_MENU ? (QUI_KEY_SYSTEM | vk) : vk);
    events.insert(events.end(), {QUI_KEY_DOWN | 'C', 'C', VK_CONTROL});
    return events;
}

} // namespace

BOOL OpenClipboardWithin(HWND hwndOwner, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    while (!::OpenClipboard(hwndOwner)) {
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return FALSE;
        PumpFor(timeoutMs - elapsed < 10 ? timeoutMs - elapsed : 10);
    }
    return TRUE;
}

HANDLE CopyClipboardData(UINT format, HANDLE data)
{
    if (!data)
        return nullptr;
    switch (format) {
    case CF_OWNERDISPLAY:
        return nullptr;
    case CF_METAFILEPICT:
    case CF_DSPMETAFILEPICT:
        return CopyMetafilePict(data);
    case CF_ENHMETAFILE:
    case CF_DSPENHMETAFILE:
        return ::CopyEnhMetaFile(static_cast<HENHMETAFILE>(data), nullptr);
    default:
        break;
    }
    if (IsGdiFormat(format))
        return CopyGdiObject(data);
    if (IsPrivateFormat(format))
        return ::GetObjectType(data) ? CopyGdiObject(data) : CopyGlobal(data);
    return CopyGlobal(data);
}

void FreeClipboardCopy(UINT format, HANDLE data)
{
    if (!data)
        return;
    if (format == CF_METAFILEPICT || format == CF_DSPMETAFILEPICT) {
        if (const METAFILEPICT* picture = static_cast<const METAFILEPICT*>(::GlobalLock(data))) {
            ::DeleteMetaFile(picture->hMF);
            ::GlobalUnlock(data);
        }
        ::GlobalFree(data);
    } else if (format == CF_ENHMETAFILE || format == CF_DSPENHMETAFILE) {
        ::DeleteEnhMetaFile(static_cast<HENHMETAFILE>(data));
    } else if (IsGdiFormat(format) || (IsPrivateFormat(format) && ::GetObjectType(data))) {
        FreeGdiObject(data);
    } else {
        ::GlobalFree(data);
    }
}

ClipboardKeeper::~ClipboardKeeper()
{
    Clear();
}

void ClipboardKeeper::Clear()
{
    for (const Entry& entry : m_entries)
        FreeClipboardCopy(entry.format, entry.data);
    m_entries.clear();
    m_refused = false;
}

void ClipboardKeeper::KeepRefused()
{
    m_refused = true;
    m_refusedSequence = ::GetClipboardSequenceNumber();
}

BOOL ClipboardKeeper::HoldsRefused() const
{
    return m_refused && ::GetClipboardSequenceNumber() == m_refusedSequence;
}

BOOL ClipboardKeeper::Save(HWND hwndOwner)
{
    Clear();
    if (!OpenClipboardWithin(hwndOwner, kOpenTimeoutMs))
        return FALSE;
    for (UINT format = ::EnumClipboardFormats(0); format; format = ::EnumClipboardFormats(format))
        if (HANDLE copy = CopyClipboardData(format, ::GetClipboardData(format)))
            m_entries.push_back({format, copy});
    ::CloseClipboard();
    return TRUE;
}

BOOL ClipboardKeeper::Restore(HWND hwndOwner)
{
    if (!OpenClipboardWithin(hwndOwner, kOpenTimeoutMs))
        return FALSE;
    ::EmptyClipboard();
    for (const Entry& entry : m_entries)
        if (!::SetClipboardData(entry.format, entry.data))
            FreeClipboardCopy(entry.format, entry.data);
    m_entries.clear();
    m_refused = false;
    ::CloseClipboard();
    return TRUE;
}

BOOL GrabSelection(ClipboardKeeper& keeper, CString& text, HWND hwndOwner)
{
    text.Empty();
    DWORD targetProcess = ProcessOf(::GetForegroundWindow());
    // Copies an earlier grab could not hand back are still the user's
    // clipboard while nothing else was put on it: they go back after this one.
    const BOOL bKept = keeper.HoldsRefused();
    // What cannot be set aside is not emptied either.
    if (!bKept && !keeper.Save(hwndOwner))
        return FALSE;
    if (!PutMarker(hwndOwner)) {
        if (!bKept)
            keeper.Clear();
        return FALSE;
    }
    DWORD markerSequence = ::GetClipboardSequenceNumber();
    std::vector<DWORD> keys = CopyKeystroke();
    BOOL bGrabbed = PlayKeys(keys.data(), static_cast<int>(keys.size())) &&
                    WaitForCopy(markerSequence, targetProcess, hwndOwner, text);
    BOOL bRestored = FALSE;
    for (int i = 0; i < kRestoreTries && !bRestored; ++i)
        bRestored = keeper.Restore(hwndOwner);
    if (!bRestored)
        keeper.KeepRefused();
    return bGrabbed;
}

namespace {

ClipboardKeeper& ProgramKeeper()
{
    static ClipboardKeeper keeper;
    return keeper;
}

BOOL GrabForTray(CString& text)
{
    CWnd* main = AfxGetMainWnd();
    return GrabSelection(ProgramKeeper(), text, main ? main->GetSafeHwnd() : nullptr);
}

} // namespace

void QuiInstallSelectionGrab()
{
    CTrayWnd::SetSelectionGrabber(&GrabForTray);
}
