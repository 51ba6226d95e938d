// Identifier of items, item types and type categories: a byte string compared
// byte for byte; the empty text is the nil identifier.
#pragma once
#include "KestrelApi.h"

class QuiItemIDImpl;

class KESTREL_API QuiItemID {
public:
    QuiItemID();
    QuiItemID(const char* text);
    QuiItemID(const QuiItemID& other);
    QuiItemID& operator=(const QuiItemID& other);
    ~QuiItemID();

    bool operator==(const QuiItemID& other) const;
    bool operator!=(const QuiItemID& other) const;
    bool operator==(const char* text) const;
    bool operator!=(const char* text) const;
    bool operator<(const QuiItemID& other) const;
    bool operator>(const QuiItemID& other) const;
    bool operator<=(const QuiItemID& other) const;
    bool operator>=(const QuiItemID& other) const;

    const char* toString() const;
    void fromString(const char* text);
    bool isNil() const;
    QuiItemID& generateUnique();

private:
    int compare(const char* text) const;
    QuiItemIDImpl* m_impl;
};
