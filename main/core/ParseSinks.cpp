#include "QuiParseSinks.h"

#include "DateValue.h"

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
