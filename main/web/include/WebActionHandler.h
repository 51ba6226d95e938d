// The web action handler that every datastore holds: the offline list, the
// registry list of connectors, and the enabled and disabled connector
// collections with the two folders they are read from.
#pragma once

#include <afxquill.h>

#include <vector>

#include "QuiRegistry.h"
#include "WebActionList.h"
#include "WebConnector.h"

// The settings table "Software\Quillmate\Client", subkey "WebConnectors":
// one record, "Count". Unlike the other settings tables it is not written
// back when destroyed.
class CWebConnectorReg : public QuiRegistry {
public:
    enum Value { Count, ValueCount };

    CWebConnectorReg();

    QuiRegValue* GetValueTable() override;
    const char* GetSubKey() override;
    int GetValueCount() override;

private:
    QuiRegValue m_table[ValueCount];
};

// The connectors folder: the setting "ConnectorsLocation" with a closing
// backslash, created when missing; empty for the current folder.
CString GetConnectorsFolder();
// Its subfolder "Connectors (Disabled)\", created when missing.
CString GetDisabledConnectorsFolder();

class CWebActionHandler {
public:
    enum { connectorEnable = 0x2 };   // SetConnectorEnabled: enable, else disable

    CWebActionHandler() = default;
    virtual ~CWebActionHandler() = default;
    CWebActionHandler(const CWebActionHandler&) = delete;
    CWebActionHandler& operator=(const CWebActionHandler&) = delete;

    // Empties the enabled collection and loads every "*.xml" file of the
    // connectors folder into it; 1 when at least one was found, else 0.
    int LoadConnectors();
    // The same for the disabled folder and collection.
    int LoadDisabledConnectors();
    // The disabled connectors, read from their folder when none is held yet.
    std::vector<CWebConnectorDef>& GetDisabledConnectors();

    // Moves the connector's file into the connectors folder (enable) or the
    // disabled folder, and every connector record of that file from one
    // collection to the other with its new path. 0 when the connector is in
    // neither collection; else 1, also when nothing had to move or the move
    // failed (then nothing changed). Positions and addresses in both
    // collections change: the web action items must be bound anew.
    int SetConnectorEnabled(const CWebConnectorDef& connector, UINT flags);

    CWebConnectorDefinitionFile& GetEnabledConnectors() { return m_enabled; }
    CWebActionList& GetActionList() { return m_actions; }
    CWebConnectorReg& GetConnectorReg() { return m_connectorReg; }

private:
    CWebActionList m_actions;
    CWebConnectorReg m_connectorReg;
    CWebConnectorDefinitionFile m_enabled;
    CWebConnectorDefinitionFile m_disabled;
};
