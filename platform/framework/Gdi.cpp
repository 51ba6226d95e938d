#include "quifw/Gdi.h"

#include <utility>

#include "quifw/WinApp.h"
#include "quifw/Wnd.h"

void CRect::NormalizeRect()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

//--- CGdiObject and its kinds

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (m_hObject || !hObject)
        return FALSE;
    m_hObject = hObject;
    m_bStock = FALSE;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    m_bStock = FALSE;
    return h;
}

BOOL CGdiObject::DeleteObject()
{
    BOOL stock = m_bStock;
    HGDIOBJ h = Detach();
    return h && !stock ? ::DeleteObject(h) : FALSE;
}

BOOL CGdiObject::CreateStockObject(int nIndex)
{
    if (m_hObject)
        return FALSE;
    m_hObject = ::GetStockObject(nIndex);
    m_bStock = m_hObject != nullptr;
    return m_bStock;
}

BOOL CFont::CreateFontIndirect(const LOGFONT* pLogFont)
{
    return Attach(::CreateFontIndirect(pLogFont));
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                       BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                       BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality,
                       BYTE nPitchAndFamily, LPCTSTR lpszFacename)
{
    return Attach(::CreateFont(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic,
                               bUnderline, cStrikeOut, nCharSet, nOutPrecision, nClipPrecision,
                               nQuality, nPitchAndFamily, lpszFacename));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC)
{
    LOGFONT lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = nPointSize;
    lstrcpyn(lf.lfFaceName, lpszFaceName ? lpszFaceName : "", LF_FACESIZE);
    return CreatePointFontIndirect(&lf, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* pLogFont, CDC* pDC)
{
    // lfHeight comes in tenths of a point; a negative height asks for that
    // character height in device pixels.
    HDC hDC = pDC ? pDC->m_hDC : ::GetDC(nullptr);
    LOGFONT lf = *pLogFont;
    lf.lfHeight = -MulDiv(pLogFont->lfHeight, ::GetDeviceCaps(hDC, LOGPIXELSY), 720);
    if (!pDC)
        ::ReleaseDC(nullptr, hDC);
    return CreateFontIndirect(&lf);
}

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    return Attach(::LoadBitmap(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource)));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return Attach(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}

BOOL CPalette::CreatePalette(const LOGPALETTE* pLogPalette)
{
    return Attach(::CreatePalette(pLogPalette));
}

BOOL CPalette::CreateHalftonePalette(CDC* pDC)
{
    return Attach(::CreateHalftonePalette(pDC ? pDC->m_hDC : nullptr));
}

int CPalette::GetEntryCount() const
{
    WORD count = 0;
    return GetObject(sizeof(count), &count) ? count : 0;
}

UINT CPalette::GetPaletteEntries(UINT nStart, UINT nCount, PALETTEENTRY* pEntries) const
{
    return ::GetPaletteEntries(static_cast<HPALETTE>(m_hObject), nStart, nCount, pEntries);
}

BOOL CBrush::CreateSolidBrush(COLORREF color)
{
    return Attach(::CreateSolidBrush(color));
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap)
{
    return Attach(::CreatePatternBrush(*pBitmap));
}

//--- CDC

CDC::~CDC()
{
    DeleteDC();
}

BOOL CDC::Attach(HDC hDC)
{
    if (m_hDC || !hDC)
        return FALSE;
    m_hDC = hDC;
    m_bOwned = FALSE;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC h = m_hDC;
    m_hDC = nullptr;
    m_bOwned = FALSE;
    return h;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    if (m_hDC)
        return FALSE;
    m_hDC = ::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr);
    m_bOwned = m_hDC != nullptr;
    return m_bOwned;
}

BOOL CDC::DeleteDC()
{
    BOOL owned = m_bOwned;
    HDC h = Detach();
    return owned && h ? ::DeleteDC(h) : FALSE;
}

HPALETTE CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground)
{
    return ::SelectPalette(m_hDC, pPalette ? static_cast<HPALETTE>(*pPalette) : nullptr,
                           bForceBackground);
}

int CDC::DrawText(LPCTSTR lpszText, int nCount, LPRECT lpRect, UINT nFormat)
{
    return ::DrawText(m_hDC, lpszText, nCount, lpRect, nFormat);
}

int CDC::DrawText(const CString& text, LPRECT lpRect, UINT nFormat)
{
    return ::DrawText(m_hDC, text, text.GetLength(), lpRect, nFormat);
}

BOOL CDC::TextOut(int x, int y, const CString& text)
{
    return ::TextOut(m_hDC, x, y, text, text.GetLength());
}

CSize CDC::GetTextExtent(LPCTSTR lpszText, int nCount) const
{
    SIZE size = {0, 0};
    ::GetTextExtentPoint32(m_hDC, lpszText, nCount, &size);
    return CSize(size);
}

CSize CDC::GetTextExtent(const CString& text) const
{
    return GetTextExtent(text, text.GetLength());
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF color)
{
    COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOut(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color)
{
    CRect rect(x, y, x + cx, y + cy);
    FillSolidRect(&rect, color);
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
{
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, dwRop);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush)
{
    return ::DrawState(m_hDC, hBrush, nullptr, reinterpret_cast<LPARAM>(hIcon), 0, pt.x, pt.y,
                       size.cx, size.cy, nFlags | DST_ICON);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd())
{
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->GetSafeHwnd() : nullptr)
{
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}
