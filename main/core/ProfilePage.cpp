#include "PrefPages.h"

#include "OzuPrefs.h"
#include "QuiResIds.h"

#include <iterator>

namespace {

const struct {
    const char* code;
    const char* name;
} kStates[] = {
    {"AL", "Alabama"}, {"AK", "Alaska"}, {"AZ", "Arizona"}, {"AR", "Arkansas"}, {"CA", "California"},
    {"CO", "Colorado"}, {"CT", "Connecticut"}, {"DE", "Delaware"}, {"FL", "Florida"}, {"GA", "Georgia"},
    {"HI", "Hawaii"}, {"ID", "Idaho"}, {"IL", "Illinois"}, {"IN", "Indiana"}, {"IA", "Iowa"},
    {"KS", "Kansas"}, {"KY", "Kentucky"}, {"LA", "Louisiana"}, {"MD", "Maryland"}, {"ME", "Maine"},
    {"MA", "Massachusetts"}, {"MI", "Michigan"}, {"MN", "Minnesota"}, {"MS", "Mississippi"},
    {"MO", "Missouri"}, {"MT", "Montana"}, {"NE", "Nebraska"}, {"NV", "Nevada"}, {"NH", "New Hampshire"},
    {"NJ", "New Jersey"}, {"NM", "New Mexico"}, {"NY", "New York"}, {"NC", "North Carolina"},
    {"ND", "North Dakota"}, {"OH", "Ohio"}, {"OK", "Oklahoma"}, {"OR", "Oregon"}, {"PA", "Pennsylvania"},
    {"RI", "Rhode Island"}, {"SC", "South Carolina"}, {"SD", "South Dakota"}, {"TN", "Tennessee"},
    {"TX", "Texas"}, {"UT", "Utah"}, {"VT", "Vermont"}, {"VA", "Virginia"}, {"WA", "Washington"},
    {"DC", "Wash. D.C."}, {"WV", "West Virginia"}, {"WI", "Wisconsin"}, {"WY", "Wyoming"},
    {"NT", "North West Territories"}, {"AB", "Alberta"}, {"BC", "British Columbia"}, {"MB", "Manitoba"},
    {"NB", "New Brunswick"}, {"NF", "Newfoundland"}, {"NS", "Nova Scotia"}, {"ON", "Ontario"},
    {"PE", "Prince Edward Island"}, {"QC", "Quebec"}, {"SK", "Saskatchewan"}, {"YK", "Yukon"},
};

const char* const kCountries[] = {
    "United States", "Argentina", "Anguilla", "Aruba", "Austria", "Australia", "Bahamas", "Barbados",
    "Belgium", "Bermuda", "Bosnia", "Brazil", "Bulgaria", "Canada", "Cayman Islands", "China", "Comoros",
    "Croatia", "Cuba", "Cyprus", "Czech Republic", "Denmark", "Dominica", "Dominican Republic", "Ecuador",
    "Egypt", "England", "Finland", "France", "Germany", "Greece", "Grenada", "Haiti", "Hong,Kong", "Hungary",
    "Indonesia", "Ireland", "Israel", "Italy", "Jamaica", "Japan", "Kenya", "Luxembourg", "Madagascar",
    "Malaysia", "Maldives", "Malta", "Mauritius", "Mexico", "Monaco", "Morocco", "Namibia", "Nepal",
    "Netherlands", "New Zealand", "Norway", "Panama", "Poland", "Portugal", "PuertoRico", "Romania", "Russia",
    "Serbia", "Seychelles", "Singapore", "Slovenia", "South Africa", "South Korea", "Spain", "Sweden",
    "Switzerland", "Taiwan", "Tanzania", "Thailand", "Trinidad & Tobago", "Tunisia", "Turkey", "Uganda",
    "Yugoslavia", "Zimbabwe",
};

const int kProfileEdits[] = {IDC_PREFS_FIRSTNAME, IDC_PREFS_LASTNAME, IDC_PREFS_EMAIL,
                             IDC_PREFS_ADDRESS,   IDC_PREFS_CITY,     IDC_PREFS_POSTALCODE};

// Settings hold texts of at most this many characters; a longer one would be
// cut without a word when it is saved.
const int kMaxProfileText = 259;

// Into the list: the entry named exactly value; an empty value is the empty
// first entry, and a value the list lacks gets an entry of its own after it,
// so that what the user left stays. Out: the selected name.
void DDX_ListName(CDataExchange* pDX, int nIDC, CString& value)
{
    CComboBox* pList = static_cast<CComboBox*>(CWnd::FromHandle(pDX->PrepareCtrl(nIDC)));
    if (pDX->m_bSaveAndValidate) {
        int selected = pList->GetCurSel();
        if (selected >= 0)
            pList->GetLBText(selected, value);
        return;
    }
    // The list's own search ignores case, which would change a stored name.
    for (int i = 0; i < pList->GetCount(); ++i) {
        CString name;
        pList->GetLBText(i, name);
        if (name == value) {
            pList->SetCurSel(i);
            return;
        }
    }
    pList->SetCurSel(pList->InsertString(1, value));
}

} // namespace

CPropPageProfile::CPropPageProfile() : CPrefPage(IDD_PREFS_PROFILE, IDH_PREFS_PROFILE) {}

int CPropPageProfile::GetStateCount() { return static_cast<int>(std::size(kStates)); }
LPCTSTR CPropPageProfile::GetStateName(int nIndex) { return kStates[nIndex].name; }
LPCTSTR CPropPageProfile::GetStateCode(int nIndex) { return kStates[nIndex].code; }
int CPropPageProfile::GetCountryCount() { return static_cast<int>(std::size(kCountries)); }
LPCTSTR CPropPageProfile::GetCountryName(int nIndex) { return kCountries[nIndex]; }

void CPropPageProfile::LoadFrom(const COzuPrefs& prefs)
{
    m_strFirstName = prefs.GetFirstName();
    m_strLastName = prefs.GetLastName();
    m_strEmail = prefs.GetEmail();
    m_strAddress = prefs.GetAddress();
    m_strCity = prefs.GetCity();
    m_strState = prefs.GetState();
    m_strCountry = prefs.GetCountry();
    m_strPostalCode = prefs.GetPostalCode();
}

void CPropPageProfile::StoreTo(COzuPrefs& prefs) const
{
    prefs.SetFirstName(m_strFirstName);
    prefs.SetLastName(m_strLastName);
    prefs.SetEmail(m_strEmail);
    prefs.SetAddress(m_strAddress);
    prefs.SetCity(m_strCity);
    prefs.SetState(m_strState);
    prefs.SetCountry(m_strCountry);
    prefs.SetPostalCode(m_strPostalCode);
}

BOOL CPropPageProfile::OnInitDialog()
{
    // The lists are filled before the first exchange selects in them.
    CComboBox* pStates = static_cast<CComboBox*>(GetDlgItem(IDC_PREFS_STATE));
    CComboBox* pCountries = static_cast<CComboBox*>(GetDlgItem(IDC_PREFS_COUNTRY));
    // An empty first entry: a user outside the lists chooses no name.
    for (CComboBox* pList : {pStates, pCountries}) {
        if (pList)
            pList->AddString("");
    }
    for (int i = 0; pStates && i < GetStateCount(); ++i)
        pStates->AddString(GetStateName(i));
    for (int i = 0; pCountries && i < GetCountryCount(); ++i)
        pCountries->AddString(GetCountryName(i));
    for (int id : kProfileEdits)
        SendDlgItemMessage(id, EM_LIMITTEXT, kMaxProfileText);
    return CPrefPage::OnInitDialog();
}

void CPropPageProfile::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_PREFS_FIRSTNAME, m_strFirstName);
    DDX_Text(pDX, IDC_PREFS_LASTNAME, m_strLastName);
    DDX_Text(pDX, IDC_PREFS_EMAIL, m_strEmail);
    DDX_Text(pDX, IDC_PREFS_ADDRESS, m_strAddress);
    DDX_Text(pDX, IDC_PREFS_CITY, m_strCity);
    DDX_ListName(pDX, IDC_PREFS_STATE, m_strState);
    DDX_Text(pDX, IDC_PREFS_POSTALCODE, m_strPostalCode);
    DDX_ListName(pDX, IDC_PREFS_COUNTRY, m_strCountry);
}
