#include "WebEditionsShared.h"

#include <cmath>

#include "ActionNote.h"
#include "ButtonProps.h"
#include "Datastore.h"
#include "DateUtil.h"
#include "DateValue.h"
#include "Destination.h"
#include "FrameworkUtil.h"
#include "QuiParserMgr.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"
#include "QuillmateExcept.h"
#include "WebActionItem.h"
#include "WebActionJug.h"
#include "WebActionsPane.h"
#include "WebConnector.h"

QuiPrsKeyphrase* KeyphraseOf(int nExtra)
{
    return reinterpret_cast<QuiPrsKeyphrase*>(static_cast<INT_PTR>(nExtra));
}

bool UserChanged(CDestProp* prop)
{
    return prop && (prop->GetFlags() & CDestProp::FLAG_USER_CHANGED) != 0;
}

void SetChecked(CDestination& dest, bool bChecked)
{
    COleVariant value;
    value.vt = VT_BOOL;
    value.boolVal = bChecked ? VARIANT_TRUE : VARIANT_FALSE;
    dest.GetCheckProp()->SetValue(value);
}

bool IsChecked(CDestination& dest)
{
    VARIANT value;
    ::VariantInit(&value);
    dest.GetCheckProp()->GetValue(&value);
    bool checked = value.vt == VT_BOOL && value.boolVal != VARIANT_FALSE;
    ::VariantClear(&value);
    return checked;
}

void RegisterDateSink(CDestination* dest, CActionNote* note, QuiDestinationSink& sink, QuiPrsContext*& context,
                      bool& registered)
{
    CQuillmateApp* app = QuiGetApp();
    QuiParserMgr* manager = app ? app->GetParserMgr() : nullptr;
    CDatastore* datastore = app ? app->GetDatastore() : nullptr;
    QuiPrsContext* noteContext = note ? note->GetContext() : nullptr;
    if (!manager || !datastore || !noteContext)
        return;
    // A second attach in the same context must not double every event.
    if (registered && context == noteContext && manager->HasContext(context))
        return;
    UnregisterDateSink(sink, context, registered);
    context = noteContext;
    sink.SetDestination(dest);
    registered = manager->RegisterSink("Date", context, datastore->GetItemType(WEB_DATE_ITEM_TYPE), &sink);
}

void UnregisterDateSink(QuiDestinationSink& sink, QuiPrsContext*& context, bool& registered)
{
    if (!registered)
        return;
    registered = false;
    CQuillmateApp* app = QuiGetApp();
    QuiParserMgr* manager = app ? app->GetParserMgr() : nullptr;
    if (manager && context && manager->HasContext(context))
        manager->UnregisterSink("Date", context, &sink);
    context = nullptr;
}

void RoleDate(QuiPrsItemRole* role, COleVariant& value)
{
    value.Clear();
    auto* numeric = role ? dynamic_cast<QuiNumericItem*>(role->getItem()) : nullptr;
    DATE date = numeric ? TimeToVariantDate(static_cast<int32_t>(numeric->getValue())) : 0.0;
    if (date == 0.0) {
        // A moment that could not be converted is no date: never 30 Dec 1899.
        value.vt = VT_NULL;
        return;
    }
    value.vt = VT_DATE;
    value.date = date;
}

DATE FieldDate(CDateDrop& field)
{
    DATE date = -1.0;
    if (field.GetSafeHwnd())
        field.GetDate(&date);
    return date;
}

DATE FieldTime(CTimeEdit& field)
{
    DATE time = -1.0;
    if (field.GetSafeHwnd())
        field.GetTime(&time);
    return time;
}

void RewriteTime(CTimeEdit& field)
{
    const DATE time = FieldTime(field);
    if (time >= 0.0)
        field.SetTime(time);
}

const CWebConnectorSubtype* CatalogueSubtype(const CString& itemId)
{
    CQuillmateApp* app = QuiGetApp();
    CDatastore* datastore = app ? app->GetDatastore() : nullptr;
    QuiItemList* items = datastore ? datastore->GetItemList() : nullptr;
    auto* item = items ? dynamic_cast<CWebActionItem*>(items->get(QuiItemID(itemId))) : nullptr;
    return item ? item->GetSubtype() : nullptr;
}

void SetDateParameters(CWebActionJug* action, CDateDrop& field, int flags)
{
    const DATE date = FieldDate(field);
    if (date == -2.0)
        throw new COzuExcept(IDS_WEBCAL_BAD_DATE, 0);
    CString text;
    if (date > 0.0) {
        COleDateTime day(date);
        char month[100] = "";
        ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME1 + day.GetMonth() - 1, month, sizeof month);
        action->SetParameter("startmonth", month);
        text.Format("%d", day.GetDay());
        action->SetParameter("startday", text);
        text.Format("%d", day.GetYear());
        action->SetParameter("startyear", text);
        text.Format("%ld", static_cast<long>(VariantDateToTime(std::floor(date))));
        action->SetParameter("dateastimet", text);
        return;
    }
    if ((flags & CDestProp::FLAG_USER_CHANGED) && !(flags & CDestProp::FLAG_USER_EMPTIED))
        throw new COzuExcept(IDS_WEBCAL_BAD_DATE, 0);
    action->SetParameter("startmonth", "");
    action->SetParameter("startday", "");
    action->SetParameter("startyear", "");
    action->SetParameter("dateastimet", "-1");
}
