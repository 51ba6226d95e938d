// Wide automation texts narrowed for the program, which is ANSI throughout
// (not public).
#pragma once

#include "quifw/String.h"

// nLength characters of lpszWide (-1: up to its terminator), in the ANSI
// code page; empty for null.
CString AfxNarrowText(const wchar_t* lpszWide, int nLength = -1);
// A BSTR whole, embedded zeros and all.
CString AfxNarrowBstr(BSTR bstr);
