// The items the PIM editions make from their servers' lines: contacts,
// to-do categories, journal folders and memo categories of Lotus Notes
// (Ozu), Palm Desktop (Ibe) and Outlook (Ruk).
#pragma once
#include "DatastoreItem.h"

// Display name of a contact: last name, ", ", first name when both are
// given, else whichever is.
CString QuiContactDisplayName(const char* first, const char* last);

class COzuContact : public QuiContactItem {
public:
    enum { FIELDS = 16, LINE_FIELDS = 14 };
    COzuContact() = default;
    COzuContact(const QuiItemID& id, QuiItemType* type) : QuiContactItem(id, type) {}
    QuiItem* clone(const QuiItemID& id) override { return new COzuContact(id, getType()); }
    void FromCsvLine(char* line) override;
    LPCSTR GetDisplayField1() override { return GetFieldText(1); }
    LPCSTR GetDisplayField2() override { return GetFieldText(2); }
    LPCSTR GetDisplayField3() override { return GetFieldText(3); }
};

class COzuJournalFolder : public CDatastoreItem {
public:
    COzuJournalFolder() = default;
    COzuJournalFolder(const QuiItemID& id, QuiItemType* type) : CDatastoreItem(id, type) {}
    QuiItem* clone(const QuiItemID& id) override { return new COzuJournalFolder(id, getType()); }
    void FromCsvLine(char* line) override;
};

class COzuTodoCategory : public CDatastoreItem {
public:
    COzuTodoCategory() = default;
    COzuTodoCategory(const QuiItemID& id, QuiItemType* type) : CDatastoreItem(id, type) {}
    QuiItem* clone(const QuiItemID& id) override { return new COzuTodoCategory(id, getType()); }
    void FromCsvLine(char* line) override;
};

// A file the Notes edition could attach; it holds the file's path beside the
// line. No list of the edition makes one.
class COzuFile : public CDatastoreItem {
public:
    COzuFile() = default;
    COzuFile(const QuiItemID& id, QuiItemType* type) : CDatastoreItem(id, type) {}
    QuiItem* clone(const QuiItemID& id) override { return new COzuFile(id, getType()); }
    void FromCsvLine(char* line) override { SetFieldsFromLine(line, 1); }
    CString m_strPath;
};

class CIbeContact : public QuiContactItem {
public:
    enum { FIELDS = 11 };
    CIbeContact() = default;
    CIbeContact(const QuiItemID& id, QuiItemType* type) : QuiContactItem(id, type) {}
    QuiItem* clone(const QuiItemID& id) override { return new CIbeContact(id, getType()); }
    void FromCsvLine(char* line) override;
    LPCSTR GetDisplayField1() override { return GetFieldText(1); }
    LPCSTR GetDisplayField2() override { return GetFieldText(2); }
    LPCSTR GetDisplayField3() override { return GetFieldText(3); }
};

// A Palm category: its name, then its key (index "##" id), which is the
// item's identifier.
class CIbeTodoCategory : public CDatastoreItem {
public:
    CIbeTodoCategory() = default;
    CIbeTodoCategory(const QuiItemID& id, QuiItemType* type) : CDatastoreItem(id, type) {}
    QuiItem* clone(const QuiItemID& id) override { return new CIbeTodoCategory(id, getType()); }
    void FromCsvLine(char* line) override;
};

class CIbeMemoCategory : public CIbeTodoCategory {
public:
    CIbeMemoCategory() = default;
    CIbeMemoCategory(const QuiItemID& id, QuiItemType* type) : CIbeTodoCategory(id, type) {}
    QuiItem* clone(const QuiItemID& id) override { return new CIbeMemoCategory(id, getType()); }
};

class CRukTodoCategory : public COzuTodoCategory {
public:
    CRukTodoCategory() = default;
    CRukTodoCategory(const QuiItemID& id, QuiItemType* type) : COzuTodoCategory(id, type) {}
    QuiItem* clone(const QuiItemID& id) override { return new CRukTodoCategory(id, getType()); }
};

class CRukJournalFolder : public CDatastoreItem {
public:
    CRukJournalFolder() = default;
    CRukJournalFolder(const QuiItemID& id, QuiItemType* type) : CDatastoreItem(id, type) {}
    QuiItem* clone(const QuiItemID& id) override { return new CRukJournalFolder(id, getType()); }
    void FromCsvLine(char* line) override;
};
