// The selection grab: the text selected in the program in front, copied
// through the clipboard as the user would (Ctrl+C), with everything the
// clipboard held set aside before and put back after.
#pragma once
#include <afxquill.h>

#include <vector>

// What the clipboard held: one copy per format, each made by its kind
// (memory blocks, bitmaps, palettes, metafiles, enhanced metafiles), owned
// here until it is handed back.
class ClipboardKeeper {
public:
    ClipboardKeeper() = default;
    ~ClipboardKeeper();
    ClipboardKeeper(const ClipboardKeeper&) = delete;
    ClipboardKeeper& operator=(const ClipboardKeeper&) = delete;

    // Frees what is held, then copies every format on the clipboard. FALSE,
    // with nothing held, when the clipboard could not be opened.
    BOOL Save(HWND hwndOwner);
    // Empties the clipboard and hands every held copy back (a copy the
    // clipboard refuses is freed). FALSE when the clipboard could not be
    // opened; the copies are then kept.
    BOOL Restore(HWND hwndOwner);
    // Frees every held copy.
    void Clear();
    int GetCount() const { return static_cast<int>(m_entries.size()); }
    UINT GetFormat(int i) const { return m_entries[i].format; }

    // After a restore the clipboard kept refusing: the held copies stay the
    // user's clipboard until something else is put on it.
    void KeepRefused();
    // TRUE while copies kept by KeepRefused are held and the clipboard has
    // not changed since.
    BOOL HoldsRefused() const;

private:
    struct Entry {
        UINT format;
        HANDLE data;
    };
    std::vector<Entry> m_entries;
    bool m_refused = false;
    DWORD m_refusedSequence = 0;
};

// Opens the clipboard for hwndOwner, trying again while another program
// holds it, for at most timeoutMs. TRUE when open.
BOOL OpenClipboardWithin(HWND hwndOwner, DWORD timeoutMs);

// A copy of one clipboard handle of the given format, made by its kind;
// null when it cannot be copied. FreeClipboardCopy frees such a copy.
HANDLE CopyClipboardData(UINT format, HANDLE data);
void FreeClipboardCopy(UINT format, HANDLE data);

// The copy keystroke's events: low byte the virtual key, bit 15 key down,
// bit 14 a system key.
enum : DWORD { QUI_KEY_DOWN = 0x8000, QUI_KEY_SYSTEM = 0x4000 };

// Plays the key events into the system input: through a journal-playback
// hook where the system serves it, else by SendInput. Every wait ends within
// its time-out. TRUE when every event was played.
BOOL PlayKeys(const DWORD* events, int count);

// Grabs the selected text of the foreground window: sets the clipboard
// aside, puts the marker text there, releases the modifier keys still held
// and plays Ctrl+C, waits for the foreground program's copy, reads it and
// puts the clipboard back, trying a few times while another program holds
// it; what still cannot go back is kept for the next grab, unless something
// else is put on the clipboard first. TRUE with the text when that program
// copied text other than the marker.
BOOL GrabSelection(ClipboardKeeper& keeper, CString& text, HWND hwndOwner);

// The marker put on the clipboard while the grab waits for the copy.
extern const char kGrabMarker[];

// Installs the grab into the tray window's hook (command 32794), with the
// program's one clipboard keeper and the main window as the owner.
void QuiInstallSelectionGrab();
