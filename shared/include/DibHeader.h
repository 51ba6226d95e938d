// Packed device-independent bitmaps (header, colour table, bits) as they
// come from bitmap resources, which a user may replace: their sizes are
// checked before any part of them is used.
#pragma once
#include <windows.h>

#include <cstddef>

// Colour-table size of a DIB: biClrUsed when set, else 2^bits up to 8 bits, else 0.
int DibNumColours(const BITMAPINFOHEADER* header);

// Where the bits of a packed DIB of `size` bytes start, or 0 when its header,
// colour table and bits do not fit in them or its bit count is none of 1, 4,
// 8, 16, 24 and 32.
size_t PackedDibBitsOffset(const void* dib, size_t size);
