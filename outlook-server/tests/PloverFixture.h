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
#include "GodwitRecordFiller.h"
#include "OutlookStandInFixture.h"
#include "PloverDispIds.h"
#include "QuiComTesting.h"

// One item record, created as the main program creates it.
using GodwitRecord = GodwitTesting::Record;

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
    // The same class under the file name registered for Outlook below 8.5.
    QuiComTesting::ServerLibrary m_server97{(QuiComTesting::ProgramFolder() + "Plover97.dll").c_str()};
    QuiComTesting::Ptr<IDispatch> m_plover;
};
