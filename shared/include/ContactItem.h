// The contact record that the main program fills from the user's profile for
// web actions and exchanges with the Palm libraries: plain data with owned
// texts. Every record begins with its own size, which a library compares with
// the size of its own declaration before it trusts the rest.
#pragma once
#include <cstdint>

struct PILOTDATA {
    uint32_t size;

protected:
    explicit PILOTDATA(uint32_t recordSize) : size(recordSize) {}
};

// One phone number or e-mail address of a contact.
class EMAILINFO : public PILOTDATA {
public:
    EMAILINFO();
    EMAILINFO(const EMAILINFO& other);
    EMAILINFO& operator=(const EMAILINFO& other);
    ~EMAILINFO();

    // Texts are never null; each setter keeps a copy of its own (null: "").
    const char* GetValue() const { return m_value; }
    void SetValue(const char* text);
    const char* GetLabel() const { return m_label; }
    void SetLabel(const char* text);

private:
    char* m_value;   // the number or address
    char* m_label;   // its kind ("email", or one of the Palm phone labels)
public:
    int32_t shown;   // 1: the entry shown in lists
};

// Aligned to 8 bytes: on 32-bit Windows the record is then the 168 bytes
// that the Palm libraries check its size against; a 64-bit build keeps the
// same fields in the same order.
class alignas(8) CONTACTITEM : public PILOTDATA {
public:
    enum { EMAIL_COUNT = 5 };
    // The fourteen texts, in record order.
    enum Text {
        FirstName, LastName, Title, Company, Address, City, State, Country, ZipCode,
        Note, Custom1, Custom2, Custom3, Custom4,
        TEXT_COUNT
    };

    CONTACTITEM();
    CONTACTITEM(const CONTACTITEM& other);
    // Copies every part, each text into a buffer of its own.
    CONTACTITEM& operator=(const CONTACTITEM& other);
    ~CONTACTITEM();

    // Texts are never null; each setter keeps a copy of its own (null: "").
    // An index outside the record reads "" and writes nothing.
    const char* GetText(int which) const;
    void SetText(int which, const char* text);
    const char* GetName() const { return m_name; }
    void SetName(const char* text);
    const char* GetCategory() const { return m_category; }
    void SetCategory(const char* text);

    // Index 0 to 4; an index outside them gives the nearest entry.
    EMAILINFO& Email(int index);
    const EMAILINFO& Email(int index) const;

    // The fields follow in record order, which the Palm libraries rely on.
private:
    char* m_name;
public:
    int32_t isPrivate;
    int32_t recordId;
private:
    char* m_category;
public:
    int32_t reserved;
private:
    EMAILINFO m_email[EMAIL_COUNT];
    char* m_text[TEXT_COUNT];
public:
    // The control that asked for the record; the Palm library asks it for the
    // owner window of its own dialogs.
    void* owner;
};
