#include "StandInObject.h"

#include "OutlookStandIn.h"
#include "StandInDispIds.h"

namespace {

// Members Plover uses that not every version has: a task's contacts were
// "Contacts" in Outlook 97 and "ContactNames" from Outlook 98 on; the
// store's master category list came with Outlook 2007.
struct VersionedMember {
    const IID* iid;
    const wchar_t* name;
    DISPID id;
    int since;   // first version that has it (8.5 is 805)
    int before;  // first version that no longer has it
};
const VersionedMember kVersionedMembers[] = {
    {&IID__TaskItem, L"ContactNames", DISPID_OL_CONTACTNAMES, 805, 99999},
    {&IID__TaskItem, L"Contacts", DISPID_OL_CONTACTS, 0, 805},
    {&IID__NameSpace, L"Categories", DISPID_OL_CATEGORYLIST, 1200, 99999},
};

bool Served(const VersionedMember& member)
{
    const int version = StandInSettings::Version();
    return version >= member.since && version < member.before;
}

}  // namespace

HRESULT StandInClosed(DWORD session)
{
    return session == StandInSettings::Session() ? S_OK : StandInSettings::ClosedAnswer();
}

bool StandInHasMember(REFIID iid, const wchar_t* name)
{
    for (const VersionedMember& member : kVersionedMembers) {
        if (IsEqualIID(iid, *member.iid) && lstrcmpiW(name, member.name) == 0)
            return Served(member);
    }
    return true;
}

bool StandInHasMember(REFIID iid, DISPID id)
{
    for (const VersionedMember& member : kVersionedMembers) {
        if (IsEqualIID(iid, *member.iid) && id == member.id)
            return Served(member);
    }
    return true;
}
