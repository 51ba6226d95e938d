// The worker's reading of the calendar profile values (CalendarPrefs).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "HeronRes.h"
#include "HeronWorker.h"
#include "NotesRecords.h"

namespace {

const char* const kProfileItems[] = {"CalEntryType", "DefaultDuration", "EnableAlarms", "TaskFollow"};
// The statuses of a server that cannot be reached: the port's and the
// server's.
const LNSTATUS kServerStatuses[] = {47, 2051};

}  // namespace

std::string ProfileValueText(WORD type, const void* data, DWORD length)
{
    if (!data)
        return std::string();
    if (type == TYPE_TEXT)
        return std::string(static_cast<const char*>(data), length);
    if (type == TYPE_NUMBER && length >= sizeof(double)) {
        double number;
        std::memcpy(&number, data, sizeof number);
        char text[32];
        std::snprintf(text, sizeof text, "%.7g", number);
        return text;
    }
    return std::string();
}

// An entry type that is no whole number (an empty value included) has no
// kind bit, rather than reading as type 0.
std::string CalendarKindBitText(const std::string& entryType)
{
    char* end = nullptr;
    double number = std::strtod(entryType.c_str(), &end);
    NotesItemRecord record;
    if (!entryType.empty() && end && *end == 0 && number == static_cast<LONG>(number))
        AddAppointmentTypeBit(&record, static_cast<LONG>(number));
    return std::to_string(record.SubTypeMask());
}

int HERON::CalendarPrefs(VARIANT* out)
{
    try {
        LNDatabase mail;
        m_session.GetMailDatabase(&mail);
        mail.Open();
        DBHANDLE database = mail.GetDatabaseHandle();
        const LNNotesFunctions& api = LNNotes();
        if (!api.OSLockObject || !api.OSUnlockObject)
            throw static_cast<LNSTATUS>(LNERR_NO_FUNCTION);
        std::string values[4];
        for (int i = 0; i < 4; ++i) {
            OpenedNote profile;
            if (OpenCalendarProfile(&profile.handle, database))
                throw NTS5_ERROR_CANT_OPEN_CALENDAR_PROFILE;
            WORD type = 0;
            BLOCKID value = {NULLHANDLE, 0};
            DWORD length = 0;
            if (GetCalendarProfileField(database, profile.handle, kProfileItems[i], &type, &value, &length) == 0
                && value.pool && length >= 2) {
                // The block's value begins with its type word.
                const BYTE* data = static_cast<const BYTE*>(api.OSLockObject(value.pool));
                values[i] = data ? ProfileValueText(type, data + value.block + 2, length - 2) : std::string();
                api.OSUnlockObject(value.pool);
            }
        }
        mail.Close();
        values[0] = CalendarKindBitText(values[0]);
        for (int i = 0; i < 4; ++i)
            lstrcpynA(m_profile[i], values[i].c_str(), sizeof m_profile[i]);
        m_profileRead = true;
        TextList list;
        for (const std::string& value : values)
            list.Append(value);
        list.ToVariant(out);
        return 0;
    } catch (LNSTATUS status) {
        bool server = std::find(std::begin(kServerStatuses), std::end(kServerStatuses), status) != std::end(kServerStatuses);
        SetStatusError(status, "", server ? IDS_SERVER_UNREACHABLE : IDS_CTX_CALENDAR_PROFILE);
        return status;
    } catch (const _NTS5ERROR& error) {
        SetError(error, "CalendarPrefs", IDS_CTX_CALENDAR_PROFILE);
        return error.code;
    }
}

const char* HERON::CachedProfileValue(int index) const
{
    return m_profileRead && index >= 0 && index < 4 ? m_profile[index] : nullptr;
}
