#include "DDEArgs.h"

#include <cstdlib>
#include <cstring>

namespace {

enum class Code { DW, CS, QCS, BL, Unknown };

Code ParseCode(const CString& code)
{
    if (code == "DW")
        return Code::DW;
    if (code == "CS")
        return Code::CS;
    if (code == "QCS")
        return Code::QCS;
    if (code == "BL")
        return Code::BL;
    return Code::Unknown;
}

std::vector<Code> ParseFormat(LPCSTR lpszFormat)
{
    std::vector<Code> codes;
    CString format(lpszFormat);
    int start = 0;
    while (start <= format.GetLength()) {
        int comma = format.Find(',', start);
        int end = comma < 0 ? format.GetLength() : comma;
        Code code = ParseCode(format.Mid(start, end - start));
        codes.push_back(code);
        if (code == Code::Unknown || comma < 0)
            break;
        start = comma + 1;
    }
    return codes;
}

CString QuoteText(const CString& text)
{
    CString quoted('"');
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] == '"')
            quoted += '\\';
        quoted += text[i];
    }
    quoted += '"';
    return quoted;
}

// A quoted field runs to the next quote without a backslash before it; either
// kind then runs to the next comma. Returns where the next field starts (past
// the comma) or null when this was the last.
LPCSTR ReadField(LPCSTR p, CString* value)
{
    LPCSTR end;
    if (*p == '"') {
        LPCSTR close = p + 1;
        while (*close && !(*close == '"' && close[-1] != '\\'))
            ++close;
        *value = CString(p + 1, static_cast<int>(close - p - 1));
        end = *close ? close + 1 : close;
        while (*end && *end != ',')
            ++end;
    } else {
        end = p;
        while (*end && *end != ',')
            ++end;
        *value = CString(p, static_cast<int>(end - p));
    }
    return *end == ',' ? end + 1 : nullptr;
}

CString UnescapeQuotes(const CString& text)
{
    CString plain;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] == '\\' && text[i + 1] == '"')
            continue;
        plain += text[i];
    }
    return plain;
}

}  // namespace

DDEArg DDEArg::Number(DWORD dwValue)
{
    DDEArg arg;
    arg.dwValue = dwValue;
    return arg;
}

DDEArg DDEArg::Text(LPCSTR lpszText)
{
    DDEArg arg;
    arg.strValue = lpszText;
    return arg;
}

DDEArg DDEArg::OptionalText(LPCSTR lpszText)
{
    return lpszText && *lpszText ? Text(lpszText) : Absent();
}

DDEArg DDEArg::Absent()
{
    DDEArg arg;
    arg.bPresent = false;
    return arg;
}

CString DDEPackArgs(LPCSTR lpszFormat, const std::vector<DDEArg>& args)
{
    CString item;
    std::vector<Code> codes = ParseFormat(lpszFormat);
    for (size_t i = 0; i < codes.size() && codes[i] != Code::Unknown; ++i) {
        if (i > 0)
            item += ',';
        if (i >= args.size() || !args[i].bPresent)
            continue;
        const DDEArg& arg = args[i];
        CString field;
        switch (codes[i]) {
        case Code::DW: field.Format("%lu", static_cast<unsigned long>(arg.dwValue)); break;
        case Code::CS: field = arg.strValue; break;
        case Code::QCS: field = QuoteText(arg.strValue); break;
        case Code::BL: field = arg.dwValue ? "TRUE" : "FALSE"; break;
        case Code::Unknown: break;
        }
        item += field;
    }
    return item;
}

std::vector<DDEArg> DDEUnpackArgs(LPCSTR lpszFormat, LPCSTR lpszItem)
{
    std::vector<DDEArg> values;
    LPCSTR next = lpszItem ? lpszItem : "";
    for (Code code : ParseFormat(lpszFormat)) {
        if (code == Code::Unknown)
            break;
        CString field;
        if (next)
            next = ReadField(next, &field);
        DDEArg value;
        switch (code) {
        case Code::DW: value.dwValue = static_cast<DWORD>(strtoul(field, nullptr, 10)); break;
        case Code::CS: value.strValue = field; break;
        case Code::QCS: value.strValue = UnescapeQuotes(field); break;
        case Code::BL: value.dwValue = field.CompareNoCase("TRUE") == 0 ? 1 : 0; break;
        case Code::Unknown: break;
        }
        values.push_back(value);
    }
    return values;
}
