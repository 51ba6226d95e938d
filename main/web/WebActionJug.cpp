#include "WebActionJug.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

IMPLEMENT_SERIAL(CWebActionJug, CObject, 1)

namespace {

// The names of the pairs that carry the action's own fields; "$:" starts no
// placeholder name, so no template can ask for them.
const char kLayoutName[] = "$:layout";
const char kLayoutValue[] = "2";
const char kFlagsName[] = "$:flags";
const char kConnectorName[] = "$:connector";
const char kSubtypeName[] = "$:subtype";
const char* const kDateNames[] = {"$:startdate", "$:enddate", "$:starttime", "$:endtime"};

// A date as the sixteen hex digits of its bits: exact, whatever the locale.
CString DateText(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    CString text;
    text.Format("%08X%08X", static_cast<unsigned>(bits >> 32), static_cast<unsigned>(bits & 0xFFFFFFFFu));
    return text;
}

bool ReadDate(const CString& text, double* value)
{
    if (text.GetLength() != 16)
        return false;
    char* end = nullptr;
    std::uint64_t bits = std::strtoull(text.GetString(), &end, 16);
    if (!end || *end)
        return false;
    std::memcpy(value, &bits, sizeof bits);
    return true;
}

bool IsOwnField(const CString& name)
{
    return name.GetLength() >= 2 && name[0] == '$' && name[1] == ':';
}

} // namespace

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

void CWebActionJug::CopyWhole(const CWebActionJug& other)
{
    *this = other;
    m_parameters = other.m_parameters;
    m_nFlags = other.m_nFlags;
    m_strNote = other.m_strNote;
    m_dtStartDate = other.m_dtStartDate;
    m_dtEndDate = other.m_dtEndDate;
    m_dtStartTime = other.m_dtStartTime;
    m_dtEndTime = other.m_dtEndTime;
    m_strConnectorName = other.m_strConnectorName;
    m_strSubtypeName = other.m_strSubtypeName;
}

void CWebActionJug::StorePairs(CArchive& ar) const
{
    CString flags;
    flags.Format("%u", m_nFlags);
    std::vector<std::pair<CString, CString>> pairs = {{kLayoutName, kLayoutValue}, {kFlagsName, flags}};
    const double dates[] = {m_dtStartDate, m_dtEndDate, m_dtStartTime, m_dtEndTime};
    for (int i = 0; i < 4; ++i)
        pairs.emplace_back(kDateNames[i], DateText(dates[i]));
    pairs.emplace_back(kConnectorName, m_strConnectorName);
    pairs.emplace_back(kSubtypeName, m_strSubtypeName);
    // A name of the action's own fields is no parameter's: no template can
    // ask for it, and read back it would overwrite the field.
    for (const CWebDataProp& parameter : m_parameters) {
        if (!IsOwnField(parameter.m_strName))
            pairs.emplace_back(parameter.m_strName, parameter.m_strValue);
    }
    ar << static_cast<int>(2 * pairs.size());
    for (const auto& pair : pairs)
        ar << pair.first << pair.second;
}

void CWebActionJug::LoadPairs(CArchive& ar)
{
    int count = 0;
    ar >> count;
    std::vector<CString> texts;
    CString text;
    for (int i = 0; i < count; ++i) {
        ar >> text;
        texts.push_back(text);
    }
    // Texts of another layout are dropped, as every reader before did.
    if (texts.size() < 2 || texts.size() % 2 || texts[0] != kLayoutName || texts[1] != kLayoutValue)
        return;
    double* const dates[] = {&m_dtStartDate, &m_dtEndDate, &m_dtStartTime, &m_dtEndTime};
    for (size_t i = 2; i < texts.size(); i += 2) {
        const CString& name = texts[i];
        const CString& value = texts[i + 1];
        if (!IsOwnField(name)) {
            m_parameters.emplace_back(name, value);
        } else if (name == kFlagsName) {
            // A kept action opens as every kept one does: the browser shown.
            m_nFlags = static_cast<UINT>(std::strtoul(value.GetString(), nullptr, 10)) & ~static_cast<UINT>(flagNoShow);
        } else if (name == kConnectorName) {
            m_strConnectorName = value;
        } else if (name == kSubtypeName) {
            m_strSubtypeName = value;
        } else {
            for (int d = 0; d < 4; ++d) {
                if (name == kDateNames[d])
                    ReadDate(value, dates[d]);
            }
        }
    }
}

void CWebActionJug::SetParameter(const CString& name, const CString& value)
{
    m_parameters.emplace_back(name, value);
}

void CWebActionJug::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_nId << m_strText;
        StorePairs(ar);
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
    LoadPairs(ar);
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
