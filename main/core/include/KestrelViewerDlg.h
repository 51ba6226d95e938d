// The item database viewer: a modeless window in which the user looks
// through the items by type category, sees the words that stand for each,
// edits an item's keywords, removes an item, or puts an item's word into
// the note being typed. And the modal dialog that edits one item's keywords.
#pragma once
#include <afxquill.h>

#include <Kestrel.h>

// The meaning the program gives two bits of an item's flags.
enum {
    QUI_ITEM_KEYWORDS_PARSE = 0x1,   // the item's keywords stand for it
    QUI_ITEM_NAME_PARSES = 0x2,      // its display name does
};

// The recognised words of an item: the display name when it parses, then
// the keywords when they do, joined by ", ".
CString QuiRecognisedWords(QuiItem& item);
// The edit dialog's text: the display name when it parses, then every
// keyword, joined by ", ".
CString QuiKeywordEditText(QuiItem& item);
// The parts of a keyword text: split at ",", trimmed, empty ones dropped.
void QuiSplitKeywordText(const CString& text, CStringArray& parts);
// Clears the item's keywords and both flag bits, then takes the parts of the
// text: one equal to the display name (ignoring case) sets the name bit, any
// other becomes a keyword and sets the keywords bit.
void QuiRebuildKeywords(QuiItem& item, const CString& text);
// The index of the first character of text that the item file's writer
// refuses in a value ("<", or the end-of-file mark), as the writer itself
// answers; -1 when it takes the whole text.
int QuiFindUnstorableChar(const CString& text);
// The pattern with each "%s" replaced by the value and "%%" by "%"; nothing
// else of the pattern is interpreted, so a pattern from a connector file or
// the item file cannot reach a formatting routine.
CString QuiFillExample(const CString& pattern, const CString& value);

class CEditItemDlg : public CDialog {
public:
    CEditItemDlg(CWnd* pParent = nullptr);

    CString m_strName;        // 60005: the item's display name
    CString m_strKeywords;    // 1005: the keyword text, editable
    CString m_strType;        // 1004: the item type's display name, in bold

    BOOL OnInitDialog() override;
    // Refuses a text the item file cannot store, naming the character and
    // selecting it, and asks before taking a text that leaves the item with
    // no word at all.
    void OnOK() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void RefuseCharacter(char c);

private:
    CFont m_boldFont;
};

class CKestrelViewerDlg : public CDialog {
public:
    struct Options {
        UINT nSelectString = 0;           // string naming the category selected at opening; 0 none
        BOOL bAllCategories = FALSE;      // FALSE hides the three hidden categories
        BOOL bShowCategoryBox = TRUE;
    };

    // Opens the viewer over the application's datastore, or activates the
    // open one. Null when it cannot be made.
    static CKestrelViewerDlg* Open(const Options& options);
    // The open viewer; null when none is.
    static CKestrelViewerDlg* GetOpen() { return s_pOpen; }

    // The category box and the list made again from the datastore: after a
    // reload the rows would otherwise name items that are gone.
    void Refill();

    // The row's item; null past the rows.
    QuiItem* GetRowItem(int nRow);
    CListCtrl& GetList() { return m_list; }
    CComboBox& GetCategoryBox() { return m_categories; }

    // The actions of the buttons and the double-click, on the selected row.
    void EditSelected();
    void RemoveSelected();
    void InsertSelected();

protected:
    explicit CKestrelViewerDlg(const Options& options);
    ~CKestrelViewerDlg() override;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void PostNcDestroy() override;
    afx_msg void OnEdit();
    afx_msg void OnRemove();
    afx_msg void OnCategoryChanged();
    afx_msg void OnHelp();
    afx_msg void OnListChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnListDblClk(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void FillCategories();
    void FillList();
    void AddCategoryRows(QuiTypeCategory* category);
    void ShowDetails();
    void CategoryChanged();
    void SaveSelectedCategory();
    void SaveKeywords();
    void RestorePosition();
    int SelectedRow() const;
    bool IsShown(QuiTypeCategory* category) const;

    static CKestrelViewerDlg* s_pOpen;

    Options m_options;
    CListCtrl m_list;
    CComboBox m_categories;
    CFont m_lightFont;
    HICON m_hIcon = nullptr;
    BOOL m_bEditing = FALSE;
    BOOL m_bLocked = FALSE;
};

// What the tray's item database command and the preferences' viewer button
// open: from the tray the hidden categories stay hidden; from the
// preferences every category shows and string 60070's category is selected.
void QuiOpenKestrelViewer(BOOL bFromPreferences);
