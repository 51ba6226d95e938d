// The back end of the main program: one object per run, of the edition the
// setting "ActivePIM" names. The base owns the item database and the web
// action handler, loads the item files and writes the user's changes back.
#pragma once

#include <afxquill.h>
#include <Kestrel.h>

#include <memory>
#include <vector>

#include "WebActionHandler.h"
#include "WebActionItem.h"

class CMenu;
class CWebActionJug;

// The ProgID of the item record control.
extern const char ITEM_RECORD_PROGID[];

class CDatastore {
public:
    // Edition codes (GetType).
    enum { typeWebOnlyDefault = 0, typeNotes = 1, typePalm = 2, typeOutlook = 3, typeWebOnly = 4, typeWebCalendar = 5 };

    CDatastore();
    // Writes the changed items to the keyword file first.
    virtual ~CDatastore();
    CDatastore(const CDatastore&) = delete;
    CDatastore& operator=(const CDatastore&) = delete;

    virtual long Connect() = 0;
    virtual long FileRecord(IDispatch* record) = 0;
    virtual long OpenBackEnd() = 0;
    // Minutes of a calendar entry that gives no end.
    virtual long GetDefaultDuration() = 0;
    virtual long GetBackEndVersion() = 0;
    virtual BOOL GetFolderList(CStringArray& folders) = 0;
    // Editions load their back end's lists first and then call this.
    virtual BOOL LoadItems();
    // Creates and drops one item record so that a missing control fails
    // early: throws COzuExcept 57707 when it cannot be created.
    virtual void CheckRecordControl();
    virtual int GetType();
    // Loads the edition's display name; returns the edition code, or 0 with
    // the name untouched for a code it has no name for.
    virtual int GetTypeName(CString& name);
    // Hands the action to the web action handler and answers its result
    // (2: kept off line); 1 for no action.
    virtual int SendWebAction(CWebActionJug* action);
    // Opens a page in the browser the way web entries go: one at a time, and
    // the application waits meanwhile. 1 when the browser took it.
    int OpenWebPage(LPCSTR lpszURL, BOOL bShow);
    virtual CWebActionHandler* GetWebActionHandler();
    virtual BOOL HasFeature(int n);
    // Turns a back end's answer (an array of strings, one line per entry)
    // into items of `type`. Field `idColumn` (-1: none) gives the identifier,
    // else a new unique one is made. FALSE for an empty answer, one that is
    // no array of strings, or no type.
    virtual BOOL AddItems(const VARIANT& lines, QuiItemType* type, int idColumn);
    virtual QuiItemList* GetItemList();
    virtual QuiItemType* GetItemType(LPCSTR id);
    virtual QuiItemTypeList* GetTypeList();
    virtual QuiTypeCategoryList* GetTypeCategoryList();
    virtual QuiKestrel* GetKestrel();
    // Loads the enabled connectors and brings the web action items in line
    // with their subtypes.
    virtual BOOL SyncItems();
    virtual int RemoveWebActionItems();
    // Reads the system item file (written from the resource library when
    // missing) and merges the user's keyword file over it. FALSE when no
    // system file is set. A failure to create the file throws
    // CFileException*.
    virtual BOOL LoadItemDatabase();
    // Editions register their own types and then call this.
    virtual void RegisterTypes();
    // The note window's accelerator table in the resource library.
    virtual UINT GetResourceId();
    // The type category identifiers that the item database viewer shows,
    // ended by an empty text; null when none.
    virtual const char* const* GetItemTypeIds();
    virtual void AddTrayMenuItems(CMenu* menu, UINT pos);
    virtual void OnTrayMenuClosed(CMenu* menu, int flag);
    virtual void OnTrayMenuCommand(UINT id);

    // Writes the dirty items to the keyword file, replacing it, together with
    // the records of the file that this run could not match, unchanged; a
    // file is written only when one item is dirty. FALSE when a write was
    // due and failed, or when the file could not be read and could not be
    // kept aside (the file is then as it was).
    BOOL SaveKeywordFile();
    // Takes the item out of the item list (the item database viewer's
    // remove). It stays alive with the datastore, and its keywords are still
    // saved while it is dirty, since the item files bring it back at the next
    // start. FALSE when the list does not hold it.
    BOOL RemoveItem(QuiItem* item);

    // The session is ending: writes the keyword file and the web actions
    // kept off line now, asking only to retry while their list cannot be
    // written, since they would be lost otherwise.
    virtual void SaveAtSessionEnd();

    // At exit: tells the user how many web actions kept off line were not
    // sent yet and wait for the next start, after asking to retry while
    // their list cannot be written; nothing when none. The number.
    int ReportUnsentActions();

    // Datastores alive in this program.
    static int GetLiveCount();

protected:
    // Merges the keyword file; one that cannot be read is kept aside under a
    // name of its own, and the user told, before any save could replace it.
    void LoadKeywordFile();

private:
    // Takes web action items (all, or those bound to no subtype) out of the
    // item list into m_removedItems.
    void TakeOutWebActionItems(bool onlyUnbound);

    QuiKestrel m_kestrel;
    CWebActionHandler m_webActionHandler;
    // Items that RemoveWebActionItems took out: parser packages may still
    // point at them, so they live as long as the datastore; their keywords
    // are saved while they are dirty.
    std::vector<std::unique_ptr<QuiItem>> m_removedItems;
    // Items the user removed in the item database viewer.
    std::vector<std::unique_ptr<QuiItem>> m_userRemovedItems;
    // The keyword file's records that the last load matched to no item.
    std::unique_ptr<QuiTaggedField> m_keptRecords;
};
