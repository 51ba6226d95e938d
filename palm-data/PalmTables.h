// The current user's four Palm Desktop tables. Each wrapper reopens its
// table from the file for every operation, does that one thing and closes
// it again, so that nothing works on data the desktop or HotSync changed in
// between.
#pragma once
#include <afxquill.h>

#include <functional>
#include <memory>
#include <vector>

#include "ContactItem.h"
#include "PalmItems.h"
#include "PalmUserBlock.h"
#include "Table21.h"

class PalmTableAccess {
public:
    PalmTableAccess(const PalmUserBlock& user, LPCTSTR fileName) : m_user(user), m_fileName(fileName) {}
    virtual ~PalmTableAccess();
    PalmTableAccess(const PalmTableAccess&) = delete;
    PalmTableAccess& operator=(const PalmTableAccess&) = delete;

    // The table file of the current user.
    CString GetFilePath() const { return m_user.userPath + m_fileName; }

    // The categories with a name, in the table's order; the number of them
    // (0, and an empty list, when the table cannot be read).
    int GetCategories(std::vector<CategoryInfo>& categories);
    // 1 when the category was added (or deleted) and the table saved, else 0.
    int CreateCategory(LPCTSTR name);
    int RemoveCategory(LPCTSTR name);

protected:
    virtual CBaseTable* NewTable() const = 0;
    CBaseTable* Open();
    void Close();
    // The adding steps around one record: open, make the record on the
    // table, add it, fill it, save, close. 1 when saved; 0 when the table
    // could not be read, took no record, could not fill the record whole
    // (nothing is saved then) or could not be saved.
    int AddRecord(const std::function<CBaseRecord*(CBaseTable*)>& make,
                  const std::function<void(CBaseRecord&)>& fill);
    // Opens the table, runs the action, closes the table: the action's
    // answer, or 0 when the table library raised an error.
    int WithTable(const std::function<int(CBaseTable&)>& action);
    // The record's category by name, else "Unfiled", else -1; nothing for a
    // table without categories.
    static void AssignCategory(CBaseTable& table, CBaseRecord& record, LPCTSTR name);

private:
    const PalmUserBlock& m_user;
    CString m_fileName;
    std::unique_ptr<CBaseTable> m_table;
};

class TodoTableAccess : public PalmTableAccess {
public:
    explicit TodoTableAccess(const PalmUserBlock& user) : PalmTableAccess(user, "todo\\todo.dat") {}
    int AddTodo(const TodoItem& item);

protected:
    CBaseTable* NewTable() const override { return new CToDoTable; }
};

class MemoTableAccess : public PalmTableAccess {
public:
    explicit MemoTableAccess(const PalmUserBlock& user) : PalmTableAccess(user, "memopad\\memopad.dat") {}
    int AddMemo(const MemoItem& item);

protected:
    CBaseTable* NewTable() const override { return new CMemoTable; }
};

class DateBookTableAccess : public PalmTableAccess {
public:
    explicit DateBookTableAccess(const PalmUserBlock& user) : PalmTableAccess(user, "datebook\\datebook.dat") {}
    // An end of 0 is replaced in the caller's item (start + 0.04 days).
    int AddAppointment(DateBookItem& item);
    // The appointments that start on the day of `day` (its time of day is
    // ignored), by start; as far as the table could be read.
    int GetDay(DATE day, std::vector<DateBookItem>& items);

protected:
    CBaseTable* NewTable() const override { return new CDateBkTable; }
};

class AddressTableAccess : public PalmTableAccess {
public:
    // The phone labels come from string 4 of the named module.
    AddressTableAccess(const PalmUserBlock& user, const char* moduleName);

    int AddContact(const CONTACTITEM& contact);
    // Every live contact with a first name, last name or company.
    int GetContacts(std::vector<CONTACTITEM>& contacts);
    // Fills `query` from the first contact that matches it (see the source);
    // 1 when the table was read, matched or not.
    int LookupContact(CONTACTITEM& query);
    // The four names of the custom fields; 0 when the table cannot be read.
    int GetCustomLabels(CStringArray& labels);

    const CStringArray& GetPhoneLabels() const { return m_labels; }
    // The label that marks an entry as an e-mail address; empty without
    // the label list.
    CString GetEmailLabel() const;
    // The label's index in the list (exact comparison), -1 when absent.
    int FindPhoneLabel(LPCTSTR label) const;

protected:
    CBaseTable* NewTable() const override { return new CAddressTable; }

private:
    // The values the contact list and the lookup share.
    void FillContact(const CAddressRecord& record, CONTACTITEM& contact) const;

    CStringArray m_labels;
};

class PalmTables {
public:
    PalmTables(const PalmUserBlock& user, const char* moduleName);

    TodoTableAccess& Todo() { return m_todo; }
    MemoTableAccess& Memo() { return m_memo; }
    DateBookTableAccess& DateBook() { return m_dateBook; }
    AddressTableAccess& Address() { return m_address; }

    // By the kinds the library's operations pass; a kind not listed gives 0
    // or an empty list. Items: 1 TodoItem, 2 MemoItem, 3 DateBookItem.
    int AddItem(int kind, void* item);
    // Lists: 1 to-do, 2 memo, 4 address book.
    int GetCategories(int kind, std::vector<CategoryInfo>& categories);
    // Changes: 1 to-do, 2 memo, 3 address book.
    int CreateCategory(int kind, LPCTSTR name);
    int RemoveCategory(int kind, LPCTSTR name);

private:
    PalmTableAccess* ListTable(int kind);
    PalmTableAccess* ChangeTable(int kind);

    TodoTableAccess m_todo;
    MemoTableAccess m_memo;
    DateBookTableAccess m_dateBook;
    AddressTableAccess m_address;
};
