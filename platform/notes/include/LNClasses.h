// The Notes class library stand-in (lcppn20.dll). Its exported entry points
// answer a status and never throw; the inline members around them throw the
// status in the caller's own module while LNSetThrowAllErrors(TRUE) holds,
// so that no exception crosses the library's boundary.
#pragma once
#include <windows.h>

#include "NotesStandIn.h"

#ifdef LN_CLASSES_BUILD
#define LNAPI __declspec(dllexport)
#else
#define LNAPI __declspec(dllimport)
#endif

typedef long LNSTATUS;
typedef NOTESDBHANDLE LNDBHANDLE;
typedef DWORD LNNOTEID;

LNAPI void LNSetThrowAllErrors(BOOL throwAll);
LNAPI BOOL LNGetThrowAllErrors();
LNAPI BOOL LNIsNotesInitialized();
LNAPI const char* LNGetErrorMessageText(LNSTATUS status);

// A failing status, thrown while errors are thrown, else answered.
inline LNSTATUS LNRaise(LNSTATUS status)
{
    if (status && LNGetThrowAllErrors())
        throw status;
    return status;
}

class LNString {
public:
    LNAPI LNString();
    LNAPI LNString(const char* text);
    LNAPI LNString(const LNString& other);
    LNAPI LNString& operator=(const LNString& other);
    LNAPI ~LNString();

    LNAPI const char* GetPlatformTextPtr() const;
    LNAPI DWORD GetByteLength() const;

private:
    char* m_text;
};

// A text list: the values of a text item.
class LNText {
public:
    LNAPI LNText();
    LNAPI LNText(const LNText& other);
    LNAPI LNText& operator=(const LNText& other);
    LNAPI ~LNText();

    LNAPI DWORD GetCount() const;
    // The element at `index`; empty past the end.
    LNAPI LNString operator[](DWORD index) const;
    // All elements joined with ";".
    LNAPI void GetText(LNString* joined) const;
    LNAPI void Append(const char* text);
    LNAPI void DeleteAll();

private:
    char** m_items;
    DWORD m_count;
};

class LNForm;

class LNDatabase {
public:
    LNAPI LNDatabase();
    LNAPI ~LNDatabase();
    LNDatabase(const LNDatabase&) = delete;
    LNDatabase& operator=(const LNDatabase&) = delete;

    LNSTATUS Open() { return LNRaise(DoOpen()); }
    LNSTATUS Close() { return LNRaise(DoClose()); }
    LNAPI BOOL IsOpen() const;
    // The function library's handle of the open database (0 while closed).
    LNAPI LNDBHANDLE GetDatabaseHandle() const;
    LNAPI const char* GetFilePath() const;
    LNAPI const char* GetServerName() const;

    // Whether the open database has a form of that name.
    LNAPI BOOL FormExists(const char* name) const;
    LNSTATUS GetForm(const char* name, LNForm* form) const { return LNRaise(DoGetForm(name, form)); }

    // Names the database a session found; it is opened by Open.
    LNAPI void Bind(const char* server, const char* path);

private:
    LNAPI LNSTATUS DoOpen();
    LNAPI LNSTATUS DoClose();
    LNAPI LNSTATUS DoGetForm(const char* name, LNForm* form) const;

    char m_server[256];
    char m_path[MAX_PATH];
    LNDBHANDLE m_handle;
};

class LNNote {
public:
    LNAPI LNNote();
    LNAPI virtual ~LNNote();
    LNNote(const LNNote&) = delete;
    LNNote& operator=(const LNNote&) = delete;

    // The values of a text item of the open note.
    LNSTATUS GetItem(const char* name, LNText* values) const { return LNRaise(DoGetItem(name, values)); }
    LNAPI LNNOTEID GetNoteID() const;

    // Names the note in its database file; it is read by Open.
    LNAPI void Bind(const char* file, LNNOTEID id);

protected:
    LNAPI LNSTATUS DoOpen();
    LNAPI LNSTATUS DoGetItem(const char* name, LNText* values) const;

private:

    char m_file[MAX_PATH];
    LNNOTEID m_id;
    BOOL m_open;
};

class LNDocument : public LNNote {
public:
    LNSTATUS Open() { return LNRaise(DoOpen()); }
};

// A formula of the stand-in's formula language: text constants in double
// quotes joined by ":", which evaluate to the text list of the constants.
class LNFormula {
public:
    LNAPI LNFormula();
    LNAPI explicit LNFormula(const char* text);

    LNSTATUS Evaluate(LNText* result) const { return LNRaise(DoEvaluate(result)); }
    LNAPI const char* GetText() const;

private:
    LNAPI LNSTATUS DoEvaluate(LNText* result) const;

    LNString m_text;
};

// A keywords field of a form: its choices, given as a list or by a formula.
class LNKeywordsField {
public:
    LNAPI LNKeywordsField();

    // 1 when the choices are computed by a formula.
    LNAPI int GetChoicesOption() const;
    LNSTATUS GetChoicesFormula(LNFormula* formula) const { return LNRaise(DoGetChoicesFormula(formula)); }

    LNAPI void Bind(int choicesOption, const char* formula);

private:
    LNAPI LNSTATUS DoGetChoicesFormula(LNFormula* formula) const;

    int m_choicesOption;
    LNString m_formula;
};

// A form: a design note of class 4 whose "$Fields" lists its fields; a
// keywords field's choices are in "$ChoicesOption.<field>" and
// "$ChoicesFormula.<field>".
class LNForm : public LNNote {
public:
    LNSTATUS Open(int) { return LNRaise(DoOpen()); }
    LNAPI BOOL HasFormField(const char* name) const;
    LNSTATUS GetFormField(const char* name, LNKeywordsField* field) const
    {
        return LNRaise(DoGetFormField(name, field));
    }

private:
    LNAPI LNSTATUS DoGetFormField(const char* name, LNKeywordsField* field) const;
};

class LNNotesSession {
public:
    LNAPI LNNotesSession();
    LNAPI ~LNNotesSession();
    LNNotesSession(const LNNotesSession&) = delete;
    LNNotesSession& operator=(const LNNotesSession&) = delete;

    // Initialises the runtime of the process from `iniPath` (null: the
    // notes.ini on the search path); the calling thread is registered.
    LNSTATUS Initialize(int build, int argc, char** argv, const char* iniPath)
    {
        return LNRaise(DoInitialize(build, argc, argv, iniPath));
    }
    LNSTATUS Term(int flags) { return LNRaise(DoTerm(flags)); }
    // Registers, or ends the registration of, the calling thread.
    LNSTATUS InitThread() { return LNRaise(DoInitThread()); }
    LNSTATUS TermThread() { return LNRaise(DoTermThread()); }

    LNSTATUS GetUserNameText(LNString* name) const { return LNRaise(DoGetUserNameText(name)); }
    LNSTATUS GetDataDirectory(LNString* folder) const { return LNRaise(DoGetDataDirectory(folder)); }
    LNSTATUS GetNotesVersion(WORD* build, const LNString& server) const
    {
        return LNRaise(DoGetNotesVersion(build, server));
    }
    // The location document that notes.ini's "Location" names, in names.nsf.
    LNSTATUS GetLocationDocument(LNDocument* location) const { return LNRaise(DoGetLocationDocument(location)); }
    LNSTATUS GetDatabase(const char* path, LNDatabase* database, const char* server = "") const
    {
        return LNRaise(DoGetDatabase(path, database, server));
    }
    // The mail file that notes.ini's "MailFile" and "MailServer" name.
    LNSTATUS GetMailDatabase(LNDatabase* database) const { return LNRaise(DoGetMailDatabase(database)); }

private:
    LNAPI LNSTATUS DoInitialize(int build, int argc, char** argv, const char* iniPath);
    LNAPI LNSTATUS DoTerm(int flags);
    LNAPI LNSTATUS DoInitThread();
    LNAPI LNSTATUS DoTermThread();
    LNAPI LNSTATUS DoGetUserNameText(LNString* name) const;
    LNAPI LNSTATUS DoGetDataDirectory(LNString* folder) const;
    LNAPI LNSTATUS DoGetNotesVersion(WORD* build, const LNString& server) const;
    LNAPI LNSTATUS DoGetLocationDocument(LNDocument* location) const;
    LNAPI LNSTATUS DoGetDatabase(const char* path, LNDatabase* database, const char* server) const;
    LNAPI LNSTATUS DoGetMailDatabase(LNDatabase* database) const;

    BOOL m_initializedHere;
};
