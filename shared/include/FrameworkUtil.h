// The utilities in the framework's types, for windows written against it.
// Each hands its handles to the plain form and takes the same care of a null
// object as of a null handle.
#pragma once
#include <afxquill.h>

#include "DateFormat.h"
#include "FileUtil.h"
#include "GdiUtil.h"
#include "WindowUtil.h"

void TileBitmap(CDC* dc, CBitmap* bmp, int cx, int cy, const RECT* area, HPALETTE pal);

void DluToPixels(CWnd* w, RECT* r);
void DluToPixels(CWnd* w, POINT* p);
int DluToPixelsX(CWnd* w, int x);

BOOL IsFocusWithin(CWnd* w);
// The window's own object, or a temporary one valid until the message loop
// is next idle; null when there is no tab stop.
CWnd* FindTabStop(CWnd* parent, CWnd* from, BOOL backward);
CWnd* FindFirstTabStop(CWnd* parent);

// The length written with its terminator, as the plain form; 0, with out
// untouched, when d is no valid date.
int FormatVariantDate(DATE d, CString& out);
int FormatVariantTime(DATE d, CString& out);

// The program's folder followed by name; empty when the path cannot be had.
CString GetModulePath(const char* name);

// Registers a class whose windows run the framework's window procedure, in
// the program's instance. TRUE when the class is there afterwards: a class
// registered before is kept as it is and the arguments go unused (the
// caller still owns a brush it made for this call).
BOOL RegisterWndClass(LPCTSTR name, UINT style, HBRUSH background, HCURSOR cursor, HICON icon);
