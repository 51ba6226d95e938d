#include "quifw/Object.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<const CRuntimeClass*>& Registry()
{
    static std::vector<const CRuntimeClass*> classes;
    return classes;
}

} // namespace

const CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF,
                                             nullptr, nullptr};

CObject* CRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass) {
        if (p == pBaseClass)
            return TRUE;
    }
    return FALSE;
}

const CRuntimeClass* CRuntimeClass::FromName(LPCSTR lpszClassName)
{
    if (!lpszClassName)
        return nullptr;
    for (const CRuntimeClass* p : Registry()) {
        if (strcmp(p->m_lpszClassName, lpszClassName) == 0)
            return p;
    }
    return nullptr;
}

CRuntimeClassRegistration::CRuntimeClassRegistration(const CRuntimeClass* pClass)
{
    Registry().push_back(pClass);
}

const CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

void CObject::Serialize(CArchive&) {}

BOOL CObject::IsSerializable() const
{
    return GetRuntimeClass()->m_wSchema != 0xFFFF;
}

IMPLEMENT_DYNAMIC(CException, CObject)

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (lpszError && nMaxError > 0)
        *lpszError = 0;
    return FALSE;
}

BOOL CException::DescribeCause(const LPCTSTR* texts, int count, int cause, LPCTSTR lpszFileName, LPTSTR lpszError,
                               UINT nMaxError)
{
    LPCTSTR text = cause >= 0 && cause < count ? texts[cause] : nullptr;
    std::string message;
    if (text && lpszFileName && *lpszFileName)
        message = std::string(lpszFileName) + ": ";
    message += text ? text : "";
    if (lpszError && nMaxError > 0) {
        size_t length = std::min(message.size(), static_cast<size_t>(nMaxError - 1));
        memcpy(lpszError, message.data(), length);
        lpszError[length] = 0;
    }
    return text != nullptr;
}
