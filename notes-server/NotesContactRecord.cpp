#include "NotesContactRecord.h"

#include <cstring>
#include <vector>

#include "QuotedFields.h"

namespace {

// The field names as one block: each name ends in NUL, the block in two.
const char kFieldNames[] =
    "_ID_\0FirstName\0LastName\0CompanyName\0PhoneNumber\0MailAddress\0StreetAddress\0City\0State\0Country\0"
    "WebSite\0FullName\0ShortName\0MiddleInitial\0OfficePhoneNumber\0_MODFICATIONS_\0";

std::vector<std::string>& Names()
{
    static std::vector<std::string> names;
    return names;
}

LONG g_instances = 0;

// Keeps the names alive for the process from load on.
const NotesContactRecord g_loaded(true);

}  // namespace

NotesContactRecord::NotesContactRecord(bool fillNames)
{
    InterlockedIncrement(&g_instances);
    if (fillNames && Names().empty()) {
        for (const char* name = kFieldNames; *name; name += std::strlen(name) + 1)
            Names().push_back(name);
    }
}

NotesContactRecord::~NotesContactRecord()
{
    InterlockedDecrement(&g_instances);
}

const char* NotesContactRecord::FieldName(int index)
{
    return index >= 0 && static_cast<size_t>(index) < Names().size() ? Names()[index].c_str() : "";
}

bool NotesContactRecord::IsPseudoField(int index)
{
    return index == 0 || index == kFieldCount - 1;
}

int NotesContactRecord::Instances()
{
    return g_instances;
}

// The line is split whole, however many fields it has.
std::string NotesContactRecord::Field(int index) const
{
    if (index < 0)
        return std::string();
    std::vector<char> text(line.begin(), line.end());
    text.push_back('\0');
    std::vector<char*> fields(line.size() + 2);
    int count = SplitCsvLine(text.data(), fields.data(), static_cast<int>(fields.size()));
    if (index >= count)
        return std::string();
    return UnquoteCsvField(fields[index]);
}
