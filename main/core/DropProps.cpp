#include "DropProps.h"

#include "DropValues.h"

namespace {

// The flag word once the user's editing is counted: an edit that leaves
// text makes it exactly "changed by the user"; one that empties the field
// adds "emptied" to what was there.
int FlagsAfterUserEdit(CDestProp& prop, CEditDrop& field)
{
    if (field.IsModified()) {
        prop.AddFlags(CDestProp::FLAG_USER_CHANGED);
        if (field.GetTextLength() != 0)
            prop.SetFlags(CDestProp::FLAG_USER_CHANGED);
        else
            prop.AddFlags(CDestProp::FLAG_USER_EMPTIED);
    }
    return prop.CDestProp::GetFlags();
}

int SetValueThenFlags(CDestProp& prop, const VARIANT& v, int nFlags)
{
    prop.SetValue(v);
    prop.SetFlags(nFlags);
    return 0;
}

// An empty field (-1.0) and unreadable text (-2.0) are VT_NULL, the date kept
// beside it; any other date is VT_DATE.
void PutFieldDate(VARIANT* pOut, DATE d)
{
    ::VariantClear(pOut);
    pOut->vt = (d == -1.0 || d == -2.0) ? VT_NULL : VT_DATE;
    pOut->date = d;
}


} // namespace

//--- dates

CDateDropProp::CDateDropProp(CDateDrop* pDrop) : CDestProp(pDrop), m_pDrop(pDrop)
{
    pDrop->SetAdaptor(this);
}

void CDateDropProp::SetValue(const VARIANT& v)
{
    if (v.vt == VT_NULL) {
        m_pDrop->SetDate(-1.0);
        m_nKeep = 0;
        return;
    }
    DATE d = QuiVariantDate(v);
    if (d == -3.0)
        m_nKeep = -3;
    else
        m_pDrop->SetDate(d);
}

void CDateDropProp::GetValue(VARIANT* pOut)
{
    // Read afresh: a caller's VARIANT that still holds -3.0 would otherwise
    // hide the date the user typed.
    DATE d = 0.0;
    m_pDrop->GetDate(&d);
    if (m_nKeep == -3 && d == -1.0) {
        ::VariantClear(pOut);
        pOut->vt = VT_DATE;
        pOut->date = -3.0;
        return;
    }
    PutFieldDate(pOut, d);
}

int CDateDropProp::GetFlags()
{
    return FlagsAfterUserEdit(*this, *m_pDrop);
}

int CDateDropProp::SetValueAndFlags(const VARIANT& v, int nFlags)
{
    return SetValueThenFlags(*this, v, nFlags);
}

//--- times

CTimeEditProp::CTimeEditProp(CTimeEdit* pEdit) : CDestProp(pEdit), m_pEdit(pEdit)
{
    pEdit->SetAdaptor(this);
}

void CTimeEditProp::SetValue(const VARIANT& v)
{
    m_pEdit->SetTime(v.vt == VT_NULL ? -1.0 : QuiVariantDate(v));
}

void CTimeEditProp::GetValue(VARIANT* pOut)
{
    DATE t = 0.0;
    m_pEdit->GetTime(&t);
    PutFieldDate(pOut, t);
}

int CTimeEditProp::GetFlags()
{
    return FlagsAfterUserEdit(*this, *m_pEdit);
}

int CTimeEditProp::SetValueAndFlags(const VARIANT& v, int nFlags)
{
    return SetValueThenFlags(*this, v, nFlags);
}

//--- texts

CEditDropProp::CEditDropProp(CEditDrop* pDrop) : CDestProp(pDrop), m_pDrop(pDrop) {}

void CEditDropProp::SetValue(const VARIANT& v)
{
    m_pDrop->SetText(QuiVariantText(v));
}

void CEditDropProp::GetValue(VARIANT* pOut)
{
    ::VariantClear(pOut);
    pOut->vt = VT_BSTR;
    pOut->bstrVal = m_pDrop->GetText().AllocSysString();
}

int CEditDropProp::GetFlags()
{
    return FlagsAfterUserEdit(*this, *m_pDrop);
}

//--- item lists

CMultiDropProp::CMultiDropProp(CMultiDrop* pDrop) : CDestProp(pDrop), m_pDrop(pDrop)
{
    pDrop->SetAdaptor(this);
}

void CMultiDropProp::SetValue(const VARIANT& v)
{
    CStringArray ids;
    QuiVariantTexts(v, ids);
    m_pDrop->SetItems(ids);
}

void CMultiDropProp::GetValue(VARIANT* pOut)
{
    CStringArray ids;
    m_pDrop->GetItemIDs(ids);
    if (ids.IsEmpty())
        return;
    QuiTextsVariant(ids, pOut);
}

void CMultiDropProp::SetKeyphraseId(INT_PTR) {}

INT_PTR CMultiDropProp::GetKeyphraseId()
{
    return 0;
}

void CMultiDropProp::GetItemIDs(CStringArray& ids)
{
    m_pDrop->GetItemIDs(ids);
}

int CMultiDropProp::CheckItem(const CString& id, int nFlags, void* pData, BOOL bSetData)
{
    m_pDrop->CheckItem(id, pData, bSetData);
    AddFlags(nFlags);
    return 0;
}

int CMultiDropProp::UncheckItem(const CString& id, int nFlags, BOOL bClearData)
{
    m_pDrop->UncheckItem(id, bClearData);
    AddFlags(nFlags);
    return 0;
}

int CMultiDropProp::SetItemData(const CString& id, void* pData)
{
    m_pDrop->SetItemData(id, pData);
    return 0;
}

void* CMultiDropProp::GetItemData(const CString& id)
{
    return m_pDrop->GetItemData(id);
}
