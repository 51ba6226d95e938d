#include "KeptFont.h"

BOOL CKeptFont::Handle(UINT message, WPARAM wParam, LRESULT* pResult)
{
    if (message == WM_SETFONT) {
        m_hFont = reinterpret_cast<HFONT>(wParam);
        *pResult = 0;
        return TRUE;
    }
    if (message == WM_GETFONT) {
        *pResult = reinterpret_cast<LRESULT>(m_hFont);
        return TRUE;
    }
    return FALSE;
}
