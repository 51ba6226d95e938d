// The edition-neutral part of the application object: its drawing objects,
// the count of open modal boxes, and the slots through which the rest of the
// program reaches the objects the application owns.
#pragma once
#include <afxquill.h>

class CActionNote;
class CDatastore;
class COzuPrefs;
class COzuPropSheet;
class QuiParserMgr;

class CQuillmateApp : public CWinApp {
    DECLARE_DYNAMIC(CQuillmateApp)
public:
    CQuillmateApp();
    ~CQuillmateApp() override;

    virtual CActionNote* CreateNote(BOOL bCascade) = 0;
    // The owned objects; null outside the running state.
    virtual COzuPrefs* GetPrefs();
    virtual CDatastore* GetDatastore();
    virtual QuiParserMgr* GetParserMgr();

    // The datastore's answer to feature question n; feature 5 is always off,
    // and without a datastore every feature is.
    BOOL IsFeature(int n);

    // Made on first use, deleted with the application object.
    CFont* GetSmallFont();    // 8-point "Arial"
    CFont* GetBoldFont();     // 8.3-point "Arial Bold"
    CFont* GetNarrowFont();   // 8.3-point "Arial Narrow"
    CPalette* GetPalette();   // the application palette

    // Raised around the about box, the tip dialog and the tray window's
    // message boxes; the tray window reads it.
    void BeginModalBox() { ++m_nModalBoxes; }
    void EndModalBox();
    int GetModalBoxCount() const { return m_nModalBoxes; }

    // Answers a tool-tip text request that names its tool by window handle:
    // the tip within string nID (a flat button's checked state picks its
    // alternative tip). FALSE for any other request.
    BOOL GetToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);

    // The open preferences sheet: set when it opens, cleared when its window goes.
    COzuPropSheet* m_pPrefSheet = nullptr;

private:
    CFont* font(CFont& font, int nTenths, LPCTSTR lpszFace);

    CFont m_smallFont;
    CFont m_boldFont;
    CFont m_narrowFont;
    CPalette m_palette;
    int m_nModalBoxes = 0;
};

// The application object, or null when the program has none (or it is not one of ours).
CQuillmateApp* QuiGetApp();
