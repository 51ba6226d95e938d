// Helpers of the automation client's tests: VARIANTs and texts made
// readable for comparisons.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

#include "VariantArray.h"

// A wide text in the ANSI code page, the way the program sees it.
inline std::string Narrow(BSTR text)
{
    if (!text)
        return "<null>";
    int length = static_cast<int>(SysStringLen(text));
    std::string narrow(length * 2 + 1, '\0');
    narrow.resize(WideCharToMultiByte(CP_ACP, 0, text, length, &narrow[0], static_cast<int>(narrow.size()),
                                      nullptr, nullptr));
    return narrow;
}

inline std::string Number(double value)
{
    char text[64];
    snprintf(text, sizeof text, "%.10g", value);
    return text;
}

// "<type> <value>"; a null carries the date the program keeps beside it.
inline std::string Describe(const VARIANT& v)
{
    char text[64];
    switch (v.vt) {
    case VT_EMPTY: return "EMPTY";
    case VT_NULL: return "NULL " + Number(v.date);
    case VT_I2: return "I2 " + std::to_string(v.iVal);
    case VT_I4: return "I4 " + std::to_string(v.lVal);
    case VT_UI1: return "UI1 " + std::to_string(v.bVal);
    case VT_BOOL: return "BOOL " + std::to_string(v.boolVal);
    case VT_ERROR: snprintf(text, sizeof text, "ERROR 0x%08lX", static_cast<unsigned long>(v.scode)); return text;
    case VT_R4: return "R4 " + Number(v.fltVal);
    case VT_R8: return "R8 " + Number(v.dblVal);
    case VT_CY: return "CY " + std::to_string(v.cyVal.int64);
    case VT_DATE: return "DATE " + Number(v.date);
    case VT_BSTR: return "BSTR " + Narrow(v.bstrVal);
    case VT_ARRAY | VT_BSTR: {
        BSTR joined = nullptr;
        std::string all = "ARRAY " + (SUCCEEDED(QuiJoinStringArray(v, L';', &joined)) ? Narrow(joined) : "?");
        SysFreeString(joined);
        return all;
    }
    default: return "vt " + std::to_string(v.vt);
    }
}
