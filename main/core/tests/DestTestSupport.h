// A destination and a pane for the destination tests: the destination logs
// every parse result it is handed and fails as the test tells it; the pane
// counts how often it was refreshed and checked.
#pragma once
#include "DestPane.h"
#include "Destination.h"
#include "QuiParseSinks.h"

#include <functional>
#include <string>
#include <vector>

class CTestDestination : public CDestination {
public:
    explicit CTestDestination(CDestPane* pPane) : CDestination(pPane) {}
    void OnParseResult1(QuiPrsItemRole* role, int kind, INT_PTR extra, QuiDestinationSink* sink) override
    {
        Heard(1, role, kind, extra, sink);
    }
    void OnParseResult2(QuiPrsItemRole* role, int kind, INT_PTR extra, QuiDestinationSink* sink) override
    {
        Heard(2, role, kind, extra, sink);
    }
    void OnParseResult3(QuiPrsItemRole* role, int kind, INT_PTR extra, QuiDestinationSink* sink) override
    {
        Heard(3, role, kind, extra, sink);
    }

    // "handler:kind:role tag", one per call.
    std::vector<std::string> log;
    std::vector<INT_PTR> extras;
    std::vector<QuiDestinationSink*> sinks;
    // Called after each call is logged; throws to make the destination fail.
    std::function<void()> fail;

private:
    void Heard(int handler, QuiPrsItemRole* role, int kind, INT_PTR extra, QuiDestinationSink* sink)
    {
        log.push_back(std::to_string(handler) + ":" + std::to_string(kind) + ":" + std::to_string(role->getTag()));
        extras.push_back(extra);
        sinks.push_back(sink);
        if (fail)
            fail();
    }
};

class CTestPane : public CDestPane {
public:
    explicit CTestPane(UINT nID = 0, int nResID = -1)
        : CDestPane(new CTestDestination(this)), m_nID(nID), m_nResID(nResID)
    {
    }
    BOOL Create(int y, CWnd* pParent) override { return CreatePane(y, pParent, m_nID, m_nResID); }
    void OnChecked() override { ++checked; }
    void Show() override { ++shown; }
    CTestDestination* Dest() const { return static_cast<CTestDestination*>(GetDestination()); }

    int checked = 0;
    int shown = 0;

private:
    UINT m_nID;
    int m_nResID;
};

// A framework exception that counts its own end.
template <class Base> class CCounted : public Base {
public:
    explicit CCounted(int* deleted) : m_deleted(deleted) {}
    ~CCounted() override { ++*m_deleted; }

private:
    int* m_deleted;
};
