// Item records filled by DISPID as the main program fills them: made by their
// ProgID, each member put with a failure that names it. The functions work
// on any record; Record owns one and chains the calls.
#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "GodwitDispIds.h"
#include "QuiComTesting.h"

namespace GodwitTesting {

// A new record of the registered item-record server.
inline QuiComTesting::Ptr<IDispatch> NewRecord()
{
    QuiComTesting::Ptr<IDispatch> record;
    CLSID clsid = GUID_NULL;
    EXPECT_EQ(S_OK, CLSIDFromProgID(L"Godwit.GodwitCtrl.1", &clsid));
    EXPECT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, record.OutVoid()));
    return record;
}

inline void Put(IDispatch* record, DISPID id, const VARIANT& value)
{
    EXPECT_TRUE(record != nullptr) << "no record for DISPID " << id;
    if (record) {
        EXPECT_EQ(S_OK, QuiComTesting::PutProperty(record, id, value)) << "DISPID " << id;
    }
}

inline void PutText(IDispatch* record, DISPID id, const wchar_t* text)
{
    Put(record, id, QuiComTesting::Variant(text));
}

inline void PutLong(IDispatch* record, DISPID id, long value)
{
    Put(record, id, QuiComTesting::Variant(value));
}

inline void PutShort(IDispatch* record, DISPID id, short value)
{
    QuiComTesting::Variant number;
    number.vt = VT_I2;
    number.iVal = value;
    Put(record, id, number);
}

inline void PutDate(IDispatch* record, DISPID id, DATE value)
{
    QuiComTesting::Variant date;
    date.vt = VT_DATE;
    date.date = value;
    Put(record, id, date);
}

inline void PutTexts(IDispatch* record, DISPID id, std::initializer_list<const wchar_t*> texts)
{
    QuiComTesting::Variant list;
    list.vt = VT_ARRAY | VT_BSTR;
    list.parray = QuiComTesting::TextArray(texts);
    Put(record, id, list);
}

// AddTypeBit or AddSubTypeBit.
inline void AddBits(IDispatch* record, DISPID method, long bits)
{
    QuiComTesting::Variant bit(bits);
    EXPECT_EQ(S_OK, QuiComTesting::CallMethod(record, method, {&bit})) << "DISPID " << method;
}

class Record {
public:
    Record() : m_record(NewRecord()) {}
    // A record made some other way (from the library itself, unregistered).
    explicit Record(QuiComTesting::Ptr<IDispatch>&& made) : m_record(std::move(made)) {}

    IDispatch* Get() const { return m_record.Get(); }
    explicit operator bool() const { return m_record.Get() != nullptr; }

    Record& Type(long bits) { return AddBits(DISPID_GODWIT_ADDTYPEBIT, bits); }
    Record& SubType(long bits) { return AddBits(DISPID_GODWIT_ADDSUBTYPEBIT, bits); }
    Record& Put(DISPID id, const VARIANT& value)
    {
        GodwitTesting::Put(Get(), id, value);
        return *this;
    }
    Record& Text(DISPID id, const wchar_t* text)
    {
        PutText(Get(), id, text);
        return *this;
    }
    Record& Long(DISPID id, long value)
    {
        PutLong(Get(), id, value);
        return *this;
    }
    Record& Short(DISPID id, short value)
    {
        PutShort(Get(), id, value);
        return *this;
    }
    Record& Date(DISPID id, DATE value)
    {
        PutDate(Get(), id, value);
        return *this;
    }
    Record& Texts(DISPID id, std::initializer_list<const wchar_t*> texts)
    {
        PutTexts(Get(), id, texts);
        return *this;
    }

private:
    Record& AddBits(DISPID method, long bits)
    {
        GodwitTesting::AddBits(Get(), method, bits);
        return *this;
    }

    QuiComTesting::Ptr<IDispatch> m_record;
};

} // namespace GodwitTesting
