#include "CalendarFields.h"

#include <algorithm>
#include <cmath>
#include <list>

#include "ActionNote.h"
#include "DestUtil.h"
#include "DropProps.h"

bool TakeDayOfStart(CDateDropProp& date, const VARIANT& start, INT_PTR nExtra, CActionNote* note)
{
    if (nExtra == 0 || date.GetKeyphraseId() != 0 || UserChanged(&date))
        return false;
    COleVariant day(start);
    if (day.vt == VT_DATE && day.date > 0.0)
        day.date = std::floor(day.date);
    date.SetKeyphraseId(nExtra);
    if (note) {
        const std::list<QuiPrsKeyphrase*>& marked = note->GetKeyphrases();
        if (std::find(marked.begin(), marked.end(), KeyphraseOf(nExtra)) == marked.end())
            note->AddKeyphrase(KeyphraseOf(nExtra));
    }
    date.SetValueAndFlags(day, CDestProp::FLAG_PARSED);
    return true;
}
