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

void RegisterDateSink(CDestination* dest, CActionNote* note, QuiDestinationSink& sink, QuiPrsContext*& context,
                      bool& registered)
{
    RegisterDestinationSink("Date", WEB_DATE_ITEM_TYPE, dest, note, sink, context, registered);
}

void UnregisterDateSink(QuiDestinationSink& sink, QuiPrsContext*& context, bool& registered)
{
    UnregisterDestinationSink("Date", sink, context, registered);
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
