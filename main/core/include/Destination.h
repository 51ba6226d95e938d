// CDestination: one kind of entry a note can be filed as. It belongs to one
// destination pane, reaches the pane's check and menu buttons through its two
// adaptors, and takes parse results through the destination sinks.
#pragma once
#include "ButtonProps.h"

class CDestPane;
class QuiDestinationSink;
class QuiPrsItemRole;

class CDestination {
public:
    // Only takes the addresses of the pane's buttons: a pane makes its
    // destination before its own members exist.
    explicit CDestination(CDestPane* pPane);
    virtual ~CDestination();
    CDestination(const CDestination&) = delete;
    CDestination& operator=(const CDestination&) = delete;

    virtual void SetEnabled(bool bEnabled);
    // While FALSE the pane handles no command.
    virtual bool IsEnabled();
    // Whether the user changed any field; the base has none.
    virtual bool IsModified();
    // The destinations that fill fields from the parse stop doing so while locked.
    virtual void SetParseLocked(bool bLocked);
    // Keyphrase added, removed, moved. `extra` identifies the keyphrase across
    // the three events; the base ignores them all.
    virtual void OnParseResult1(QuiPrsItemRole* pRole, int nKind, INT_PTR nExtra, QuiDestinationSink* pSink);
    virtual void OnParseResult2(QuiPrsItemRole* pRole, int nKind, INT_PTR nExtra, QuiDestinationSink* pSink);
    virtual void OnParseResult3(QuiPrsItemRole* pRole, int nKind, INT_PTR nExtra, QuiDestinationSink* pSink);

    CMenuButtonProp* GetMenuProp() { return &m_menuProp; }
    CCheckButtonProp* GetCheckProp() { return &m_checkProp; }

private:
    CMenuButtonProp m_menuProp;
    CCheckButtonProp m_checkProp;
    bool m_bEnabled = true;
};
