// Run-time class records, the root object class and the framework's exception.
#pragma once

#include "Types.h"

class CObject;
class CArchive;

// One record per class that declares it: its name, its base's record, and for
// classes that can be made by name (DECLARE_DYNCREATE) the function that does it.
struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;                        // 0xFFFF: not stored in archives (see DECLARE_SERIAL)
    CObject* (*m_pfnCreateObject)();       // null: not creatable by name
    const CRuntimeClass* m_pBaseClass;

    CObject* CreateObject() const;         // null when not creatable
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

    // Creatable classes register themselves at start-up; null when unknown.
    static const CRuntimeClass* FromName(LPCSTR lpszClassName);
};

// Records a creatable class for FromName (used by IMPLEMENT_DYNCREATE).
struct CRuntimeClassRegistration {
    explicit CRuntimeClassRegistration(const CRuntimeClass* pClass);
};

class CObject {
public:
    static const CRuntimeClass classCObject;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;
    BOOL IsKindOf(const CRuntimeClass* pClass) const;

    // Writes the object's fields to a storing archive, or reads them back from
    // a loading one; the base has none.
    virtual void Serialize(CArchive& ar);
    // True for classes declared with DECLARE_SERIAL.
    BOOL IsSerializable() const;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name) \
public: \
    static const CRuntimeClass class##class_name; \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name) \
    static CObject* CreateObject();

#define QUIFW_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, pfnNew) \
    const CRuntimeClass class_name::class##class_name = { \
        #class_name, static_cast<int>(sizeof(class_name)), schema, pfnNew, \
        RUNTIME_CLASS(base_class_name)}; \
    const CRuntimeClass* class_name::GetRuntimeClass() const \
    { \
        return RUNTIME_CLASS(class_name); \
    }

// Classes that archives store and load by name: DECLARE_SERIAL in the class,
// IMPLEMENT_SERIAL with the schema number in its source (which includes
// "quifw/Archive.h"). Loading refuses an object stored with another schema.
#define DECLARE_SERIAL(class_name) \
    DECLARE_DYNCREATE(class_name) \
    friend CArchive& operator>>(CArchive& ar, class_name*& pOb);

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    QUIFW_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define QUIFW_IMPLEMENT_CREATABLE(class_name, base_class_name, schema) \
    CObject* class_name::CreateObject() { return new class_name; } \
    QUIFW_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, class_name::CreateObject) \
    static const CRuntimeClassRegistration _quifw_register_##class_name(RUNTIME_CLASS(class_name));

#define IMPLEMENT_DYNCREATE(class_name, base_class_name) \
    QUIFW_IMPLEMENT_CREATABLE(class_name, base_class_name, 0xFFFF)

#define IMPLEMENT_SERIAL(class_name, base_class_name, schema) \
    QUIFW_IMPLEMENT_CREATABLE(class_name, base_class_name, schema) \
    CArchive& operator>>(CArchive& ar, class_name*& pOb) \
    { \
        pOb = static_cast<class_name*>(ar.ReadObject(RUNTIME_CLASS(class_name))); \
        return ar; \
    }

// The framework's exceptions are thrown by pointer (throw new ...), caught as
// CException* and ended with Delete(), which frees only heap-made ones.
class CException : public CObject {
    DECLARE_DYNAMIC(CException)
public:
    explicit CException(BOOL bAutoDelete = TRUE) : m_bAutoDelete(bAutoDelete) {}
    void Delete();

    // Copies the description, cut to fit and terminated; FALSE when there is none.
    virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr);
#ifdef _WIN32
    // Shows the description (else string nMessageID, else a general text) in a
    // message box through the prompt seam; returns the box's answer.
    virtual int ReportError(UINT nType = MB_OK, UINT nMessageID = 0);
#endif

protected:
    // The message of an exception with a numbered cause: texts[cause], after
    // the file name and ": " when there is one, cut to fit and terminated.
    // FALSE, with the buffer emptied, when the cause has no text.
    static BOOL DescribeCause(const LPCTSTR* texts, int count, int cause, LPCTSTR lpszFileName, LPTSTR lpszError,
                              UINT nMaxError);

    BOOL m_bAutoDelete;
};
