// The values the drop fields' adaptors take and give as VARIANTs, apart from
// the fields: whatever shape a destination or a client hands in. Failures
// throw COleException.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <quifw/OleVariant.h>
#include <quifw/String.h>

// The date of a copy of v converted to VT_DATE.
DATE QuiVariantDate(const VARIANT& v);
// The ANSI text of a copy of v converted to VT_BSTR.
CString QuiVariantText(const VARIANT& v);
// The texts of a one-dimensional array of strings or of variants (each
// converted to a string), from its lower bound to its upper bound; any
// other value is a list of its one text.
void QuiVariantTexts(const VARIANT& v, CStringArray& out);
// pOut becomes an array of strings holding the texts, from index 0.
void QuiTextsVariant(const CStringArray& texts, VARIANT* pOut);
