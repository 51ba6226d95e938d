// What the selection grab's tests share: a clipboard filled with text, a
// bitmap and a private format, and the check that it holds exactly that.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace grab_test {

inline UINT PrivateFormat()
{
    return ::RegisterClipboardFormatA("Quillmate grab test private");
}

inline HGLOBAL Block(const void* bytes, size_t size)
{
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(::GlobalLock(block), bytes, size);
    ::GlobalUnlock(block);
    return block;
}

inline std::string BlockText(HANDLE data)
{
    SIZE_T size = data ? ::GlobalSize(data) : 0;
    const char* bytes = size ? static_cast<const char*>(::GlobalLock(data)) : nullptr;
    std::string text = bytes ? std::string(bytes, size) : std::string();
    if (bytes)
        ::GlobalUnlock(data);
    return text;
}

// A 4 by 2 bitmap whose pixels tell it apart.
inline HBITMAP TestBitmap()
{
    const DWORD pixels[8] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x123456, 0x654321, 0x000000, 0xABCDEF};
    return ::CreateBitmap(4, 2, 1, 32, pixels);
}

inline std::vector<DWORD> BitmapPixels(HBITMAP bitmap)
{
    std::vector<DWORD> pixels(8);
    BITMAP info = {};
    if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info) || info.bmWidth != 4 || info.bmHeight != 2)
        return {};
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = 4;
    header.bmiHeader.biHeight = -2;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    HDC dc = ::GetDC(nullptr);
    int rows = ::GetDIBits(dc, bitmap, 0, 2, pixels.data(), &header, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, dc);
    if (rows != 2)
        return {};
    for (DWORD& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

const char kBefore[] = "held before the grab";
const char kPrivateBytes[] = "private\0bytes";

// Text, a bitmap and a private format, as another program left them.
inline void FillClipboard(HWND owner)
{
    ASSERT_TRUE(::OpenClipboard(owner));
    ::EmptyClipboard();
    ::SetClipboardData(CF_TEXT, Block(kBefore, sizeof kBefore));
    ::SetClipboardData(CF_BITMAP, TestBitmap());
    ::SetClipboardData(PrivateFormat(), Block(kPrivateBytes, sizeof kPrivateBytes));
    ::CloseClipboard();
}

inline void ExpectClipboardAsFilled(HWND owner, const char* file, int line)
{
    SCOPED_TRACE(::testing::Message() << file << ":" << line);
    ASSERT_TRUE(::OpenClipboard(owner));
    EXPECT_EQ(std::string(kBefore, sizeof kBefore), BlockText(::GetClipboardData(CF_TEXT)));
    EXPECT_EQ(std::string(kPrivateBytes, sizeof kPrivateBytes), BlockText(::GetClipboardData(PrivateFormat())));
    HBITMAP expected = TestBitmap();
    EXPECT_EQ(BitmapPixels(expected), BitmapPixels(static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP))));
    ::DeleteObject(expected);
    ::CloseClipboard();
}

} // namespace grab_test
