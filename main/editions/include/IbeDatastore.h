// CIbeDatastore: the back end of the Palm Desktop edition (ActivePIM 2),
// through the Palm access control Finch; its tray entries choose among the
// Palm Desktop users.
#pragma once
#include "PimDatastore.h"

class CIbeDatastore : public CPimDatastore {
public:
    enum { MAX_USERS = 5 };

    // Registers and creates Finch and registers the item record control.
    // Throws COzuExcept 60012 until the control exists, 57707 after.
    CIbeDatastore();
    ~CIbeDatastore() override;

    // TRUE when the control's data library is usable.
    long Connect() override;
    // A record the control did not file throws COzuExcept 60050.
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
    void OnTrayMenuClosed(CMenu* menu, int flag) override;
    // Commands 400 to 404 switch to that Palm user.
    void OnTrayMenuCommand(UINT id) override;

    // The Palm note's new contact: Finch's own New Contact sheet.
    long NewContact();
    // The e-mail destination's list of kind nKind: the Palm edition has none.
    int ListItems(int nKind, CStringArray* pList);

    // A user switch asked for while notes were open, applied by the next
    // Palm datastore made (the reload that the open notes held back).
    static const CString& GetPendingUser();

protected:
    // Whether notes are open now, and the reload of the datastore that a
    // user switch asks the application for.
    virtual BOOL NotesAreOpen();
    virtual void ReloadAfterUserSwitch();

    IPalmAccessWrapper* Palm() const { return static_cast<IPalmAccessWrapper*>(m_pWrapper); }

    CMenu m_usersMenu;
    IbeRegistry m_registry;
};
