#include "PalmLines.h"

#include <vector>

#include "QuotedFields.h"
#include "VariantArray.h"

const BYTE kContactFieldOrder[12] = {0x0B, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x0A, 0x62, 0x63};
const BYTE kCategoryFieldOrder[3] = {0x02, 0x01, 0x02};

namespace {

const double kMinute = 1.0 / 1440.0;
const double kHour = 1.0 / 24.0;

CString Quoted(const CString& text)
{
    std::vector<char> field(static_cast<size_t>(text.GetLength()) * 2 + 3, '\0');
    memcpy(field.data(), text.GetString(), static_cast<size_t>(text.GetLength()));
    QuoteCsvField(field.data(), field.size());
    return CString(field.data());
}

CString Quoted(long number)
{
    CString text;
    text.Format("%ld", number);
    return Quoted(text);
}

CString Joined(std::initializer_list<CString> fields)
{
    CString line;
    for (const CString& field : fields) {
        if (!line.IsEmpty())
            line += ',';
        line += field;
    }
    return line;
}

// The entry whose address the contact line gives as the e-mail, or -1: the
// shown entry when it is an e-mail entry, else the first entry labelled
// E-Mail in any case.
int EmailEntry(const CONTACTITEM& contact, const CString& emailLabel)
{
    for (int i = 0; i < CONTACTITEM::EMAIL_COUNT; ++i)
        if (contact.Email(i).shown && emailLabel == contact.Email(i).GetLabel())
            return i;
    for (int i = 0; i < CONTACTITEM::EMAIL_COUNT; ++i)
        if (emailLabel.CompareNoCase(contact.Email(i).GetLabel()) == 0)
            return i;
    return -1;
}

} // namespace

CString CategoryLine(const CategoryInfo& category)
{
    CString number;
    number.Format("%ld##%ld", category.reserved, category.id);
    return Joined({Quoted(category.name), Quoted(number)});
}

CString ContactLine(const CONTACTITEM& contact, const CString& emailLabel)
{
    auto isEmail = [&](int i) { return !emailLabel.IsEmpty() && emailLabel == contact.Email(i).GetLabel(); };
    CString shown;
    for (int i = 0; i < CONTACTITEM::EMAIL_COUNT && shown.IsEmpty(); ++i)
        if (contact.Email(i).shown)
            shown = contact.Email(i).GetValue();
    const int email = emailLabel.IsEmpty() ? -1 : EmailEntry(contact, emailLabel);
    CString line = Joined({Quoted(CString(contact.GetText(CONTACTITEM::FirstName))),
                           Quoted(CString(contact.GetText(CONTACTITEM::LastName))),
                           Quoted(CString(contact.GetText(CONTACTITEM::Company))), Quoted(long(contact.recordId)),
                           Quoted(shown),
                           Quoted(CString(email >= 0 && isEmail(email) ? contact.Email(email).GetValue() : ""))});
    for (int i = 0; i < CONTACTITEM::EMAIL_COUNT; ++i)
        line += "," + Quoted(CString(isEmail(i) ? contact.Email(i).GetValue() : ""));
    return line;
}

DATE AlarmMoment(const DateBookItem& appointment)
{
    // Automation dates count local wall-clock time, so moving the start by
    // its advance carries into the next hour or day as the calendar does.
    switch (appointment.alarmUnit) {
    case PalmAlarmMinutes:
        return appointment.start + appointment.alarmAdvance * kMinute;
    case PalmAlarmHours:
        return appointment.start + appointment.alarmAdvance * kHour;
    case PalmAlarmDays:
        return appointment.start + appointment.alarmAdvance;
    default:
        return appointment.start;
    }
}

CString DayLine(const DateBookItem& appointment)
{
    auto date = [](DATE value) {
        CString text;
        text.Format("%.7f", value);
        return Quoted(text);
    };
    return Joined({date(appointment.start), date(appointment.end),
                   date(appointment.alarmAdvance == -1 ? -1.0 : AlarmMoment(appointment)), Quoted(1L),
                   Quoted(appointment.description)});
}

bool FillLineList(VARIANT* list, const CStringArray& lines)
{
    VariantInit(list);
    if (FAILED(QuiMakeStringArray(list)))
        return false;
    for (int i = 0; i < lines.GetSize(); ++i) {
        if (FAILED(QuiAppendAnsiString(list, lines[i]))) {
            VariantClear(list);
            return false;
        }
    }
    return true;
}
