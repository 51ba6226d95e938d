// CRukDatastore: the back end of the Microsoft Outlook edition (ActivePIM
// 3), through the Outlook access server Plover built for the installed
// Outlook.
#pragma once
#include "PimDatastore.h"

class CRukDatastore : public CPimDatastore {
public:
    enum { BACKEND_VERSION = 3, DEFAULT_DURATION = 30 };

    // Reads Outlook's program file and its version, registers the server
    // file that fits it (Plover.dll for 8.5 and later, Plover97.dll before)
    // and creates it. Throws COzuExcept 60052 without Outlook or its
    // version, 60013 when the server cannot be made.
    CRukDatastore();
    ~CRukDatastore() override;

    // TRUE when Outlook's session is open.
    long Connect() override;
    // A record the server did not file throws COzuExcept.
    long FileRecord(IDispatch* record) override;
    long OpenBackEnd() override;
    long GetDefaultDuration() override;
    long GetBackEndVersion() override;
    BOOL GetFolderList(CStringArray& folders) override;
    BOOL LoadItems() override;
    int GetType() override;
    void RegisterTypes() override;
    UINT GetResourceId() override;
    void AddTrayMenuItems(CMenu* menu, UINT pos) override;

    // The server file for an Outlook version text ("unknown" when empty).
    static const char* ServerFileFor(const char* versionText);
    const CString& GetServerFile() const { return m_strServerFile; }

protected:
    CString m_strServerFile;
    long m_nDefaultDuration = DEFAULT_DURATION;
    RukRegistry m_registry;
};
