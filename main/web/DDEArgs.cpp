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

// A quote inside gets a backslash; backslashes that stand before a quote,
// the closing one included, are doubled, so that a text ending in one cannot
// escape its own closing quote. Other backslashes go as they are.
CString QuoteText(const CString& text)
{
    CString quoted('"');
    int backslashes = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] == '"') {
            for (int k = 0; k <= backslashes; ++k)
                quoted += '\\';
        }
        backslashes = text[i] == '\\' ? backslashes + 1 : 0;
        quoted += text[i];
    }
    for (int k = 0; k < backslashes; ++k)
        quoted += '\\';
    quoted += '"';
    return quoted;
}

// A quoted field runs to the next quote behind an even run of backslashes
// (none included); either kind then runs to the next comma. Returns where the
// next field starts (past the comma) or null when this was the last; closed
// tells whether a closing quote ended the value.
LPCSTR ReadField(LPCSTR p, CString* value, bool* closed)
{
    LPCSTR end;
    *closed = false;
    if (*p == '"') {
        LPCSTR close = p + 1;
        int backslashes = 0;
        while (*close && !(*close == '"' && backslashes % 2 == 0)) {
            backslashes = *close == '\\' ? backslashes + 1 : 0;
            ++close;
        }
        *value = CString(p + 1, static_cast<int>(close - p - 1));
        *closed = *close != '\0';
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

// Backslashes before a quote (the closing one too, when there was one) come
// in pairs for each one meant, with one more when the quote itself is meant;
// elsewhere they stand for themselves.
CString UnescapeQuotes(const CString& text, bool closed)
{
    CString plain;
    for (int i = 0; i < text.GetLength();) {
        int run = 0;
        while (i + run < text.GetLength() && text[i + run] == '\\')
            ++run;
        if (run == 0) {
            plain += text[i++];
            continue;
        }
        const bool beforeQuote = i + run < text.GetLength() ? text[i + run] == '"' : closed;
        for (int k = 0; k < (beforeQuote ? run / 2 : run); ++k)
            plain += '\\';
        i += run;
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
        bool closed = false;
        if (next)
            next = ReadField(next, &field, &closed);
        DDEArg value;
        switch (code) {
        case Code::DW: value.dwValue = static_cast<DWORD>(strtoul(field, nullptr, 10)); break;
        case Code::CS: value.strValue = field; break;
        case Code::QCS: value.strValue = UnescapeQuotes(field, closed); break;
        case Code::BL: value.dwValue = field.CompareNoCase("TRUE") == 0 ? 1 : 0; break;
        case Code::Unknown: break;
        }
        values.push_back(value);
    }
    return values;
}
