// The day a date field takes from a note's phrases, alike in every edition's
// to-do and calendar destinations.
#pragma once
#include <afxquill.h>

class CActionNote;
class CDateDropProp;
class CDestination;

// The role tag of a phrase that names a time of day and no day of its own.
enum { kTimeOfDayTag = 7 };

// A phrase that names a day ("monday", "tomorrow") decides the day wherever
// it stands in the note and in whatever order it was typed. A phrase that
// names only a time of day carries the day it was read on: it fills the field
// while no phrase names a day, and stands by to fill it again when the day's
// phrase goes. The first phrase of each sort holds; the note marks both.
class CNoteDay {
public:
    // The field and the destination whose hold on the phrases the note marks.
    void Bind(CDateDropProp* pField, const CDestination* pOwner)
    {
        m_pField = pField;
        m_pOwner = pOwner;
    }

    // A phrase naming a day: takes the field unless another day's phrase
    // holds it. True when taken.
    bool TakeDay(INT_PTR nExtra, const VARIANT& value, CActionNote* note);
    // A phrase naming only a time of day, with the value the field would
    // show for it: the first one stands by and fills an empty field. True
    // when it filled the field.
    bool TakeTime(INT_PTR nExtra, const VARIANT& value, CActionNote* note);
    // A phrase gone: the field lets it go, its mark goes, and a field the
    // user changed keeps the user's value. The time standing by takes the
    // place of a day's phrase only with bRefill: a field takes no phrase
    // while parsing is locked or the user switched its pane off. True when
    // the field changed.
    bool Drop(INT_PTR nExtra, CActionNote* note, bool bRefill);
    // Forgets the time standing by; the destination lets its phrases go.
    void Forget();

    // The time phrase standing by, 0 for none.
    INT_PTR StandingTime() const { return m_nTime; }

private:
    void Fill(INT_PTR nExtra, const VARIANT& value, CActionNote* note);

    CDateDropProp* m_pField = nullptr;
    const CDestination* m_pOwner = nullptr;
    INT_PTR m_nTime = 0;
    COleVariant m_time;
};

// The value's day at midnight, as a date field shows a time phrase's day.
COleVariant DayOf(const VARIANT& value);
// An empty field's value.
COleVariant NoDate();
