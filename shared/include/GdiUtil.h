// The application palette and device-independent bitmap helpers.
#pragma once
#include <windows.h>

#include "DibHeader.h"

enum { QUI_APP_PALETTE_SIZE = 252 };

// The program's 252-colour palette; the caller owns it (DeleteObject).
HPALETTE CreateAppPalette();

// Every colour-table entry equal to colourMap[0] (red, green, blue) becomes colourMap[1].
void ReplaceDibColours(BITMAPINFO* bmi, const COLORREF* colourMap);

// A palette of the first n colour-table entries, or the halftone palette of
// the screen when n is 0; null for a negative n.
HPALETTE CreateDibPalette(const BITMAPINFO* bmi, int n);

// Copies the cx by cy bitmap over area in rows and columns from its top left,
// tiles at the right and bottom edges cut to the area; tiles outside the
// device context's visible region are skipped. pal, when given, is selected
// and realised for the drawing.
void TileBitmap(HDC dc, HBITMAP bitmap, int cx, int cy, const RECT* area, HPALETTE pal);

// A device-dependent bitmap made from bitmap resource id of inst, with
// colourMap applied (when given) to a copy of its colour table and pal (when
// given) realised on the screen first. Null when the resource is missing or
// malformed. The caller owns the bitmap.
HBITMAP LoadResourceBitmap(HINSTANCE inst, UINT id, HPALETTE pal, const COLORREF* colourMap);
