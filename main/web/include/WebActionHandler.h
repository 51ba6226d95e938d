// The web action handler that every datastore holds: the offline list, the
// registry list of connectors, the enabled and disabled connector
// collections with the two folders they are read from, and the URL handler
// that runs actions: a subtype's template filled from the action and the
// user's profile, opened as a URL or written to a temporary page.
#pragma once

#include <afxquill.h>

#include <list>
#include <set>
#include <string>
#include <vector>

#include "QuiRegistry.h"
#include "URLHandler.h"
#include "WebActionList.h"
#include "WebConnector.h"
#include "WebTemplate.h"

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

// The temporary page: the temporary folder and "QuillmateWebAction.html",
// written into a buffer of at least MAX_PATH characters; null gives null.
char* GetWebActionPagePath(char* buffer);
// Deletes the temporary pages that earlier runs left behind: every one, or
// those last written more than dwOlderThanMs ago, which no browser can still
// be about to read.
void DeleteWebActionPages(DWORD dwOlderThanMs = 0);

// The parameters every template may use: the profile, the action's own
// parameters with the words of its query text, the time and the settings,
// then the dates (ExpandDatePlaceholders).
void ExpandProfilePlaceholders(QuiTemplateParamList& params, CWebActionJug& action);
// The start date's names and numbers, the start time's, and the end date's
// and end time's when they are set. An action without a start date takes
// the present moment as its start date first.
void ExpandDatePlaceholders(QuiTemplateParamList& params, CWebActionJug& action);

class CWebActionHandler {
public:
    enum { connectorEnable = 0x2 };   // SetConnectorEnabled: enable, else disable
    // SetConnectorEnabled's answers: held in neither collection; done, or
    // nothing to do; the file could not be moved.
    enum { connectorNotFound = 0, connectorSet = 1, connectorNotMoved = 2 };
    // submitFailed: on line, but the action opened nothing (no subtype, a
    // template too long, a page that could not be written, no browser took it).
    enum { submitFailed = 0, submitRun = 1, submitQueued = 2 };

    // Deletes the pages earlier runs left that no browser needs any more.
    CWebActionHandler();
    // Deletes those pages again first.
    virtual ~CWebActionHandler();
    CWebActionHandler(const CWebActionHandler&) = delete;
    CWebActionHandler& operator=(const CWebActionHandler&) = delete;

    // On line: sends what the offline list holds, then runs the action;
    // submitRun, or submitFailed when the action opened nothing. Off line:
    // keeps the action in the offline list (submitQueued), drops it when it
    // must never be queued (submitRun), and keeps none that names no subtype
    // of the enabled connectors, which could never be sent (submitFailed).
    // An action submitted while another is being handed over (the browser's
    // wait lets messages through), or once the program is quitting, is kept,
    // as off line.
    int SubmitAction(CWebActionJug& action);
    // Fills the action's template and opens it: 1 when the browser took the
    // URL or page; 0 when the action names no subtype of the enabled
    // connectors, its template is too long, the page cannot be written, or no
    // browser took it.
    int RunWebAction(CWebActionJug& action);
    // When on line, runs every kept action whose subtype is among the
    // enabled connectors, one after the other, each with a page of its own,
    // and takes each one the browser took out of the offline list; the
    // number sent. One whose subtype is gone stays; one the browser refuses
    // stays and is tried again later, holding back none after it. A quit met
    // meanwhile ends the run: the rest stay kept, untouched.
    int SendQueuedActions();
    // SendQueuedActions at the first call and then at most once a minute,
    // while the list holds anything; a timer of the thread wakes the idle
    // processing that calls it as long as actions wait.
    int SendQueuedWhenDue(DWORD dwNow);
    // The actions kept off line and not sent yet.
    int GetUnsentCount();
    // The page the last run wrote; empty when it opened a URL.
    const CString& GetLastPage() const { return m_strLastPage; }
    // Tells the user once that the cache file could not be written, when a
    // cache file that could not be read whole was moved aside, and when one
    // could not be opened at all.
    void TellCacheState();
    // The cache file written at last, asking the user to retry while it
    // cannot be; FALSE when the user let the kept actions go.
    BOOL KeepUnsaved();

    // Empties the enabled collection and loads every "*.xml" file of the
    // connectors folder into it; 1 when at least one was found, else 0.
    int LoadConnectors();
    // The same for the disabled folder and collection.
    int LoadDisabledConnectors();
    // The disabled connectors, read from their folder when none is held yet.
    std::vector<CWebConnectorDef>& GetDisabledConnectors();

    // Moves the connector's file into the connectors folder (enable) or the
    // disabled folder, and every connector record of that file from one
    // collection to the other with its new path. connectorNotFound when the
    // connector is in neither collection; connectorNotMoved when the file
    // could not be moved (then nothing changed); else connectorSet, also when
    // nothing had to move. Positions and addresses in both collections
    // change: the web action items must be bound anew.
    int SetConnectorEnabled(const CWebConnectorDef& connector, UINT flags);

    CWebConnectorDefinitionFile& GetEnabledConnectors() { return m_enabled; }
    CWebActionList& GetActionList() { return m_actions; }
    CWebConnectorReg& GetConnectorReg() { return m_connectorReg; }
    QuiURLHandler& GetURLHandler() { return m_urlHandler; }

private:
    // Runs the action, with a page of its own when it opens one; pages are
    // not deleted here.
    int Run(CWebActionJug& action);
    int SendQueued();
    const CWebConnectorSubtype* FindSubtype(int connector, int subtype) const;
    // The subtype a kept action names by its connector's and its own names;
    // none when it carries no names (a cache file from before).
    const CWebConnectorSubtype* FindKeptSubtype(const CWebActionJug& kept, int& connector) const;
    void SetWakeTimer(bool bOn);
    // Loads the folder's files into the collection and tells the user of
    // those refused for their size.
    int LoadTelling(const CString& folder, CWebConnectorDefinitionFile& into);

    CWebActionList m_actions;
    CWebConnectorReg m_connectorReg;
    CWebConnectorDefinitionFile m_enabled;
    CWebConnectorDefinitionFile m_disabled;
    QuiURLHandler m_urlHandler;
    DWORD m_dwLastTry = 0;
    bool m_bTried = false;
    UINT_PTR m_nWakeTimer = 0;
    bool m_bToldUnsaved = false;
    bool m_bToldKeptAside = false;
    bool m_bToldHeld = false;
    bool m_bLetGo = false;
    // The connector files already told as too large.
    std::set<std::string> m_toldTooLarge;
    // While an action is handed over to the browser.
    bool m_bSending = false;
    CString m_strLastPage;
};
