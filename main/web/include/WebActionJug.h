// One web action to run: the chosen connector subtype, the user's profile,
// named parameters for the template, the note's dates and how to open it.
#pragma once

#include <afxquill.h>

#include <vector>

#include "ContactItem.h"

// One named value for the template.
class CWebDataProp {
public:
    CWebDataProp() = default;
    CWebDataProp(LPCTSTR name, LPCTSTR value) : m_strValue(value), m_strName(name) {}
    virtual ~CWebDataProp() = default;

    CString m_strValue;
    CString m_strName;
};

class CWebActionJug : public CObject {
    DECLARE_SERIAL(CWebActionJug)
public:
    enum {
        flagNoShow = 0x1,     // open the browser without showing its window
        flagNoQueue = 0x2,    // never keep the action in the offline list
    };

    CWebActionJug() = default;
    // Takes what operator= takes; everything else starts as new.
    CWebActionJug(const CWebActionJug& other);
    // Copies the id, the whole profile, the text and the two indexes; not the
    // parameters, flags, note, dates or subtype names.
    CWebActionJug& operator=(const CWebActionJug& other);
    // Copies everything: what the offline list keeps must go out later as it
    // would have gone now.
    void CopyWhole(const CWebActionJug& other);

    // Appends a parameter; a name set twice is kept twice, and the first
    // counts when the template is filled.
    void SetParameter(const CString& name, const CString& value);

    // Stored and loaded: the id, the text, a count of texts and the texts,
    // the two indexes, the note, the profile's fourteen texts and its five
    // e-mail entries. The texts are name and value pairs: first "$:layout"
    // "2", then the flags, the four dates and the subtype's names under
    // names a template cannot ask for, then the parameters. Texts in any
    // other layout (a file from before) are read and dropped, and a reader
    // that drops them all still reads the rest.
    void Serialize(CArchive& ar) override;

    int m_nId = 0;                         // given by the offline list: 1, 2, ...
    CONTACTITEM m_contact;                 // the user's profile
    CString m_strText;
    std::vector<CWebDataProp> m_parameters;
    int m_nConnectorIndex = -1;            // in the enabled connector collection
    int m_nSubtypeIndex = -1;              // in that connector
    UINT m_nFlags = 0;
    CString m_strNote;
    // OLE dates: whole days for the dates, fractions of a day for the times;
    // -1.0 is unset.
    double m_dtStartDate = -1.0;
    double m_dtEndDate = -1.0;
    double m_dtStartTime = -1.0;
    double m_dtEndTime = -1.0;
    // The subtype the indexes named when the action was kept off line:
    // positions change when connectors are enabled, disabled or read again.
    CString m_strConnectorName;
    CString m_strSubtypeName;

private:
    void StorePairs(CArchive& ar) const;
    void LoadPairs(CArchive& ar);
};
