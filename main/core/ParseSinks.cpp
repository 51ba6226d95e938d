#include "QuiParseSinks.h"

#include "DateValue.h"
#include "Destination.h"
#include "QuillmateExcept.h"

#include <cmath>

QuiParseResultSink::~QuiParseResultSink()
{
}

void QuiParseResultSink::Callback(int, QuiPrsItemRole*, QuiPrsKeyphrase*)
{
}

int QuiParseResultSink::GetTag()
{
    return m_tag;
}

void QuiParseResultSink::SetTag(int tag)
{
    m_tag = tag;
}

void QuiParseResultMessageSink::Callback(int kind, QuiPrsItemRole*, QuiPrsKeyphrase* keyphrase)
{
    if (m_window && m_message)
        PostMessageA(m_window, m_message, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(keyphrase));
}

void DtParseSink::Callback(int, QuiPrsItemRole* role, QuiPrsKeyphrase*)
{
    QuiNumericItem* number = role ? dynamic_cast<QuiNumericItem*>(role->getItem()) : nullptr;
    if (!number)
        return;
    double seconds = std::trunc(number->getValue());
    if (!(seconds >= INT32_MIN && seconds <= INT32_MAX))
        return;
    DATE date = TimeToVariantDate(static_cast<int32_t>(seconds));
    m_date = date == 0.0 ? -1.0 : date;
}

//--- destination sinks

void QuiDestinationSink::Callback(int kind, QuiPrsItemRole* role, QuiPrsKeyphrase* keyphrase)
{
    // The next sink still hears the role; the parse fails, so the destination
    // is offered the keyphrase again.
    try {
        Forward(kind, role, keyphrase);
    } catch (...) {
        QuiDeleteCurrentException();
        throw QUI_PARSE_RESULT_EXCEPTION();
    }
}

int QuiDestinationSink::QueryTag()
{
    return QuiParseResultSink::GetTag();
}

void QuiDestinationSink::AssignTag(int tag)
{
    QuiParseResultSink::SetTag(tag);
}

CDestination* QuiDestinationSink::GetDestination()
{
    return m_destination;
}

void QuiDestinationSink::SetDestination(CDestination* destination)
{
    m_destination = destination;
}

void QuiDestinationSink::Forward(int kind, QuiPrsItemRole* role, QuiPrsKeyphrase* keyphrase)
{
    if (!m_destination)
        return;
    INT_PTR extra = reinterpret_cast<INT_PTR>(keyphrase);
    switch (kind) {
    case 1:
        m_destination->OnParseResult1(role, kind, extra, this);
        break;
    case 2:
        m_destination->OnParseResult2(role, kind, extra, this);
        break;
    case 3:
        m_destination->OnParseResult3(role, kind, extra, this);
        break;
    default:
        break;
    }
}

void QuiDateSink::Callback(int kind, QuiPrsItemRole* role, QuiPrsKeyphrase* keyphrase)
{
    QuiDestinationSink::Callback(kind, role, keyphrase);
}

void QuiWebActionSink::Callback(int kind, QuiPrsItemRole* role, QuiPrsKeyphrase* keyphrase)
{
    if (kind == 3)
        return;
    try {
        Forward(kind, role, keyphrase);
    } catch (COleException* e) {
        e->Delete();
        throw QUI_PARSE_RESULT_EXCEPTION();
    }
}
