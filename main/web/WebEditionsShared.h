// What the web editions' panes, destinations and notes share.
#pragma once
#include <afxquill.h>

#include "DateDrop.h"
#include "DestUtil.h"
#include "QuiParseSinks.h"

class CActionNote;
class CDestination;
class CDestProp;
class CWebActionJug;
class CWebConnectorSubtype;
class QuiPrsContext;
class QuiPrsItemRole;
class QuiPrsKeyphrase;

// Registers the sink for the package "Date" and the date item type in the
// note's context (once per context); the context is kept for unregistering.
void RegisterDateSink(CDestination* dest, CActionNote* note, QuiDestinationSink& sink, QuiPrsContext*& context,
                      bool& registered);
void UnregisterDateSink(QuiDestinationSink& sink, QuiPrsContext*& context, bool& registered);

// The subtype of the catalogue's web action item with that identifier; null
// when there is none.
const CWebConnectorSubtype* CatalogueSubtype(const CString& itemId);
// "startmonth", "startday", "startyear" and "dateastimet" from the date
// field. Text that is no date, or a field the user typed into and left
// without a date, throws COzuExcept. Without a date the three names are sent
// empty, so that the action's template does not put today's date in.
void SetDateParameters(CWebActionJug* action, CDateDrop& field, int flags);
