// The record of one contact line and the names of a contact line's fields.
#pragma once
#include <string>

#include "NotesRecords.h"

class NotesContactRecord : public NotesItemRecord {
public:
    static const int kFieldCount = 16;

    // With `fillNames` the process-wide name list is filled from the
    // built-in block when it is still empty.
    explicit NotesContactRecord(bool fillNames = false);
    ~NotesContactRecord() override;

    // The name of field `index` of a contact line ("_ID_", "FirstName", ...,
    // "_MODFICATIONS_"); "" beyond the list.
    static const char* FieldName(int index);
    // Whether the field is one of the two that no person document holds.
    static bool IsPseudoField(int index);
    static int Instances();

    // Field `index` of the held line, unquoted; "" beyond its fields.
    std::string Field(int index) const;

    std::string line;
};
