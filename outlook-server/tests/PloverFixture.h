// Plover and Godwit registered in the prefix beside the Outlook stand-in,
// one Plover object created by ProgID, and Godwit records filled by DISPID
// as the main program fills them.
#pragma once
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "GodwitDispIds.h"
#include "OutlookStandInFixture.h"
#include "PloverDispIds.h"
#include "QuiComTesting.h"

// One item record, created as the main program creates it.
class GodwitRecord {
public:
    GodwitRecord();
    IDispatch* Get() const { return m_record.Get(); }

    GodwitRecord& Type(long bits);
    GodwitRecord& SubType(long bits);
    GodwitRecord& Text(DISPID id, const wchar_t* text);
    GodwitRecord& Short(DISPID id, short value);
    GodwitRecord& Date(DISPID id, DATE value);
    GodwitRecord& Texts(DISPID id, std::initializer_list<const wchar_t*> texts);

private:
    void Put(DISPID id, const VARIANT& value);
    QuiComTesting::Ptr<IDispatch> m_record;
};

class PloverTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HRESULT Connect();
    HRESULT File(IDispatch* record);
    HRESULT File(const GodwitRecord& record) { return File(record.Get()); }
    HRESULT Get(DISPID id, VARIANT* value);
    HRESULT Call(DISPID id, std::initializer_list<const VARIANT*> args = {});

    // A file that exists, to attach.
    static std::string AttachableFile();

    QuiComTesting::Apartment m_apartment;
    OutlookStandInTesting::Installation m_outlook{OutlookStandInTesting::Build::Outlook90};
    QuiComTesting::ServerLibrary m_godwit{(QuiComTesting::ProgramFolder() + "Godwit.ocx").c_str()};
    QuiComTesting::ServerLibrary m_server{(QuiComTesting::ProgramFolder() + "Plover.dll").c_str()};
    QuiComTesting::Ptr<IDispatch> m_plover;
};
