// The date and time fields: CDateDrop with its month calendar pop-up, and
// CTimeEdit, a field without a pop-up. Both read and write OLE dates, where
// -1.0 is an empty field and -2.0 text that does not read as a date or time.
#pragma once
#include <afxquill.h>

#include <memory>

#include "DropWnd.h"
#include "EditDrop.h"

class CDateDrop;

// The calendar pop-up of a date field.
class CQuillmateDateDrop : public CQuillmateDropWnd {
public:
    enum { IDC_CALENDAR = 155 };

    explicit CQuillmateDateDrop(CDateDrop* pField);
    BOOL Create();
    // -1.0 and -2.0 select today.
    void SetDate(DATE d);
    const COleDateTime& GetDate() const { return m_date; }
    CQuillmateCalendar& GetCalendar() { return m_calendar; }
    // The calendar's minimum size plus 5 pixels each way.
    CSize GetNeededSize();
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void OnReturn() override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnSelChange(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnSelect(NMHDR* pNMHDR, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()

private:
    // The chosen day at 00:00 into the field, for the user.
    void Pick(const COleDateTime& day);

    CDateDrop* m_pDateField;
    CQuillmateCalendar m_calendar;
    COleDateTime m_date;
};

class CDateDrop : public CEditDrop {
public:
    CDateDrop();
    ~CDateDrop() override;

    // 36 dialog units wide, with a drop button.
    BOOL Create(int x, int y, DWORD dwReserved, CWnd* pParent, UINT nID);
    // -1.0 for an empty field; else the text read as a date, -2.0 when it
    // does not read as one. A -3.0 on entry stays when the field has text.
    void GetDate(DATE* pDate);
    // -1.0, -2.0 and -3.0 empty the field.
    void SetDate(DATE d);

    void DropDown() override;
    void SetDisabled(BOOL bDisabled) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Null until the first drop-down.
    CQuillmateDateDrop* GetPopup() const { return m_pPopup.get(); }

protected:
    CWnd* GetPopupWnd() const override { return m_pPopup.get(); }

private:
    std::unique_ptr<CQuillmateDateDrop> m_pPopup;
    BOOL m_bPopupMade = FALSE;
};

class CTimeEdit : public CEditDrop {
public:
    // 30 dialog units wide, no drop button.
    BOOL Create(int x, int y, DWORD dwReserved, CWnd* pParent, UINT nID);
    // -1.0 for an empty field; else the text read as a time of day, -2.0
    // when it does not read as one.
    void GetTime(DATE* pTime);
    // -1.0 and -2.0 empty the field.
    void SetTime(DATE t);
};
