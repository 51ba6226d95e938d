#include "ContactItem.h"

#include <cstring>

namespace {

char* CopyOf(const char* text)
{
    if (!text)
        text = "";
    size_t length = strlen(text);
    char* copy = new char[length + 1];
    memcpy(copy, text, length + 1);
    return copy;
}

// The copy is made before the old text goes: text may be the old one.
void Replace(char*& field, const char* text)
{
    char* copy = CopyOf(text);
    delete[] field;
    field = copy;
}

int Clamp(int index, int count)
{
    return index < 0 ? 0 : (index >= count ? count - 1 : index);
}

} // namespace

//--- EMAILINFO

EMAILINFO::EMAILINFO() : PILOTDATA(sizeof(EMAILINFO)), m_value(CopyOf("")), m_label(CopyOf("")), shown(0) {}

EMAILINFO::EMAILINFO(const EMAILINFO& other) : EMAILINFO()
{
    *this = other;
}

EMAILINFO& EMAILINFO::operator=(const EMAILINFO& other)
{
    SetValue(other.m_value);
    SetLabel(other.m_label);
    shown = other.shown;
    return *this;
}

EMAILINFO::~EMAILINFO()
{
    delete[] m_value;
    delete[] m_label;
}

void EMAILINFO::SetValue(const char* text)
{
    Replace(m_value, text);
}

void EMAILINFO::SetLabel(const char* text)
{
    Replace(m_label, text);
}

//--- CONTACTITEM

CONTACTITEM::CONTACTITEM()
    : PILOTDATA(sizeof(CONTACTITEM)), m_name(CopyOf("")), isPrivate(0), recordId(0), m_category(CopyOf("")),
      reserved(0), owner(nullptr)
{
    for (char*& text : m_text)
        text = CopyOf("");
}

CONTACTITEM::CONTACTITEM(const CONTACTITEM& other) : CONTACTITEM()
{
    *this = other;
}

CONTACTITEM& CONTACTITEM::operator=(const CONTACTITEM& other)
{
    SetName(other.m_name);
    isPrivate = other.isPrivate;
    recordId = other.recordId;
    SetCategory(other.m_category);
    reserved = other.reserved;
    for (int i = 0; i < EMAIL_COUNT; ++i)
        m_email[i] = other.m_email[i];
    for (int i = 0; i < TEXT_COUNT; ++i)
        Replace(m_text[i], other.m_text[i]);
    owner = other.owner;
    return *this;
}

CONTACTITEM::~CONTACTITEM()
{
    delete[] m_name;
    delete[] m_category;
    for (char* text : m_text)
        delete[] text;
}

const char* CONTACTITEM::GetText(int which) const
{
    return which >= 0 && which < TEXT_COUNT ? m_text[which] : "";
}

void CONTACTITEM::SetText(int which, const char* text)
{
    if (which >= 0 && which < TEXT_COUNT)
        Replace(m_text[which], text);
}

void CONTACTITEM::SetName(const char* text)
{
    Replace(m_name, text);
}

void CONTACTITEM::SetCategory(const char* text)
{
    Replace(m_category, text);
}

EMAILINFO& CONTACTITEM::Email(int index)
{
    return m_email[Clamp(index, EMAIL_COUNT)];
}

const EMAILINFO& CONTACTITEM::Email(int index) const
{
    return m_email[Clamp(index, EMAIL_COUNT)];
}
