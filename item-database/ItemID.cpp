#include "QuiItemID.h"
#include "UuidSource.h"

#include <cstring>
#include <string>

class QuiItemIDImpl {
public:
    std::string text;
};

QuiItemID::QuiItemID() : m_impl(new QuiItemIDImpl) {}

QuiItemID::QuiItemID(const char* text) : m_impl(new QuiItemIDImpl) { fromString(text); }

QuiItemID::QuiItemID(const QuiItemID& other) : m_impl(new QuiItemIDImpl(*other.m_impl)) {}

QuiItemID& QuiItemID::operator=(const QuiItemID& other)
{
    m_impl->text = other.m_impl->text;
    return *this;
}

QuiItemID::~QuiItemID() { delete m_impl; }

// Unsigned byte order; a prefix sorts before the longer text.
int QuiItemID::compare(const char* text) const
{
    const std::string& mine = m_impl->text;
    size_t theirs = text ? std::strlen(text) : 0;
    size_t common = mine.size() < theirs ? mine.size() : theirs;
    int c = common ? std::memcmp(mine.data(), text, common) : 0;
    if (c != 0)
        return c;
    return mine.size() < theirs ? -1 : (mine.size() > theirs ? 1 : 0);
}

bool QuiItemID::operator==(const QuiItemID& o) const { return m_impl->text == o.m_impl->text; }
bool QuiItemID::operator!=(const QuiItemID& o) const { return !(*this == o); }
bool QuiItemID::operator==(const char* text) const { return compare(text) == 0; }
bool QuiItemID::operator!=(const char* text) const { return compare(text) != 0; }
bool QuiItemID::operator<(const QuiItemID& o) const { return compare(o.toString()) < 0; }
bool QuiItemID::operator>(const QuiItemID& o) const { return compare(o.toString()) > 0; }
bool QuiItemID::operator<=(const QuiItemID& o) const { return compare(o.toString()) <= 0; }
bool QuiItemID::operator>=(const QuiItemID& o) const { return compare(o.toString()) >= 0; }

const char* QuiItemID::toString() const { return m_impl->text.c_str(); }

void QuiItemID::fromString(const char* text) { m_impl->text = text ? text : ""; }

bool QuiItemID::isNil() const { return m_impl->text.empty(); }

QuiItemID& QuiItemID::generateUnique()
{
    m_impl->text = kestrel::NewUuidText();
    return *this;
}
