#include "DateFormat.h"

#include "DateUtil.h"

#include <oleauto.h>

namespace {
int Format(DATE d, char* out, int outLen, bool time)
{
    SYSTEMTIME st;
    if (!out || outLen < 1 || !IsValidVariantDate(d) || !VariantTimeToSystemTime(d, &st))
        return 0;
    char text[QUI_DATE_TEXT];
    int written = time ? GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, text, sizeof(text))
                       : GetDateFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, text, sizeof(text));
    if (written <= 0 || written > outLen)
        return 0;
    lstrcpynA(out, text, outLen);
    return written;
}
} // namespace

int FormatVariantDate(DATE d, char* out, int outLen)
{
    return Format(d, out, outLen, false);
}

int FormatVariantTime(DATE d, char* out, int outLen)
{
    return Format(d, out, outLen, true);
}
