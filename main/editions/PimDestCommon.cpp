#include "PimDestCommon.h"

#include <cmath>
#include <cstring>


#include "ActionNote.h"
#include "Datastore.h"
#include "DatastoreItem.h"
#include "DestProp.h"
#include "DestUtil.h"
#include "QuiParser.h"
#include "QuillmateApp.h"
#include "QuillmateExcept.h"
#include "TextUtil.h"

namespace pimdest {

void RangedRoleDate(QuiPrsItemRole* role, COleVariant& value)
{
    RoleDate(role, value);
    const bool inRange = value.vt == VT_DATE && !std::isnan(value.date) && value.date >= 25569.0 &&
                         value.date <= 48213.0;
    if (!inRange) {
        value.Clear();
        value.vt = VT_DATE;
        value.date = -3.0;
    }
}

CDatastore* Datastore()
{
    CQuillmateApp* app = QuiGetApp();
    return app ? app->GetDatastore() : nullptr;
}

DATE Today()
{
    COleDateTime now = COleDateTime::GetCurrentTime();
    return COleDateTime(now.GetYear(), now.GetMonth(), now.GetDay(), 0, 0, 0).m_dt;
}

void ItemIds(const char* typeId, CStringArray& ids)
{
    ids.RemoveAll();
    CDatastore* datastore = Datastore();
    QuiItemType* type = datastore ? datastore->GetItemType(typeId) : nullptr;
    QuiItemList* items = datastore ? datastore->GetItemList() : nullptr;
    if (!type || !items)
        return;
    int cursor = items->fetchBegin(type);
    while (QuiItem* item = items->fetchNext(cursor)) {
        CString id = item->getID().toString();
        if (!id.IsEmpty())
            ids.Add(id);
    }
    items->fetchEnd(cursor);
}

void NameArray(const CStringArray& ids, COleVariant& array)
{
    array.Clear();
    SAFEARRAYBOUND bound = {static_cast<ULONG>(ids.GetSize()), 0};
    SAFEARRAY* names = ::SafeArrayCreate(VT_BSTR, 1, &bound);
    if (!names)
        AfxThrowOleException(E_OUTOFMEMORY);
    CDatastore* datastore = Datastore();
    QuiItemList* items = datastore ? datastore->GetItemList() : nullptr;
    for (LONG i = 0; i < static_cast<LONG>(ids.GetSize()); i++) {
        auto* item = items ? dynamic_cast<CDatastoreItem*>(items->get(QuiItemID(ids[i]))) : nullptr;
        if (!item)
            continue;
        const char* name = item->GetFieldText(0);
        wchar_t wide[260] = L"";
        const int length = name ? static_cast<int>(std::strlen(name)) : 0;
        // A name is cut to what the buffer holds.
        int written = length ? AnsiToWide(name, wide, 259, length < 259 ? length : 259) : 0;
        wide[written > 0 && written < 260 ? written : 0] = L'\0';
        BSTR text = ::SysAllocString(wide);
        ::SafeArrayPutElement(names, &i, text);
        ::SysFreeString(text);
    }
    array.vt = VT_ARRAY | VT_BSTR;
    array.parray = names;
}

DATE DateOf(const VARIANT& value)
{
    return value.vt == VT_DATE || value.vt == VT_NULL ? value.date : -1.0;
}

bool IsDate(const VARIANT& value)
{
    return value.vt == VT_DATE && value.date >= 0.0;
}

void ReadProp(CDestProp* prop, COleVariant& value)
{
    value.Clear();
    if (prop)
        prop->GetValue(&value);
}

void Refuse(UINT nMessageId)
{
    throw new COzuExcept(nMessageId, 0);
}

bool TypedButUnread(CDestProp* prop)
{
    const int flags = prop->GetFlags();
    return (flags & CDestProp::FLAG_USER_CHANGED) && !(flags & CDestProp::FLAG_USER_EMPTIED);
}

CString RoleItemId(QuiPrsItemRole* role)
{
    QuiItem* item = role ? role->getItem() : nullptr;
    return item ? CString(item->getID().toString()) : CString();
}

} // namespace pimdest
