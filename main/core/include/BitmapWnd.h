// CBitmapWnd: a window whose background is a bitmap of the resource library,
// tiled; the base of the panes, the destination window and the note window.
#pragma once

#include <afxquill.h>

class CBitmapWnd : public CWnd {
public:
    CBitmapWnd();

    // Bitmap nID of the resource library as the background, loaded (and later
    // drawn) through hPal when that is not null; the bitmap's width, 0 when
    // there is no such bitmap (the window then erases as its class does).
    virtual int SetBitmap(UINT nID, HPALETTE hPal);
    // What edit controls on the window show behind their text.
    void SetBkColor(COLORREF color);

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    DECLARE_MESSAGE_MAP()

private:
    CBrush m_nullBrush;
    CBrush m_bkBrush;
    int m_cxBitmap = 0;
    int m_cyBitmap = 0;
    CBitmap m_bitmap;
    COLORREF m_bkColor;
    HPALETTE m_hPalette = nullptr;
};
