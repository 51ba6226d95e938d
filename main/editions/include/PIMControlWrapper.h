// The dispatch wrappers of the three access servers, one face for all of
// them, so that a datastore asks for categories, connection and filing in
// the same words whatever the back end. Each creates its server by ProgID
// and calls its members by DISPID.
#pragma once
#include <afxquill.h>

class CPIMControlWrapper : public COleDispatchDriver {
public:
    virtual ~CPIMControlWrapper();
    CPIMControlWrapper(const CPIMControlWrapper&) = delete;
    CPIMControlWrapper& operator=(const CPIMControlWrapper&) = delete;

    // Variants come back as the server gave them, owned by the caller.
    virtual VARIANT GetContacts() = 0;
    virtual VARIANT GetTodoCategories() = 0;
    virtual long Connect(long reserved) = 0;
    virtual long FileKeynote(IDispatch* record) = 0;
    virtual long OpenApplication() = 0;
    virtual VARIANT GetJournalCategories() = 0;
    virtual long CreateJournalCategory(const char* name) = 0;
    virtual long CreateContact(const char* line) = 0;
    // TRUE at once when a server is held; else creates it, and a server that
    // cannot be made throws the filled-in COleException*.
    virtual BOOL CreateDispatch();

protected:
    CPIMControlWrapper() = default;
    // Creation by ProgID, as CreateDispatch describes.
    BOOL CreateByProgId(const char* progId);
    // A member call as InvokeHelper makes it. A server that reports a
    // failure by its own convention, a success code with error information
    // (Plover's S_FALSE, Heron's 87), throws COleDispatchException* with the
    // server's text, as a failing status does.
    void Call(DISPID id, WORD flags, VARTYPE vtRet, void* pvRet, const BYTE* params, ...) const;
    // A property get into a variant the caller owns.
    VARIANT GetVariant(DISPID id) const;
    // A method of no argument, of one long, of one dispatch, of one text,
    // each answering a long.
    long CallLong(DISPID id) const;
    long CallLong(DISPID id, long argument) const;
    long CallLong(DISPID id, IDispatch* argument) const;
    long CallLong(DISPID id, const char* argument) const;
};

class IHeronWrapper : public CPIMControlWrapper {
public:
    static const char PROGID[];
    IHeronWrapper() { CreateDispatch(); }

    VARIANT GetContacts() override;
    VARIANT GetTodoCategories() override;
    long Connect(long reserved) override;
    long FileKeynote(IDispatch* record) override;
    long OpenApplication() override;
    VARIANT GetJournalCategories() override;
    long CreateJournalCategory(const char* name) override;
    long CreateContact(const char* line) override;
    BOOL CreateDispatch() override;

    long GetModifiedContacts(VARIANT* contacts);
    long GetModifiedJournalCategories(VARIANT* categories);
    long GetModifiedDatabaseFolders(const char* database, VARIANT* folders);
    long GetModifiedTodoCategories(VARIANT* categories);
    VARIANT GetCalendarPrefs();
    VARIANT GetUserInfo();
    long GetNotesVersion();
};

class IPalmAccessWrapper : public CPIMControlWrapper {
public:
    static const char PROGID[];
    IPalmAccessWrapper() { CreateDispatch(); }

    VARIANT GetContacts() override;
    VARIANT GetTodoCategories() override;
    long Connect(long reserved) override;
    long FileKeynote(IDispatch* record) override;
    long OpenApplication() override;
    // The memo categories.
    VARIANT GetJournalCategories() override;
    // Palm Desktop has no folders to create: nothing is called.
    long CreateJournalCategory(const char* name) override;
    // The control's own New Contact sheet; the line is not sent.
    long CreateContact(const char* line) override;
    BOOL CreateDispatch() override;

    VARIANT GetUsers();
    VARIANT GetCurrentUser();
    void SetCurrentUser(const char* name);
};

class IPloverWrapper : public CPIMControlWrapper {
public:
    static const char PROGID[];
    IPloverWrapper() { CreateDispatch(); }

    VARIANT GetContacts() override;
    VARIANT GetTodoCategories() override;
    long Connect(long reserved) override;
    // No result is asked of the server: the answer is always 0.
    long FileKeynote(IDispatch* record) override;
    long OpenApplication() override;
    // Outlook's journal folders are its categories.
    VARIANT GetJournalCategories() override;
    long CreateJournalCategory(const char* name) override;
    long CreateContact(const char* line) override;
    BOOL CreateDispatch() override;

    VARIANT GetFolders();
};
