// The small controls the fields and pop-ups are built from.
#pragma once

#include <afxquill.h>

// An edit control that keeps its normal look while disabled: a field that is
// filled only by picking from its pop-up still reads as a field.
class CEditEx : public CEdit {
protected:
    afx_msg void OnEnable(BOOL bEnable);

    DECLARE_MESSAGE_MAP()
};

// The month calendar of the date pop-up.
class CQuillmateCalendar : public CMonthCalCtrl {};
