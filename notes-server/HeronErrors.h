// Heron's error records and the worker's last error.
#pragma once
#include <windows.h>

#include <string>

// An error of the server itself, thrown by value inside it.
struct _NTS5ERROR {
    const char* symbol;
    int code;       // negative
    UINT messageId; // string table id of its message
};

#define HERON_ERROR(name, code) const _NTS5ERROR name = {#name, code, HeronErrorMessageId(code)}

// The message of an error code: 134 minus the code for -1 to -34, then
// 177, 178, 180 and 183 for -35 to -38; 0 for any other code.
constexpr UINT HeronErrorMessageId(int code)
{
    return code <= -1 && code >= -34 ? static_cast<UINT>(134 - code)
           : code == -35             ? 177
           : code == -36             ? 178
           : code == -37             ? 180
           : code == -38             ? 183
                                     : 0;
}

HERON_ERROR(NTS5_ERROR_CANT_CREATE_EVENT, -1);
HERON_ERROR(NTS5_ERROR_CANT_CREATE_THREAD, -2);
HERON_ERROR(NTS5_ERROR_NOTES_CONNECT_TIMEOUT, -3);
HERON_ERROR(NTS5_ERROR_INVALID_CONNECTION, -4);
HERON_ERROR(NTS5_ERROR_UNKNOWN, -5);
HERON_ERROR(NTS5_ERROR_OUT_OF_MEMORY, -6);
HERON_ERROR(NTS5_ERROR_NO_ADDRESSBOOKS_FOUND, -7);
HERON_ERROR(NTS5_ERROR_UNABLE_TO_OPEN_NAB, -9);
HERON_ERROR(NTS5_ERROR_CANT_OPEN_MAIL_DATABASE, -12);
HERON_ERROR(NTS5_ERROR_CANT_OPEN_CALENDAR_PROFILE, -13);
HERON_ERROR(NTS5_ERROR_CANT_GET_CALENDAR, -14);
HERON_ERROR(NTS5_ERROR_UNABLE_TO_CREATE_CALENDAR_ENTRY, -15);
HERON_ERROR(NTS5_ERROR_ITEM_HAS_NO_BODY, -16);
HERON_ERROR(NTS5_ERROR_CONTACT_MISSING_INFORMATION, -19);
HERON_ERROR(NTS5_ERROR_PROFILE_FUNCTION_NOT_FOUND, -29);
HERON_ERROR(NTS5_ERROR_UNABLE_TO_LAUNCH_NOTES, -30);
HERON_ERROR(NTS5_ERROR_UNABLE_TO_GET_MODIFICATIONS, -31);
HERON_ERROR(NTS5_ERROR_UNABLE_TO_CREATE_JOURNAL_DB, -32);
HERON_ERROR(NTS5_ERROR_CANT_GET_CATEGORIES_BAD, -33);
HERON_ERROR(NTS5_ERROR_UNABLE_TO_OPEN_DOCUMENT, -34);
HERON_ERROR(NTS5_ERROR_INVALID_NOTES_API_VERSION, -35);
HERON_ERROR(NTS5_ERROR_CANT_FIND_INIFILE, -36);
HERON_ERROR(NTS5_ERROR_NOTES_NOT_CONFIGURED, -37);
HERON_ERROR(NTS5_ERROR_CANT_GET_SERVERLIST, -38);

enum HeronErrorKind { HERON_ERROR_NONE = 0, HERON_ERROR_NOTES_STATUS = 1, HERON_ERROR_SERVER = 3 };

// The last failure a worker recorded; a later success leaves it.
class HeronLastError {
public:
    void Set(int kind, int code, const char* message);

    int Kind() const { return m_kind; }
    int Code() const { return m_code; }
    const std::string& Message() const { return m_message; }

private:
    int m_kind = HERON_ERROR_NONE;
    int m_code = 0;
    std::string m_message;
    int m_reserved = 0;
};

// The module whose string table Heron's texts come from (null: the program).
void SetHeronResourceModule(HINSTANCE module);
// String `id` (empty for 0 or a missing string), at most `limit` - 1 bytes.
std::string HeronString(UINT id, int limit = 1024);
