// The value adaptors of the drop fields. The date, time and multi adaptors
// register themselves with their field, which then tells them of the
// changes the user makes through its pop-up.
#pragma once
#include "AutomationText.h"
#include "DateDrop.h"
#include "DestProp.h"
#include "MultiDrop.h"

// VT_DATE, or VT_NULL for an empty field or text that is no date (the date
// beside it says which: -1.0 or -2.0). A -3.0 set on an empty field comes
// back as VT_DATE -3.0: leave the destination's field as it is.
class CDateDropProp : public CDestProp {
public:
    explicit CDateDropProp(CDateDrop* pDrop);
    void SetValue(const VARIANT& v) override;
    void GetValue(VARIANT* pOut) override;
    int GetFlags() override;
    // SetValue, then SetFlags; 0.
    int SetValueAndFlags(const VARIANT& v, int nFlags);

private:
    CDateDrop* m_pDrop;
    int m_nKeep = 0;
};

// VT_BSTR, the field's text.
class CEditDropProp : public CDestProp {
public:
    explicit CEditDropProp(CEditDrop* pDrop);
    void SetValue(const VARIANT& v) override;
    void GetValue(VARIANT* pOut) override;
    int GetFlags() override;

private:
    CEditDrop* m_pDrop;
};

// An array of strings: the IDs of the items the field names (GetValue), or
// of the items its list offers (SetValue; a single string is a list of one).
class CMultiDropProp : public CDestProp {
public:
    explicit CMultiDropProp(CMultiDrop* pDrop);
    void SetValue(const VARIANT& v) override;
    // With no item named, pOut is left as it was.
    void GetValue(VARIANT* pOut) override;
    // The field keeps no keyphrase.
    void SetKeyphraseId(INT_PTR nId) override;
    INT_PTR GetKeyphraseId() override;

    virtual void GetItemIDs(CStringArray& ids);
    virtual int CheckItem(const CString& id, int nFlags, void* pData, BOOL bSetData);
    virtual int UncheckItem(const CString& id, int nFlags, BOOL bClearData);
    virtual int SetItemData(const CString& id, void* pData);
    virtual void* GetItemData(const CString& id);

private:
    CMultiDrop* m_pDrop;
};

// VT_DATE (a time of day), or VT_NULL as for dates.
class CTimeEditProp : public CDestProp {
public:
    explicit CTimeEditProp(CTimeEdit* pEdit);
    void SetValue(const VARIANT& v) override;
    void GetValue(VARIANT* pOut) override;
    int GetFlags() override;
    // SetValue, then SetFlags; 0.
    int SetValueAndFlags(const VARIANT& v, int nFlags);

private:
    CTimeEdit* m_pEdit;
};
