#include "GdiUtil.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {
const UINT kColours = 200;    // 2x2, 8 bits; bottom row red, blue; top row almost red, white
const UINT kTruncated = 201;  // claims 64 rows, holds 2

HINSTANCE Self()
{
    return GetModuleHandleA(nullptr);
}

// The bitmap's pixels, bottom row first, as 0x00RRGGBB.
std::vector<DWORD> Pixels(HBITMAP bitmap, int width, int height)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(width * height);
    HDC dc = GetDC(nullptr);
    int rows = GetDIBits(dc, bitmap, 0, height, pixels.data(), &bmi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(height, rows);
    return pixels;
}

std::vector<BYTE> ResourceBytes(UINT id)
{
    HRSRC r = FindResourceA(Self(), MAKEINTRESOURCEA(id), RT_BITMAP);
    const BYTE* p = static_cast<const BYTE*>(LockResource(LoadResource(Self(), r)));
    return std::vector<BYTE>(p, p + SizeofResource(Self(), r));
}
} // namespace

TEST(GdiUtil, LoadResourceBitmapReplacesColoursInACopy)
{
    const std::vector<BYTE> before = ResourceBytes(kColours);
    const COLORREF redToGreen[2] = {RGB(255, 0, 0), RGB(0, 255, 0)};
    struct Row {
        const COLORREF* map;
        std::vector<DWORD> pixels;  // bottom row: red or green, blue; top row: almost red, white
    } rows[] = {
        {nullptr, {0xFF0000, 0x0000FF, 0xFF0100, 0xFFFFFF}},
        {redToGreen, {0x00FF00, 0x0000FF, 0xFF0100, 0xFFFFFF}},
        {nullptr, {0xFF0000, 0x0000FF, 0xFF0100, 0xFFFFFF}},
    };
    for (const Row& r : rows) {
        HBITMAP bitmap = LoadResourceBitmap(Self(), kColours, nullptr, r.map);
        ASSERT_NE(nullptr, bitmap);
        EXPECT_EQ(r.pixels, Pixels(bitmap, 2, 2));
        DeleteObject(bitmap);
    }
    EXPECT_EQ(before, ResourceBytes(kColours)) << "the loaded resource itself was changed";
}

TEST(GdiUtil, LoadResourceBitmapRefusesMissingAndMalformedResources)
{
    HPALETTE palette = CreateAppPalette();
    EXPECT_EQ(nullptr, LoadResourceBitmap(Self(), 999, palette, nullptr));
    EXPECT_EQ(nullptr, LoadResourceBitmap(Self(), kTruncated, palette, nullptr));
    HBITMAP withPalette = LoadResourceBitmap(Self(), kColours, palette, nullptr);
    EXPECT_NE(nullptr, withPalette);
    DeleteObject(withPalette);
    DeleteObject(palette);
}

TEST(GdiUtil, DibNumColours)
{
    struct Row {
        WORD bits;
        DWORD used;
        int colours;
    } rows[] = {
        {1, 0, 2}, {4, 0, 16}, {8, 0, 256}, {8, 17, 17}, {16, 0, 0}, {24, 0, 0}, {24, 5, 5}, {32, 0, 0},
    };
    for (const Row& r : rows) {
        BITMAPINFOHEADER h = {};
        h.biSize = sizeof(h);
        h.biBitCount = r.bits;
        h.biClrUsed = r.used;
        EXPECT_EQ(r.colours, DibNumColours(&h)) << r.bits << " bits, " << r.used << " used";
    }
}

TEST(GdiUtil, PackedDibPartsMustFitTheirBytes)
{
    struct Row {
        const char* what;
        DWORD headerSize;
        LONG width, height;
        WORD bits;
        DWORD compression, used, image;
        size_t size;
        size_t offset;  // 0: refused
    } rows[] = {
        {"8 bits, full table", 40, 2, 2, 8, BI_RGB, 0, 0, 40 + 1024 + 8, 40 + 1024},
        {"8 bits, one byte short", 40, 2, 2, 8, BI_RGB, 0, 0, 40 + 1024 + 7, 0},
        {"24 bits top-down", 40, 3, -2, 24, BI_RGB, 0, 0, 40 + 24, 40},
        {"16 bits with masks", 40, 2, 1, 16, BI_BITFIELDS, 0, 0, 40 + 12 + 4, 52},
        {"run-length image that fits", 40, 100, 100, 8, BI_RLE8, 2, 10, 40 + 8 + 10, 48},
        {"run-length image beyond", 40, 100, 100, 8, BI_RLE8, 2, 11, 40 + 8 + 10, 0},
        {"header beyond the bytes", 200, 1, 1, 1, BI_RGB, 0, 0, 100, 0},
        {"header too short", 12, 1, 1, 1, BI_RGB, 0, 0, 100, 0},
        {"colour count beyond 2^30", 40, 1, 1, 8, BI_RGB, 0x40000001, 0, 100, 0},
        {"bits that wrap 64 bits round", 40, 0x200000, LONG(0x80000000), 0x8000, BI_RGB, 0, 0, 40, 0},
        {"bit count of none", 40, 1, 1, 3, BI_RGB, 0, 0, 100, 0},
        {"no width", 40, 0, 1, 8, BI_RGB, 1, 0, 100, 0},
    };
    for (const Row& r : rows) {
        std::vector<BYTE> dib(r.size > sizeof(BITMAPINFOHEADER) ? r.size : sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER h = {};
        h.biSize = r.headerSize;
        h.biWidth = r.width;
        h.biHeight = r.height;
        h.biPlanes = 1;
        h.biBitCount = r.bits;
        h.biCompression = r.compression;
        h.biClrUsed = r.used;
        h.biSizeImage = r.image;
        std::memcpy(dib.data(), &h, sizeof h);
        EXPECT_EQ(r.offset, PackedDibBitsOffset(dib.data(), r.size)) << r.what;
    }
}

TEST(GdiUtil, ReplaceDibColoursMatchesAllThreeChannels)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[4];
    } dib = {};
    dib.header.biSize = sizeof(dib.header);
    dib.header.biBitCount = 8;
    dib.header.biClrUsed = 4;
    const RGBQUAD in[4] = {{0x80, 0x40, 0x20, 0}, {0x81, 0x40, 0x20, 0}, {0x80, 0x40, 0x20, 0}, {0x80, 0x41, 0x20, 0}};
    std::memcpy(dib.colours, in, sizeof(in));
    const COLORREF map[2] = {RGB(0x20, 0x40, 0x80), RGB(1, 2, 3)};
    ReplaceDibColours(reinterpret_cast<BITMAPINFO*>(&dib), map);
    const BYTE expectedBlue[4] = {3, 0x81, 3, 0x80};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(expectedBlue[i], dib.colours[i].rgbBlue) << "entry " << i;
}

TEST(GdiUtil, AppPaletteHas252EntriesInFiveRuns)
{
    HPALETTE palette = CreateAppPalette();
    ASSERT_NE(nullptr, palette);
    WORD count = 0;
    GetObjectA(palette, sizeof(count), &count);
    ASSERT_EQ(QUI_APP_PALETTE_SIZE, count);
    PALETTEENTRY entries[QUI_APP_PALETTE_SIZE];
    ASSERT_EQ(static_cast<UINT>(QUI_APP_PALETTE_SIZE), GetPaletteEntries(palette, 0, QUI_APP_PALETTE_SIZE, entries));
    struct Row {
        int first, last;
        BYTE flags;
    } runs[] = {{0, 7, 0}, {8, 243, PC_NOCOLLAPSE}, {244, 251, 0}};
    for (const Row& r : runs)
        for (int i = r.first; i <= r.last; ++i)
            EXPECT_EQ(r.flags, entries[i].peFlags) << "entry " << i;
    EXPECT_EQ(0, entries[0].peRed + entries[0].peGreen + entries[0].peBlue) << "black first";
    EXPECT_EQ(3 * 255, entries[1].peRed + entries[1].peGreen + entries[1].peBlue) << "white second";
    DeleteObject(palette);
}

TEST(GdiUtil, CreateDibPaletteTakesTheColourTableOrHalftone)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } dib = {};
    dib.header.biSize = sizeof(dib.header);
    dib.colours[0] = {0x10, 0x20, 0x30, 0};
    dib.colours[1] = {0x40, 0x50, 0x60, 0};
    const BITMAPINFO* bmi = reinterpret_cast<const BITMAPINFO*>(&dib);

    HPALETTE two = CreateDibPalette(bmi, 2);
    ASSERT_NE(nullptr, two);
    PALETTEENTRY e[2];
    ASSERT_EQ(2u, GetPaletteEntries(two, 0, 2, e));
    EXPECT_EQ(0x30, e[0].peRed);
    EXPECT_EQ(0x10, e[0].peBlue);
    EXPECT_EQ(0x50, e[1].peGreen);
    DeleteObject(two);

    HPALETTE halftone = CreateDibPalette(bmi, 0);
    ASSERT_NE(nullptr, halftone);
    WORD count = 0;
    GetObjectA(halftone, sizeof(count), &count);
    EXPECT_GT(count, 2);
    DeleteObject(halftone);
    EXPECT_EQ(nullptr, CreateDibPalette(bmi, -1));
}

TEST(GdiUtil, TileBitmapRepeatsFromTheAreasCornerAndStaysInside)
{
    const int width = 8, height = 6;
    const DWORD blank = 0x123456;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP target = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    DWORD* pixels = static_cast<DWORD*>(bits);
    std::fill(pixels, pixels + width * height, blank);

    const DWORD tile[2][3] = {{0x0000FF, 0x00FF00, 0xFF0000}, {0xFFFFFF, 0x000000, 0x808080}};
    bmi.bmiHeader.biWidth = 3;
    bmi.bmiHeader.biHeight = -2;
    void* tileBits = nullptr;
    HBITMAP tileBitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &tileBits, nullptr, 0);
    std::memcpy(tileBits, tile, sizeof(tile));

    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, target);
    const RECT area = {1, 1, 6, 4};
    HPALETTE palette = CreateAppPalette();
    TileBitmap(dc, tileBitmap, 3, 2, &area, palette);
    GdiFlush();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool inside = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
            DWORD expected = inside ? tile[(y - area.top) % 2][(x - area.left) % 3] : blank;
            EXPECT_EQ(expected, pixels[y * width + x] & 0xFFFFFF) << "at " << x << "," << y;
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(palette);
    DeleteObject(tileBitmap);
    DeleteObject(target);
}
