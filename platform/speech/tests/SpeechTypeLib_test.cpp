// The members callers rely on, by dispatch id, kind and types, as the type
// library that the stand-ins carry describes them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QuiComTesting.h"
#include "QuiSpeechIds.h"
#include "SpeechStandIn.h"

using QuiComTesting::Ptr;

namespace {

struct Member {
    const IID* iface;
    DISPID id;
    INVOKEKIND kind;
    std::vector<VARTYPE> params;   // the value put is a property put's one parameter
    VARTYPE result;                // VT_EMPTY: none
};

const Member kMembers[] = {
    {&IID_IQuiSpeechPhrases, 3, INVOKE_PROPERTYGET, {}, VT_BOOL},
    {&IID_IQuiSpeechPhrases, 3, INVOKE_PROPERTYPUT, {VT_BOOL}, VT_EMPTY},
    {&IID_IQuiSpeechPhrases, 5, INVOKE_PROPERTYGET, {}, VT_DISPATCH},
    {&IID_IQuiSpeechPhrases, 9, INVOKE_FUNC, {VT_BSTR, VT_I4, VT_BSTR, VT_BOOL}, VT_DISPATCH},
    {&IID_IQuiSpeechEngine, 1, INVOKE_FUNC, {}, VT_EMPTY},
    {&IID_IQuiSpeechEngine, 3, INVOKE_FUNC, {}, VT_EMPTY},
    {&IID_IQuiSpeechEngine, 6, INVOKE_PROPERTYPUT, {VT_I4}, VT_EMPTY},
    {&IID_IQuiSpeechRichEdit, -501, INVOKE_PROPERTYPUT, {VT_UI4}, VT_EMPTY},
    {&IID_IQuiSpeechRichEdit, -504, INVOKE_PROPERTYPUT, {VT_I4}, VT_EMPTY},
    {&IID_IQuiSpeechRichEdit, -520, INVOKE_PROPERTYPUT, {VT_I4}, VT_EMPTY},
    {&IID_IQuiSpeechRichEdit, -517, INVOKE_PROPERTYGET, {}, VT_BSTR},
    {&IID_IQuiSpeechRichEdit, -517, INVOKE_PROPERTYPUT, {VT_BSTR}, VT_EMPTY},
    {&IID_IQuiSpeechRichEdit, 0x78, INVOKE_PROPERTYGET, {}, VT_I4},
    {&IID_IQuiSpeechRichEdit, 0x78, INVOKE_PROPERTYPUT, {VT_I4}, VT_EMPTY},
    {&IID_IQuiSpeechRichEdit, 0x74, INVOKE_PROPERTYGET, {}, VT_I4},
    {&IID_IQuiSpeechRichEdit, 0x74, INVOKE_PROPERTYPUT, {VT_I4}, VT_EMPTY},
    {&IID_IQuiSpeechRichEdit, 0x85, INVOKE_PROPERTYPUT, {VT_BOOL}, VT_EMPTY},
    {&IID_IQuiSpeechRichEdit, 0x6C, INVOKE_PROPERTYPUT, {VT_BOOL}, VT_EMPTY},
    {&IID_IQuiSpeechRichEdit, 0x73, INVOKE_PROPERTYPUT, {VT_BOOL}, VT_EMPTY},
    {&IID_IQuiSpeechRichEdit, 0x7C, INVOKE_PROPERTYPUT, {VT_BOOL}, VT_EMPTY},
    {&IID_IQuiSpeechRichEdit, 0x6E, INVOKE_PROPERTYPUT, {VT_I4}, VT_EMPTY},
    {&IID_IQuiSpeechRichEdit, 0x89, INVOKE_PROPERTYPUT, {VT_BOOL}, VT_EMPTY},
};

// Aliases (OLE_COLOR) are followed to the type they stand for.
VARTYPE TypeOf(ITypeInfo* info, const TYPEDESC& desc)
{
    if (desc.vt == VT_PTR)
        return TypeOf(info, *desc.lptdesc);
    if (desc.vt != VT_USERDEFINED)
        return desc.vt;
    Ptr<ITypeInfo> alias;
    if (FAILED(info->GetRefTypeInfo(desc.hreftype, alias.Out())))
        return VT_EMPTY;
    TYPEATTR* attr = nullptr;
    alias->GetTypeAttr(&attr);
    VARTYPE vt = attr->typekind == TKIND_ALIAS ? TypeOf(alias.Get(), attr->tdescAlias) : VT_USERDEFINED;
    alias->ReleaseTypeAttr(attr);
    return vt;
}

class SpeechTypeLib : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring path = L"QuiSpeech.ocx";
        ASSERT_EQ(S_OK, LoadTypeLibEx(path.c_str(), REGKIND_NONE, m_lib.Out()));
    }
    Ptr<ITypeLib> m_lib;
};

}  // namespace

TEST_F(SpeechTypeLib, EveryMemberHasItsDispatchIdKindAndTypes)
{
    for (const Member& m : kMembers) {
        SCOPED_TRACE(testing::Message() << "dispid " << m.id << " kind " << m.kind);
        Ptr<ITypeInfo> info;
        ASSERT_EQ(S_OK, m_lib->GetTypeInfoOfGuid(*m.iface, info.Out()));
        // The dual interface's dispatch side, as late-bound callers see it.
        Ptr<ITypeInfo> dispatch;
        TYPEATTR* kindAttr = nullptr;
        ASSERT_EQ(S_OK, info->GetTypeAttr(&kindAttr));
        TYPEKIND kind = kindAttr->typekind;
        info->ReleaseTypeAttr(kindAttr);
        HREFTYPE ref = 0;
        if (kind == TKIND_INTERFACE) {
            ASSERT_EQ(S_OK, info->GetRefTypeOfImplType(-1, &ref));
            ASSERT_EQ(S_OK, info->GetRefTypeInfo(ref, dispatch.Out()));
        } else {
            ASSERT_EQ(S_OK, info->QueryInterface(IID_ITypeInfo, dispatch.OutVoid()));
        }
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(S_OK, dispatch->GetTypeAttr(&attr));
        const FUNCDESC* found = nullptr;
        FUNCDESC* desc = nullptr;
        for (UINT i = 0; i < attr->cFuncs && !found; ++i) {
            ASSERT_EQ(S_OK, dispatch->GetFuncDesc(i, &desc));
            if (desc->memid == m.id && desc->invkind == m.kind)
                found = desc;
            else
                dispatch->ReleaseFuncDesc(desc);
        }
        dispatch->ReleaseTypeAttr(attr);
        ASSERT_NE(nullptr, found);
        std::vector<VARTYPE> params;
        for (SHORT p = 0; p < found->cParams; ++p)
            params.push_back(TypeOf(dispatch.Get(), found->lprgelemdescParam[p].tdesc));
        VARTYPE result = TypeOf(dispatch.Get(), found->elemdescFunc.tdesc);
        dispatch->ReleaseFuncDesc(desc);
        EXPECT_EQ(m.params, params);
        EXPECT_EQ(m.result == VT_EMPTY ? VT_VOID : m.result, result);
    }
}

TEST_F(SpeechTypeLib, ControlsCarryTheClassIdentifiersTheyAreCreatedBy)
{
    struct Row {
        const char* clsid;
        const CLSID* declared;
    } rows[] = {
        {"{6B2A3868-E625-11D1-B50C-000629B2AC6D}", &CLSID_QuiSpeechPhrases},
        {"{2BEF2730-36F3-11D2-A3EE-00203521503A}", &CLSID_QuiSpeechRichEdit},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.clsid);
        std::wstring text(row.clsid, row.clsid + strlen(row.clsid));
        CLSID clsid;
        ASSERT_EQ(S_OK, CLSIDFromString(text.c_str(), &clsid));
        EXPECT_TRUE(IsEqualCLSID(clsid, *row.declared));
        Ptr<ITypeInfo> info;
        EXPECT_EQ(S_OK, m_lib->GetTypeInfoOfGuid(clsid, info.Out()));
    }
}
