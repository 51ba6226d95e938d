// What the pane and destination window tests share: an application whose
// datastore answers one feature question, and a note window stand-in that
// records the commands and mouse messages it is given.
#pragma once
#include "DatastoreTestSupport.h"
#include "DestWnd.h"
#include "DestTestSupport.h"
#include "QuillmateApp.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// Answers TRUE for one feature.
class FeatureDatastore : public datastore_test::TestDatastore {
public:
    BOOL HasFeature(int n) override { return n == feature; }
    int feature = 0;
};

class CDestTestApp : public CQuillmateApp {
public:
    CDestTestApp() { datastore.reset(new FeatureDatastore); }
    CActionNote* CreateNote(BOOL) override { return nullptr; }
    CDatastore* GetDatastore() override { return datastore.get(); }
    FeatureDatastore* Features() { return datastore.get(); }

private:
    std::unique_ptr<FeatureDatastore> datastore;
};

struct MouseSeen {
    UINT message;
    WPARAM wParam;
    CPoint point;
};

// A visible top-level window standing in for the note window.
class CRecordingWnd : public CWnd {
public:
    BOOL Create(int x = 60, int y = 60, int cx = 240, int cy = 200)
    {
        return CreateEx(WS_EX_TOPMOST, nullptr, "note", WS_POPUP | WS_VISIBLE, x, y, cx, cy, nullptr, nullptr);
    }
    BOOL OnCmdMsg(UINT nID, int nCode, void*, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if (nCode != CN_COMMAND)
            return FALSE;
        if (!pHandlerInfo)
            commands.push_back(nID);
        return TRUE;
    }
    // Mouse messages are only recorded: a real caption press would start
    // the system's move loop.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_NCLBUTTONDOWN) {
            mouse.push_back({message, wParam, CPoint(lParam)});
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<UINT> commands;
    std::vector<MouseSeen> mouse;
};

// A note stand-in with its destination window beside it, shown.
class DestWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(note.Create());
        ASSERT_TRUE(destWnd.Create(&note));
        destWnd.ShowWindow(SW_SHOWNA);
    }

    // A shown pane at y in the destination window.
    CTestPane* AddPane(UINT nID, int y, int nResID = -1)
    {
        panes.push_back(std::make_unique<CTestPane>(nID, nResID));
        CTestPane* pane = panes.back().get();
        EXPECT_TRUE(pane->Create(y, &destWnd)) << nID;
        pane->ShowWindow(SW_SHOW);
        return pane;
    }

    CDestTestApp app;
    CRecordingWnd note;
    CDestWnd destWnd;
    std::vector<std::unique_ptr<CTestPane>> panes;
};
