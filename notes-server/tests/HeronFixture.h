// Heron registered in the prefix beside one Notes installation of the
// stand-in; the Heron object is created by ProgID on first use, so that a
// test may set Heron's options before the module reads them.
#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "HeronDispIds.h"
#include "NotesStandInFixture.h"
#include "QuiComTesting.h"

class HeronTest : public ::testing::Test {
public:
    // The texts of an array of strings, joined by "|".
    static std::string Texts(const VARIANT& value);
    static std::string Narrow(const std::wstring& text);

protected:
    void SetUp() override;
    void TearDown() override;

    IDispatch* Heron();
    // Another object of the same class in this process.
    QuiComTesting::Ptr<IDispatch> CreateHeron();
    static void CreateInto(QuiComTesting::Ptr<IDispatch>* heron);
    HRESULT Connect(IDispatch* heron = nullptr);
    HRESULT Get(DISPID id, VARIANT* value, IDispatch* heron = nullptr);
    HRESULT Call(DISPID id, std::initializer_list<const VARIANT*> args = {}, VARIANT* result = nullptr);
    // A new Godwit item record.
    static QuiComTesting::Ptr<IDispatch> NewGodwitRecord();
    // Releases the object (its worker and its share of the runtime with it).
    void Release() { m_heron.Reset(); }

    static void SetTimeout(DWORD milliseconds);

    QuiComTesting::Apartment m_apartment;
    NotesStandInTesting::Installation m_notes;
    QuiComTesting::ServerLibrary m_godwit{(QuiComTesting::ProgramFolder() + "Godwit.ocx").c_str()};
    QuiComTesting::ServerLibrary m_server{(QuiComTesting::ProgramFolder() + "Heron.dll").c_str()};
    QuiComTesting::Ptr<IDispatch> m_heron;
};
