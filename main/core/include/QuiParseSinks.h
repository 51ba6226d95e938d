// Parse-result sinks: each receives the item roles of keyphrase events for the
// item types it was registered for in one parse context.
#pragma once
#include "QuiParser.h"

#include <windows.h>

// Thrown by a sink to report that it failed; the dispatch goes on with the
// next sink.
class QUI_PARSE_RESULT_EXCEPTION {
};

class QuiParseResultSink {
public:
    QuiParseResultSink() = default;
    virtual ~QuiParseResultSink();
    QuiParseResultSink(const QuiParseResultSink&) = delete;
    QuiParseResultSink& operator=(const QuiParseResultSink&) = delete;
    // kind: 1 added, 2 removed, 3 moved; the keyphrase's address is its
    // identity across events.
    virtual void Callback(int kind, QuiPrsItemRole* role, QuiPrsKeyphrase* keyphrase);
    virtual int GetTag();
    virtual void SetTag(int tag);

private:
    int m_tag = 0;
};

class QuiParseResultCallbackSink : public QuiParseResultSink {
};

class CDestination;

// Hands parse results to a destination: kinds 1, 2 and 3 go to its
// OnParseResult1, 2 and 3 with the keyphrase's address as the extra value.
// Whatever the destination throws is swallowed.
class QuiDestinationSink : public QuiParseResultCallbackSink {
public:
    void Callback(int kind, QuiPrsItemRole* role, QuiPrsKeyphrase* keyphrase) override;
    virtual int QueryTag();
    virtual void AssignTag(int tag);
    virtual CDestination* GetDestination();
    virtual void SetDestination(CDestination* destination);

protected:
    // The destination's handler for the kind; other kinds and a sink without
    // a destination do nothing.
    void Forward(int kind, QuiPrsItemRole* role, QuiPrsKeyphrase* keyphrase);

private:
    CDestination* m_destination = nullptr;
};

// A destination sink whose destination's failures, of whatever kind, reach
// the dispatch as QUI_PARSE_RESULT_EXCEPTION, so the next sink still runs.
class QuiDateSink : public QuiDestinationSink {
public:
    void Callback(int kind, QuiPrsItemRole* role, QuiPrsKeyphrase* keyphrase) override;
};

// The web actions' sink: moved keyphrases are not passed on. An automation
// failure of the destination becomes QUI_PARSE_RESULT_EXCEPTION; any other
// exception passes on and ends the dispatch.
class QuiWebActionSink : public QuiDestinationSink {
public:
    void Callback(int kind, QuiPrsItemRole* role, QuiPrsKeyphrase* keyphrase) override;
};

// Posts (message, kind, keyphrase) to a window.
class QuiParseResultMessageSink : public QuiParseResultSink {
public:
    QuiParseResultMessageSink(UINT message = 0, HWND window = nullptr) : m_message(message), m_window(window) {}
    void Callback(int kind, QuiPrsItemRole* role, QuiPrsKeyphrase* keyphrase) override;
    void SetMessage(UINT message) { m_message = message; }
    void SetWindow(HWND window) { m_window = window; }

private:
    UINT m_message;
    HWND m_window;
};

// Keeps the date of the last numeric role as a local automation date; -1.0
// while none came.
class DtParseSink : public QuiParseResultSink {
public:
    void Callback(int kind, QuiPrsItemRole* role, QuiPrsKeyphrase* keyphrase) override;
    DATE GetDate() const { return m_date; }

private:
    DATE m_date = -1.0;
};
