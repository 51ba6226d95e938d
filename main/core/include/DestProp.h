// The value adaptor base: one adaptor stands between a destination and one
// control, reads and writes the control's value as a VARIANT, and keeps the
// flag word that says whether the user or the parser last changed the value.
#pragma once
#include <afxquill.h>

class CDestProp {
public:
    // Flag word bits; no other bit is used.
    enum {
        FLAG_USER_CHANGED = 4,   // the user changed the value
        FLAG_PARSED = 8,         // a parsed keyphrase filled the value
        FLAG_USER_EMPTIED = 16   // the user emptied the field
    };

    // The adaptor does not own the control; both live as long as the pane.
    explicit CDestProp(CWnd* pCtrl) : m_pCtrl(pCtrl) {}
    CDestProp(const CDestProp&) = delete;
    CDestProp& operator=(const CDestProp&) = delete;
    virtual ~CDestProp() {}

    virtual void SetValue(const VARIANT& v) = 0;
    virtual void GetValue(VARIANT* pOut) = 0;
    virtual int GetFlags() { return m_nFlags; }
    virtual void SetFlags(int nFlags) { m_nFlags = nFlags; }
    virtual void AddFlags(int nFlags) { m_nFlags |= nFlags; }
    // The id of the parse result that last filled the value; compared when a
    // parse result is withdrawn.
    virtual void SetKeyphraseId(INT_PTR nId) { m_nKeyphraseId = nId; }
    virtual INT_PTR GetKeyphraseId() { return m_nKeyphraseId; }
    // Kept for the owner; no meaning here.
    virtual void SetData(int nData) { m_nData = nData; }
    virtual int GetData() { return m_nData; }

    CWnd* GetControl() const { return m_pCtrl; }

protected:
    int m_nFlags = 0;
    INT_PTR m_nKeyphraseId = 0;
    int m_nData = 0;
    CWnd* m_pCtrl;
};
