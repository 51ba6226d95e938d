#include "WebActionJug.h"

IMPLEMENT_SERIAL(CWebActionJug, CObject, 1)

CWebActionJug::CWebActionJug(const CWebActionJug& other) : CObject()
{
    *this = other;
}

CWebActionJug& CWebActionJug::operator=(const CWebActionJug& other)
{
    m_nId = other.m_nId;
    m_contact = other.m_contact;
    m_strText = other.m_strText;
    m_nConnectorIndex = other.m_nConnectorIndex;
    m_nSubtypeIndex = other.m_nSubtypeIndex;
    return *this;
}

void CWebActionJug::SetParameter(const CString& name, const CString& value)
{
    m_parameters.emplace_back(name, value);
}

void CWebActionJug::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_nId << m_strText;
        ar << static_cast<int>(2 * m_parameters.size());
        for (const CWebDataProp& parameter : m_parameters)
            ar << parameter.m_strName << parameter.m_strValue;
        ar << m_nConnectorIndex << m_nSubtypeIndex << m_strNote;
        for (int i = 0; i < CONTACTITEM::TEXT_COUNT; ++i)
            ar << CString(m_contact.GetText(i));
        for (int i = 0; i < CONTACTITEM::EMAIL_COUNT; ++i) {
            const EMAILINFO& email = m_contact.Email(i);
            ar << CString(email.GetValue()) << CString(email.GetLabel()) << static_cast<int>(email.shown);
        }
        return;
    }

    ar >> m_nId >> m_strText;
    int skipped = 0;
    ar >> skipped;
    CString dropped;
    for (int i = 0; i < skipped; ++i)
        ar >> dropped;
    ar >> m_nConnectorIndex >> m_nSubtypeIndex >> m_strNote;
    CString text;
    for (int i = 0; i < CONTACTITEM::TEXT_COUNT; ++i) {
        ar >> text;
        m_contact.SetText(i, text);
    }
    for (int i = 0; i < CONTACTITEM::EMAIL_COUNT; ++i) {
        EMAILINFO& email = m_contact.Email(i);
        int shown = 0;
        ar >> text;
        email.SetValue(text);
        ar >> text;
        email.SetLabel(text);
        ar >> shown;
        email.shown = shown;
    }
}
