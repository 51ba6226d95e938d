// lcppn20.dll: texts and text lists. Their memory is allocated and freed
// here only, whoever holds the objects.

#include <cstdlib>
#include <cstring>
#include <string>

#include "LNClasses.h"

namespace {

char* Copy(const char* text)
{
    size_t length = text ? std::strlen(text) : 0;
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (!copy)
        throw std::bad_alloc();
    if (length)
        std::memcpy(copy, text, length);
    copy[length] = 0;
    return copy;
}

}  // namespace

LNString::LNString() : m_text(Copy("")) {}

LNString::LNString(const char* text) : m_text(Copy(text)) {}

LNString::LNString(const LNString& other) : m_text(Copy(other.m_text)) {}

LNString& LNString::operator=(const LNString& other)
{
    if (this != &other) {
        char* copy = Copy(other.m_text);
        std::free(m_text);
        m_text = copy;
    }
    return *this;
}

LNString::~LNString()
{
    std::free(m_text);
}

const char* LNString::GetPlatformTextPtr() const
{
    return m_text;
}

DWORD LNString::GetByteLength() const
{
    return static_cast<DWORD>(std::strlen(m_text));
}

LNText::LNText() : m_items(nullptr), m_count(0) {}

LNText::LNText(const LNText& other) : LNText()
{
    *this = other;
}

LNText& LNText::operator=(const LNText& other)
{
    if (this != &other) {
        DeleteAll();
        for (DWORD i = 0; i < other.m_count; ++i)
            Append(other.m_items[i]);
    }
    return *this;
}

LNText::~LNText()
{
    DeleteAll();
}

DWORD LNText::GetCount() const
{
    return m_count;
}

LNString LNText::operator[](DWORD index) const
{
    return index < m_count ? LNString(m_items[index]) : LNString();
}

void LNText::GetText(LNString* joined) const
{
    std::string text;
    for (DWORD i = 0; i < m_count; ++i)
        text += (i ? ";" : "") + std::string(m_items[i]);
    *joined = LNString(text.c_str());
}

void LNText::Append(const char* text)
{
    char* copy = Copy(text);
    char** items = static_cast<char**>(std::realloc(m_items, (m_count + 1) * sizeof(char*)));
    if (!items) {
        std::free(copy);
        throw std::bad_alloc();
    }
    m_items = items;
    m_items[m_count++] = copy;
}

void LNText::SetValue(const char* text)
{
    DeleteAll();
    Append(text);
}

void LNText::DeleteAll()
{
    for (DWORD i = 0; i < m_count; ++i)
        std::free(m_items[i]);
    std::free(m_items);
    m_items = nullptr;
    m_count = 0;
}
