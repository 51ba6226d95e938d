// What the PIM editions' destinations and panes share among themselves.
#pragma once
#include <afxquill.h>

class CActionNote;
class CDatastore;
class CDestination;
class CDestProp;
class QuiPrsItemRole;

namespace pimdest {

// The role's moment as a local date. A moment that cannot be converted, and
// one before 1970-01-01 or after 2031-12-31 00:00, is VT_DATE -3.0: the field
// keeps its text and filing refuses it.
void RangedRoleDate(QuiPrsItemRole* role, COleVariant& value);
CDatastore* Datastore();
// Today at midnight.
DATE Today();
// The IDs of the items of a type, in list order; those without text left out.
void ItemIds(const char* typeId, CStringArray& ids);
// A one-dimensional array of the items' names (VT_BSTR, lower bound 0); an
// ID without an item leaves its element empty.
void NameArray(const CStringArray& ids, COleVariant& array);
// A VARIANT as a date: -1.0 for VT_NULL/empty kept beside it.
DATE DateOf(const VARIANT& value);
bool IsDate(const VARIANT& value);
// The date a field adaptor reads.
void ReadProp(CDestProp* prop, COleVariant& value);
[[noreturn]] void Refuse(UINT nMessageId);
// The field holds text that the user typed and that gave no value.
bool TypedButUnread(CDestProp* prop);
// The ID string of a role's item; empty when it has none.
CString RoleItemId(QuiPrsItemRole* role);

} // namespace pimdest
