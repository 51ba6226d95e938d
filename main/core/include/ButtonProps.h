// The value adaptors of plain check boxes and of the flat check and menu
// buttons. Each GetValue clears the caller's VARIANT first, so it must come
// initialised. A value that does not convert throws COleException.
#pragma once
#include "DestProp.h"

class CFlatButton;

// A system check box: VT_BOOL. Keeps a flag word of its own that holds only
// the user-changed bit.
class CCheckBoxProp : public CDestProp {
public:
    explicit CCheckBoxProp(CWnd* pCheckBox) : CDestProp(pCheckBox) {}
    void SetValue(const VARIANT& v) override;
    void GetValue(VARIANT* pOut) override;
    int GetFlags() override;
    void SetFlags(int nFlags) override;

private:
    int m_nOwnFlags = 0;
};

// A flat check button: VT_BOOL. Setting the other state makes the button tell
// its parent, as a click would; the user-changed bit is the button's own.
class CCheckButtonProp : public CDestProp {
public:
    explicit CCheckButtonProp(CFlatButton* pButton);
    void SetValue(const VARIANT& v) override;
    void GetValue(VARIANT* pOut) override;
    int GetFlags() override;
    void SetFlags(int nFlags) override;
};

// A flat menu button: VT_I4, the command of the chosen item. Choosing another
// item posts it to the button's parent, as the user's choice would.
class CMenuButtonProp : public CDestProp {
public:
    explicit CMenuButtonProp(CFlatButton* pButton);
    void SetValue(const VARIANT& v) override;
    void GetValue(VARIANT* pOut) override;
    // 4 when the user picked from the menu, else 0.
    virtual int ChangedState();
};
