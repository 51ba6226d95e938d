#include "SmallControls.h"

BEGIN_MESSAGE_MAP(CEditEx, CEdit)
    ON_WM_ENABLE()
END_MESSAGE_MAP()

// The edit control would switch to its grey text here; it is not told.
void CEditEx::OnEnable(BOOL) {}
