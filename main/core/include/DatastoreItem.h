// The items that a datastore makes from its back end's text lines: each holds
// the line's columns as the back end delivered them.
#pragma once

#include <afxquill.h>
#include <Kestrel.h>

#include <vector>

class CDatastoreItem : public QuiItem {
public:
    CDatastoreItem() = default;
    CDatastoreItem(const QuiItemID& id, QuiItemType* type) : QuiItem(id, type) {}

    void setField(QuiTaggedField* field) override;
    void toRecord(QuiTaggedField* record) override;

    // Fills the item from one comma-separated line of its back end; the line
    // is split in place.
    virtual void FromCsvLine(char* line) = 0;
    // The i-th field, "" when there is none.
    virtual LPCSTR GetFieldText(int i);
    virtual bool HasFields();

protected:
    CDatastoreItem(const CDatastoreItem& other) = default;

    // The unquoted fields of a line, in order; the line is split in place.
    static std::vector<CString> SplitLine(char* line);
    // Makes the item hold `count` fields, the first ones taken from `line`
    // (fields past `count` are dropped, missing ones stay empty).
    void SetFieldsFromLine(char* line, int count);
    // Grows the field list as needed; a negative index sets nothing.
    void SetFieldText(int i, LPCSTR text);

private:
    std::vector<CString> m_fields;
};

// A contact of a back end: three texts that the contact lists show.
class QuiContactItem : public CDatastoreItem {
public:
    QuiContactItem() = default;
    QuiContactItem(const QuiItemID& id, QuiItemType* type) : CDatastoreItem(id, type) {}

    virtual LPCSTR GetDisplayField1() = 0;
    virtual LPCSTR GetDisplayField2() = 0;
    virtual LPCSTR GetDisplayField3() = 0;

protected:
    QuiContactItem(const QuiContactItem& other) = default;
};
