// The loader of the Palm data library: chooses Lark.dll or Linnet.dll for
// the installed Palm Desktop, loads it once from the folder Finch lives in,
// binds its operations by name
// and answers every operation, with empty results while the library is not
// usable.
#pragma once
#include <afxquill.h>

#include "PalmItems.h"
#include "PalmRegistry.h"

class CONTACTITEM;

// Finch's own registry values.
enum FinchSetting {
    FinchHotSyncPath = 0,  // the HotSync program's path, as Palm Desktop keeps it
    FinchLastUser = 1,     // the Palm Desktop user last selected
    FinchSettingCount
};
extern const PalmRegistryEntry kFinchRegistry[FinchSettingCount];

typedef int(__stdcall* PalmOperation)(void* argument);

// The rows of the binding table, in table order.
enum PalmOperationIndex {
    OpGetTodoCategories, OpGetMemoCategories, OpGetUserInfo, OpAddTodoItem, OpAddMemoItem,
    OpAddDateBookItem, OpGetContacts, OpGetEmailForContact, OpGetUserPath, OpGetNoDateValue,
    OpGetCurrentItem, OpNewContact, OpOpenPilotDesktop, OpGetContactFieldOrder, OpGetCategoryFieldOrder,
    OpGetUsers, OpGetCurrentUser, OpSetCurrentUser, OpCreateCategory, OpRemoveCategory,
    OpDataRefresh, OpGetCalendarDay, OpGetInitialized,
    PalmOperationCount
};

class PilotManager {
public:
    PilotManager() = default;
    // Frees the library when one was loaded; the process's bindings go back
    // to the stub when no other manager uses them.
    ~PilotManager();
    PilotManager(const PilotManager&) = delete;
    PilotManager& operator=(const PilotManager&) = delete;

    // The Palm Desktop generation the HotSync folder holds: 3 when it has
    // "palmcmn.dll" and "subs30.dll", else 2. `folder` ends in a backslash
    // (an empty folder is not looked in).
    static int DesktopGeneration(const CString& folder);
    // The HotSync program's folder with a trailing backslash, or empty when
    // the path is missing or names no folder.
    static CString HotSyncFolder();

    // Loads and binds on the first call only; TRUE when the library answered
    // that it is initialised.
    BOOL GetInitialized();
    bool Usable() const { return m_usable; }
    // "Lark.dll" or "Linnet.dll" once a load succeeded, else empty.
    const CString& LibraryName() const { return m_libraryName; }

    int GetTodoCategories(VARIANT* list) { return List(OpGetTodoCategories, list); }
    int GetMemoCategories(VARIANT* list) { return List(OpGetMemoCategories, list); }
    int GetContacts(VARIANT* list) { return List(OpGetContacts, list); }
    int GetUsers(VARIANT* list) { return List(OpGetUsers, list); }
    int GetUserInfo(void* argument) { return Call(OpGetUserInfo, argument); }
    int AddTodoItem(TodoItem* item) { return Call(OpAddTodoItem, item); }
    int AddMemoItem(MemoItem* item) { return Call(OpAddMemoItem, item); }
    int AddDateBookItem(DateBookItem* item) { return Call(OpAddDateBookItem, item); }
    int AddContactItem(CONTACTITEM* contact);
    int GetEmailForContact(CONTACTITEM* contact) { return Call(OpGetEmailForContact, contact); }
    int NewContact(CONTACTITEM* contact) { return Call(OpNewContact, contact); }
    int GetUserPath(CString& path);
    int GetNoDateValue(long* value);
    int GetCurrentItem(BSTR* text);
    int OpenPilotDesktop() { return Call(OpOpenPilotDesktop, nullptr); }
    int GetContactFieldOrder(BYTE* block) { return Call(OpGetContactFieldOrder, block); }
    int GetCategoryFieldOrder(BYTE* block) { return Call(OpGetCategoryFieldOrder, block); }
    int GetCurrentUser(BSTR* name);
    // `name` points at the ANSI name.
    int SetCurrentUser(char** name);
    int CreateCategory(CategoryRequest* request) { return Call(OpCreateCategory, request); }
    int RemoveCategory(CategoryRequest* request) { return Call(OpRemoveCategory, request); }
    int DataRefresh() { return Call(OpDataRefresh, nullptr); }
    // The library answers in `date`; the answer moves to `items`.
    int GetCalendarDay(VARIANT* date, VARIANT* items);

    // The operation of that export name (any case); a name not in the table
    // answers 0.
    int CallByName(const char* name, void* argument);

private:
    bool Ready();
    int Call(int index, void* argument);
    int List(int index, VARIANT* list);
    // Operations whose empty result is a null text in the pointer given.
    template <class Pointer> int Text(int index, Pointer* text);
    // The named library from this module's own folder.
    bool Load(const char* name);
    void Bind();

    bool m_attempted = false;
    bool m_usable = false;
    // This manager counts among the users of the process's bindings.
    bool m_bound = false;
    CString m_libraryName;
    HMODULE m_module = nullptr;
};
