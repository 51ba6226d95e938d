#include "NotesRecords.h"

#include <cstdlib>

#include "VariantArray.h"

namespace {

const LONG kKindBits[] = {SUBTYPE_APPOINTMENT, SUBTYPE_ANNIVERSARY, SUBTYPE_ALL_DAY_EVENT, SUBTYPE_MEETING,
                          SUBTYPE_REMINDER};

// The kind bit of an appointment type, 0 when the type is none of 0 to 4.
LONG KindBit(LONG appointmentType)
{
    static const char* const kTypes[] = {"0", "1", "2", "3", "4"};
    for (int i = 0; i < 5; ++i) {
        if (appointmentType == std::atoi(kTypes[i]))
            return kKindBits[i];
    }
    return 0;
}

}  // namespace

std::string AnsiText(BSTR text, size_t limit)
{
    std::string narrow;
    if (text) {
        int length = static_cast<int>(SysStringLen(text));
        int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
        narrow.resize(bytes);
        if (bytes)
            WideCharToMultiByte(CP_ACP, 0, text, length, &narrow[0], bytes, nullptr, nullptr);
    }
    if (narrow.size() > limit)
        narrow.resize(limit);
    return narrow;
}

void TextList::AppendFrom(const VARIANT& value)
{
    if (V_VT(&value) == VT_BSTR) {
        if (V_BSTR(&value))
            Append(AnsiText(V_BSTR(&value)));
        return;
    }
    // One dimension of texts, by the array's own type as well as its label:
    // the elements are read as texts.
    if (!QuiIsStringArray(value))
        return;
    SAFEARRAY* array = V_ARRAY(&value);
    BSTR* elements = nullptr;
    if (FAILED(SafeArrayAccessData(array, reinterpret_cast<void**>(&elements))))
        return;
    for (ULONG i = 0; i < array->rgsabound[0].cElements; ++i)
        Append(AnsiText(elements[i]));
    SafeArrayUnaccessData(array);
}

HRESULT TextList::ToVariant(VARIANT* out) const
{
    HRESULT hr = QuiMakeStringArray(out);
    for (size_t i = 0; SUCCEEDED(hr) && i < m_texts.size(); ++i)
        hr = QuiAppendAnsiString(out, m_texts[i].c_str());
    return hr;
}

void AddAppointmentTypeBit(NotesItemRecord* record, LONG appointmentType)
{
    if (LONG bit = KindBit(appointmentType))
        record->SetSubType(record->SubTypeMask() | bit);
}

BYTE CalendarKindFromSubType(const NotesItemRecord* record)
{
    switch (record->GetSubType()) {
    case SUBTYPE_ANNIVERSARY: return CALENDAR_KIND_ANNIVERSARY;
    case SUBTYPE_ALL_DAY_EVENT: return CALENDAR_KIND_ALL_DAY_EVENT;
    case SUBTYPE_MEETING: return CALENDAR_KIND_MEETING;
    case SUBTYPE_REMINDER: return CALENDAR_KIND_REMINDER;
    default: return CALENDAR_KIND_APPOINTMENT;
    }
}
