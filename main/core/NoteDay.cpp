#include "NoteDay.h"

#include <cmath>

#include "ActionNote.h"
#include "DestUtil.h"
#include "DropProps.h"

void CNoteDay::Fill(INT_PTR nExtra, const VARIANT& value, CActionNote* note)
{
    m_pField->SetKeyphraseId(nExtra);
    HoldKeyphrase(note, m_pOwner, nExtra);
    m_pField->SetValueAndFlags(value, CDestProp::FLAG_PARSED);
}

bool CNoteDay::TakeDay(INT_PTR nExtra, const VARIANT& value, CActionNote* note)
{
    if (!m_pField || nExtra == 0 || UserChanged(m_pField))
        return false;
    const INT_PTR holder = m_pField->GetKeyphraseId();
    if (holder != 0 && holder != m_nTime)
        return false;
    // The time's day goes first: a day out of range then leaves the field
    // empty, as when it came before the time, and filing refuses it alike.
    if (holder != 0)
        m_pField->SetValueAndFlags(NoDate(), CDestProp::FLAG_PARSED);
    Fill(nExtra, value, note);
    return true;
}

bool CNoteDay::TakeTime(INT_PTR nExtra, const VARIANT& value, CActionNote* note)
{
    if (!m_pField || nExtra == 0)
        return false;
    if (m_nTime == 0) {
        m_nTime = nExtra;
        m_time = value;
        HoldKeyphrase(note, m_pOwner, nExtra);
    }
    if (m_nTime != nExtra || m_pField->GetKeyphraseId() != 0 || UserChanged(m_pField))
        return false;
    Fill(nExtra, m_time, note);
    return true;
}

bool CNoteDay::Drop(INT_PTR nExtra, CActionNote* note, bool bRefill)
{
    if (!m_pField || nExtra == 0)
        return false;
    const bool standing = nExtra == m_nTime;
    if (standing) {
        m_nTime = 0;
        m_time.Clear();
    }
    const bool held = m_pField->GetKeyphraseId() == nExtra;
    if (held)
        m_pField->SetKeyphraseId(0);
    // The phrase is gone whatever the field holds: its mark goes with it.
    if (standing || held)
        LetKeyphraseGo(note, m_pOwner, nExtra);
    // A field the user changed keeps the user's value.
    if (!held || UserChanged(m_pField))
        return false;
    m_pField->SetValueAndFlags(NoDate(), CDestProp::FLAG_PARSED);
    if (m_nTime != 0 && bRefill)
        Fill(m_nTime, m_time, note);
    return true;
}

void CNoteDay::Forget()
{
    m_nTime = 0;
    m_time.Clear();
}

COleVariant NoDate()
{
    COleVariant none;
    none.vt = VT_NULL;
    none.date = -1.0;
    return none;
}

COleVariant DayOf(const VARIANT& value)
{
    COleVariant day(value);
    if (day.vt == VT_DATE && day.date > 0.0)
        day.date = std::floor(day.date);
    return day;
}
