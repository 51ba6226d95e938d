// Argument lists of the browsers' DDE verbs: the item string carries one
// comma-separated field per format code: "DW" a 32-bit number in decimal,
// "CS" a text as it is, "QCS" a text in double quotes (a backslash before
// each quote inside), "BL" "TRUE" or "FALSE".
#pragma once

#include <afxquill.h>

#include <vector>

struct DDEArg {
    DWORD dwValue = 0;     // DW and BL (non-zero: TRUE)
    CString strValue;      // CS and QCS
    bool bPresent = true;  // false: the field stays empty

    static DDEArg Number(DWORD dwValue);
    static DDEArg Text(LPCSTR lpszText);
    // An empty text is sent as an absent argument.
    static DDEArg OptionalText(LPCSTR lpszText);
    static DDEArg Absent();
};

// The item text of the arguments against the format ("QCS,DW"); an unknown
// code ends the text there, and a code without an argument gives an empty field.
CString DDEPackArgs(LPCSTR lpszFormat, const std::vector<DDEArg>& args);

// The values of an item string, one per code of the format: a missing or
// empty DW field reads 0, a missing text reads empty, BL is 1 only for
// "TRUE" in any case. Stops at an unknown code.
std::vector<DDEArg> DDEUnpackArgs(LPCSTR lpszFormat, LPCSTR lpszItem);
