#include "Destination.h"

#include "DestPane.h"

CDestination::CDestination(CDestPane* pPane)
    : m_menuProp(pPane->GetMenuButton()), m_checkProp(pPane->GetCheckButton())
{
}

CDestination::~CDestination()
{
}

void CDestination::SetEnabled(bool bEnabled)
{
    m_bEnabled = bEnabled;
}

bool CDestination::IsEnabled()
{
    return m_bEnabled;
}

bool CDestination::IsModified()
{
    return false;
}

void CDestination::SetParseLocked(bool)
{
}

void CDestination::OnParseResult1(QuiPrsItemRole*, int, INT_PTR, QuiDestinationSink*)
{
}

void CDestination::OnParseResult2(QuiPrsItemRole*, int, INT_PTR, QuiDestinationSink*)
{
}

void CDestination::OnParseResult3(QuiPrsItemRole*, int, INT_PTR, QuiDestinationSink*)
{
}
