// An item class of the tests' own, as the main program derives its items:
// one extra field with a tag of its own.
#pragma once
#include "QuiItem.h"
#include "QuiTaggedField.h"

#include <string>

class Contact : public QuiItem {
public:
    Contact() {}
    QuiItem* clone(const QuiItemID& id) override
    {
        Contact* item = new Contact(*this);
        item->setID(id);
        return item;
    }
    void setField(QuiTaggedField* field) override
    {
        if (field->tagIs("PHONE"))
            phone = field->getValue();
        else
            QuiItem::setField(field);
    }
    void toRecord(QuiTaggedField* record) override
    {
        QuiItem::toRecord(record);
        record->subfieldsAdd(new QuiTaggedField("PHONE", phone.c_str()));
    }
    std::string phone;
};

// Keywords joined by commas.
inline std::string Keywords(QuiItem* item)
{
    std::string text;
    item->keywordsFetchBegin();
    while (const char* keyword = item->keywordsFetchNext())
        text += (text.empty() ? "" : ",") + std::string(keyword);
    item->keywordsFetchEnd();
    return text;
}
