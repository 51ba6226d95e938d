#include "BitmapWnd.h"

#include "FrameworkUtil.h"

BEGIN_MESSAGE_MAP(CBitmapWnd, CWnd)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CBitmapWnd::CBitmapWnd() : m_bkColor(::GetSysColor(COLOR_WINDOW))
{
    m_nullBrush.CreateStockObject(NULL_BRUSH);
    m_bkBrush.CreateSolidBrush(m_bkColor);
}

int CBitmapWnd::SetBitmap(UINT nID, HPALETTE hPal)
{
    m_bitmap.DeleteObject();
    m_cxBitmap = m_cyBitmap = 0;
    HBITMAP loaded = LoadResourceBitmap(AfxGetResourceHandle(), nID, hPal, nullptr);
    if (!loaded)
        return 0;
    m_bitmap.Attach(loaded);
    BITMAP info = {};
    m_bitmap.GetBitmap(&info);
    m_cxBitmap = info.bmWidth;
    m_cyBitmap = info.bmHeight;
    if (hPal)
        m_hPalette = hPal;
    return m_cxBitmap;
}

void CBitmapWnd::SetBkColor(COLORREF color)
{
    m_bkColor = color;
    m_bkBrush.DeleteObject();
    m_bkBrush.CreateSolidBrush(color);
}

BOOL CBitmapWnd::OnEraseBkgnd(CDC* pDC)
{
    if (!m_bitmap.GetSafeHandle())
        return CWnd::OnEraseBkgnd(pDC);
    CRect client;
    GetClientRect(client);
    TileBitmap(pDC, &m_bitmap, m_cxBitmap, m_cyBitmap, client, m_hPalette);
    return TRUE;
}

HBRUSH CBitmapWnd::OnCtlColor(CDC* pDC, CWnd*, UINT nCtlColor)
{
    if (nCtlColor == CTLCOLOR_EDIT) {
        pDC->SetBkColor(m_bkColor);
        return m_bkBrush;
    }
    pDC->SetBkMode(TRANSPARENT);
    return m_nullBrush;
}
