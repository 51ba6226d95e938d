#include "GdiUtil.h"

#include <vector>

namespace {
// The 16 VGA colours, then the 6x6x6 colour cube without its six greys.
const int kVgaColours = 16;

std::vector<COLORREF> ColourTable()
{
    static const COLORREF vga[kVgaColours] = {
        0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000, 0xFF00FF, 0x00FFFF, 0xFFFF00,
        0x000080, 0x008000, 0x800000, 0x800080, 0x008080, 0x808000, 0x808080, 0xC0C0C0,
    };
    std::vector<COLORREF> table(vga, vga + kVgaColours);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                if (!(r == g && g == b))
                    table.push_back(RGB(r * 0x33, g * 0x33, b * 0x33));
    return table;
}

// Greys, pastels and the light tints the windows paint with.
const COLORREF kDirectColours[26] = {
    0x333333, 0x666666, 0x999999, 0xCCCCCC, 0xF7F7F7, 0xEFEFEF, 0xE0E0E0, 0xD6D6D6,
    0xCEEFFF, 0xC2FFFF, 0x80FF80, 0xFF8080, 0x8080FF, 0xFFFF80, 0x80FFFF, 0xFF80FF,
    0xFFEFCE, 0xFFFFC2, 0xC2FFC2, 0xFFC2C2, 0xC2C2FF, 0xE6F0FA, 0xFAF0E6, 0xF0FAE6,
    0x404040, 0xA4A0A0,
};

struct Run {
    int count;
    int firstIndex;  // into the colour table; -1: the direct colours
    BYTE flags;
};

constexpr Run kRuns[] = {
    {8, 0, 0},
    {105, kVgaColours, PC_NOCOLLAPSE},
    {26, -1, PC_NOCOLLAPSE},
    {105, kVgaColours + 105, PC_NOCOLLAPSE},
    {8, 8, 0},
};

constexpr int RunTotal(int i = 0)
{
    return i == sizeof(kRuns) / sizeof(kRuns[0]) ? 0 : kRuns[i].count + RunTotal(i + 1);
}
static_assert(RunTotal() == QUI_APP_PALETTE_SIZE, "the runs must fill the palette");
} // namespace

HPALETTE CreateAppPalette()
{
    const std::vector<COLORREF> table = ColourTable();
    std::vector<BYTE> memory(sizeof(LOGPALETTE) + QUI_APP_PALETTE_SIZE * sizeof(PALETTEENTRY));
    LOGPALETTE* palette = reinterpret_cast<LOGPALETTE*>(memory.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = QUI_APP_PALETTE_SIZE;

    PALETTEENTRY* entry = palette->palPalEntry;
    for (const Run& run : kRuns) {
        for (int i = 0; i < run.count; ++i, ++entry) {
            COLORREF c = run.firstIndex < 0 ? kDirectColours[i] : table[run.firstIndex + i];
            entry->peRed = GetRValue(c);
            entry->peGreen = GetGValue(c);
            entry->peBlue = GetBValue(c);
            entry->peFlags = run.flags;
        }
    }
    return CreatePalette(palette);
}
