#include "NoteDay.h"

#include <cmath>

#include "ActionNote.h"
#include "DestUtil.h"
#include "DropProps.h"

void CNoteDay::Fill(INT_PTR nExtra, const VARIANT& value, CActionNote* note)
{
    m_pField->SetKeyphraseId(nExtra);
    MarkOnce(note, nExtra);
    m_pField->SetValueAndFlags(value, CDestProp::FLAG_PARSED);
}

bool CNoteDay::TakeDay(INT_PTR nExtra, const VARIANT& value, CActionNote* note)
{
    if (!m_pField || nExtra == 0 || UserChanged(m_pField))
        return false;
    const INT_PTR holder = m_pField->GetKeyphraseId();
    if (holder != 0 && holder != m_nTime)
        return false;
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
        MarkOnce(note, nExtra);
    }
    if (m_nTime != nExtra || m_pField->GetKeyphraseId() != 0 || UserChanged(m_pField))
        return false;
    Fill(nExtra, m_time, note);
    return true;
}

bool CNoteDay::Drop(INT_PTR nExtra, CActionNote* note, bool bParseLocked)
{
    if (!m_pField || nExtra == 0)
        return false;
    const bool standing = nExtra == m_nTime;
    if (standing) {
        m_nTime = 0;
        m_time.Clear();
    }
    if (UserChanged(m_pField) || m_pField->GetKeyphraseId() != nExtra) {
        if (standing && note)
            note->RemoveKeyphrase(KeyphraseOf(nExtra));
        return false;
    }
    COleVariant empty;
    empty.vt = VT_NULL;
    empty.date = -1.0;
    m_pField->SetValueAndFlags(empty, CDestProp::FLAG_PARSED);
    m_pField->SetKeyphraseId(0);
    if (note)
        note->RemoveKeyphrase(KeyphraseOf(nExtra));
    if (m_nTime != 0 && !bParseLocked)
        Fill(m_nTime, m_time, note);
    return true;
}

void CNoteDay::Forget(CActionNote* note)
{
    if (m_nTime != 0 && note && (!m_pField || m_pField->GetKeyphraseId() != m_nTime))
        note->RemoveKeyphrase(KeyphraseOf(m_nTime));
    m_nTime = 0;
    m_time.Clear();
}

COleVariant DayOf(const VARIANT& value)
{
    COleVariant day(value);
    if (day.vt == VT_DATE && day.date > 0.0)
        day.date = std::floor(day.date);
    return day;
}
