// A tree as one line, "TAG[value](child,child)", for comparing in rows.
#pragma once
#include "QuiTaggedField.h"

#include <string>

inline std::string Dump(QuiTaggedField* field)
{
    if (!field)
        return "<null>";
    std::string text = std::string(field->getTag()) + "[" + field->getValue() + "]";
    if (field->subfieldsCount() == 0)
        return text;
    text += "(";
    field->subfieldsFetchBegin(nullptr);
    for (int i = 0; QuiTaggedField* child = field->subfieldsFetchNext(); ++i)
        text += (i ? "," : "") + Dump(child);
    field->subfieldsFetchEnd();
    return text + ")";
}

// The tags that a cursor yields, comma-separated.
inline std::string FetchTags(QuiTaggedField* field, const char* tag)
{
    std::string tags;
    field->subfieldsFetchBegin(tag);
    while (QuiTaggedField* child = field->subfieldsFetchNext())
        tags += (tags.empty() ? "" : ",") + std::string(child->getTag()) + child->getValue();
    field->subfieldsFetchEnd();
    return tags;
}
