// A tree node of tag, value and owned sub-fields kept in tag order: the record
// form of an item and the element of the item file.
#pragma once
#include "KestrelApi.h"

class QuiTaggedFieldImpl;

class KESTREL_API QuiTaggedField {
public:
    // A null value is the empty value.
    QuiTaggedField(const char* tag, const char* value);
    // Destroys the whole tree below this field.
    virtual ~QuiTaggedField();

    // Two handles on one tree would free it twice.
    QuiTaggedField(const QuiTaggedField&) = delete;
    QuiTaggedField& operator=(const QuiTaggedField&) = delete;

    const char* getTag() const;
    const char* getValue() const;
    bool tagIs(const char* tag) const;
    void setValue(const char* value);

    // Inserts after any sub-fields with the same tag; the parent owns it from
    // then on.
    void subfieldsAdd(QuiTaggedField* field);
    // Empties the collection without destroying the sub-fields: whoever
    // holds them owns them again.
    void subfieldsClear();
    int subfieldsCount() const;

    // One cursor per field: over the sub-fields with `tag`, or over all of
    // them (tag order, equal tags in order of adding) when `tag` is null.
    void subfieldsFetchBegin(const char* tag);
    QuiTaggedField* subfieldsFetchNext();
    void subfieldsFetchEnd();

    // The first sub-field added with exactly this tag, or null.
    QuiTaggedField* subfieldsGet(const char* tag) const;

    // A tree of its own with the same tags, values and sub-fields, owned by
    // the caller.
    QuiTaggedField* copy() const;

private:
    QuiTaggedFieldImpl* m_impl;
};
