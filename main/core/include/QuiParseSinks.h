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
