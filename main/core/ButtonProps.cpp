#include "ButtonProps.h"

#include "FlatButton.h"

namespace {

// The value as `vt`, in a copy that is freed whether or not it converts.
COleVariant Converted(const VARIANT& v, VARTYPE vt)
{
    COleVariant copy(v);
    copy.ChangeType(vt);
    return copy;
}

bool IsTrue(const VARIANT& v)
{
    return Converted(v, VT_BOOL).boolVal != VARIANT_FALSE;
}

void PutBool(VARIANT* pOut, bool b)
{
    ::VariantClear(pOut);
    pOut->vt = VT_BOOL;
    pOut->boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
}

int ChangedBits(const CFlatButton* pButton)
{
    return pButton->GetChanged() ? CDestProp::FLAG_USER_CHANGED : 0;
}

CFlatButton* Button(CWnd* pCtrl)
{
    return static_cast<CFlatButton*>(pCtrl);
}

} // namespace

//--- CCheckBoxProp

void CCheckBoxProp::SetValue(const VARIANT& v)
{
    m_pCtrl->SendMessage(BM_SETCHECK, IsTrue(v) ? BST_CHECKED : BST_UNCHECKED);
}

void CCheckBoxProp::GetValue(VARIANT* pOut)
{
    PutBool(pOut, m_pCtrl->SendMessage(BM_GETCHECK) != 0);
}

int CCheckBoxProp::GetFlags()
{
    return m_nOwnFlags;
}

void CCheckBoxProp::SetFlags(int nFlags)
{
    m_nOwnFlags = nFlags & FLAG_USER_CHANGED;
}

//--- CCheckButtonProp

CCheckButtonProp::CCheckButtonProp(CFlatButton* pButton) : CDestProp(pButton)
{
}

void CCheckButtonProp::SetValue(const VARIANT& v)
{
    Button(m_pCtrl)->SetCheck(IsTrue(v));
}

void CCheckButtonProp::GetValue(VARIANT* pOut)
{
    PutBool(pOut, Button(m_pCtrl)->GetCheck() != FALSE);
}

int CCheckButtonProp::GetFlags()
{
    return ChangedBits(Button(m_pCtrl));
}

void CCheckButtonProp::SetFlags(int nFlags)
{
    Button(m_pCtrl)->SetChanged(nFlags & FLAG_USER_CHANGED);
}

//--- CMenuButtonProp

CMenuButtonProp::CMenuButtonProp(CFlatButton* pButton) : CDestProp(pButton)
{
}

void CMenuButtonProp::SetValue(const VARIANT& v)
{
    Button(m_pCtrl)->SelectMenuItem(static_cast<UINT>(Converted(v, VT_I4).lVal), TRUE);
}

void CMenuButtonProp::GetValue(VARIANT* pOut)
{
    ::VariantClear(pOut);
    pOut->vt = VT_I4;
    pOut->lVal = static_cast<LONG>(Button(m_pCtrl)->GetChosenCommand());
}

int CMenuButtonProp::ChangedState()
{
    return ChangedBits(Button(m_pCtrl));
}
