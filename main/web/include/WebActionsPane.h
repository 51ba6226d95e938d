// The web actions pane of every note's destination window and its
// destination: the pane offers the web action items in a single-choice field,
// the parser fills the field when the note names a web action by a keyword,
// and filing turns the note into a web action for the datastore to send.
#pragma once
#include <afxquill.h>

#include <memory>
#include <vector>

#include "DestPane.h"
#include "Destination.h"
#include "DropProps.h"
#include "MultiDrop.h"
#include "QuiParseSinks.h"

class CWebActionJug;
class CWebActionsPane;
class QuiPrsContext;
class QuiPrsKeyphrase;

extern const char WEB_ACTION_ITEM_TYPE[];
extern const char WEB_DATE_ITEM_TYPE[];

class CWebActionsDestination : public CDestination {
public:
    // The four dates the parser may report, in the action's order.
    enum Field { startDate, endDate, startTime, endTime, FIELD_COUNT };

    explicit CWebActionsDestination(CWebActionsPane* pPane);
    ~CWebActionsDestination() override;

    void OnParseResult1(QuiPrsItemRole* pRole, int nKind, INT_PTR nExtra, QuiDestinationSink* pSink) override;
    void OnParseResult2(QuiPrsItemRole* pRole, int nKind, INT_PTR nExtra, QuiDestinationSink* pSink) override;
    void OnParseResult3(QuiPrsItemRole* pRole, int nKind, INT_PTR nExtra, QuiDestinationSink* pSink) override;
    // Registers the web action and date sinks for the note's parse context;
    // FALSE when there is no note, context or parser manager.
    virtual BOOL RegisterSinks();
    virtual void UnregisterSinks();

    // While available: offers every web action and registers the sinks. 0.
    int AttachSinks();
    bool HasSelectedActions();
    // Fills the action from the first web action the field names; nothing
    // when it names none or its subtype is gone. 0.
    int FileItem(CWebActionJug* pAction);
    // The note's text without the web action's, start date's and start
    // time's keyphrases, trimmed.
    void GetQueryText(CString& text);

    // The pane makes the field's adaptor once its field exists.
    void BindActionField(CMultiDrop* pField);
    CMultiDropProp* GetActionProp() { return m_pActionProp.get(); }
    // -1.0 while unset.
    double GetField(Field field) const { return m_fields[field]; }
    // The keyphrase that chose the web action; 0 when none.
    INT_PTR GetActionKeyphrase() const { return m_nActionKeyphrase; }
    // The field was emptied: the keyword that chose its action lets it go.
    void ForgetActionKeyphrase();
    // The pane switched on again: the action and the dates from the note as
    // it stands.
    void Retake();
    // The phrases the destination holds: the action's and the dates'.
    std::vector<INT_PTR> HeldKeyphrases() const;

private:
    // The date field a role's tag fills, -1 for none.
    static int FieldOfTag(int nTag);
    // Forgets the keyphrases of a parse context that is gone.
    void ForgetKeyphrases();
    CActionNote* Note();

    CWebActionsPane* m_pPane;
    std::unique_ptr<CMultiDropProp> m_pActionProp;
    // The adaptor of a multi field keeps no keyphrase: the destination does.
    INT_PTR m_nActionKeyphrase = 0;
    QuiWebActionSink m_actionSink;
    QuiDateSink m_dateSink;
    QuiPrsContext* m_pContext = nullptr;
    bool m_bRegistered = false;
    double m_fields[FIELD_COUNT] = {-1.0, -1.0, -1.0, -1.0};
    INT_PTR m_keyphrases[FIELD_COUNT] = {0, 0, 0, 0};
};

class CWebActionsPane : public CDestPane {
    DECLARE_DYNAMIC(CWebActionsPane)
public:
    enum { PANE_ID = 514, IDC_ACTION_FIELD = 102, IDC_CONNECTOR_LABEL = 103, IDC_SPACER = 104 };
    enum { MAX_MENU_ACTIONS = 100 };

    CWebActionsPane();
    ~CWebActionsPane() override;

    BOOL DestroyWindow() override;
    // Checking the pane opens nothing here.
    void OnChecked() override;
    void Show() override;
    BOOL Create(int y, CWnd* pParent) override;

    // Offers every web action item in the field and in the menu button's
    // pop-up (commands 52000 on, at most 100).
    void FillActionList();
    // The connector name of the first item the field names; empty when none.
    CString GetChosenConnectorName();
    // For the editions with a PIM back end: the other destinations give way
    // while a web action is in force (bInForce and the pane checked).
    void NotifyNote(BOOL bInForce);

    CWebActionsDestination* GetWebDestination() const;
    CMultiDrop& GetActionField() { return m_actionField; }
    CStatic& GetConnectorLabel() { return m_connectorLabel; }

protected:
    void LayoutToWidth() override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnActionTextChange();
    afx_msg void OnPaint();
    afx_msg void OnActionCommand(UINT nID);

    DECLARE_MESSAGE_MAP()

private:
    CMultiDrop m_actionField;
    CStatic m_connectorLabel;
    CStatic m_spacer;
    BOOL m_bCreating = TRUE;
    // The items of the menu's commands, by command order.
    CStringArray m_menuItems;
};
