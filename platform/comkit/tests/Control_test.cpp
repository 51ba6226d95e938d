#include <ocidl.h>
#include <olectl.h>

#include "KitFixture.h"

using QuiComTesting::Ptr;

TEST_F(KitFixture, ControlDescribesItselfToItsContainer)
{
    Ptr<IOleObject> ole;
    ASSERT_HRESULT_SUCCEEDED(m_kit->QueryInterface(IID_IOleObject, ole.OutVoid()));
    DWORD status = 0;
    ASSERT_HRESULT_SUCCEEDED(ole->GetMiscStatus(DVASPECT_CONTENT, &status));
    EXPECT_EQ(static_cast<DWORD>(KITTEST_MISC_STATUS), status);
    CLSID clsid = GUID_NULL;
    ASSERT_HRESULT_SUCCEEDED(ole->GetUserClassID(&clsid));
    EXPECT_TRUE(IsEqualCLSID(CLSID_KitTest, clsid));

    Ptr<IPersist> persist;
    ASSERT_HRESULT_SUCCEEDED(m_kit->QueryInterface(IID_IPersist, persist.OutVoid()));
    clsid = GUID_NULL;
    ASSERT_HRESULT_SUCCEEDED(persist->GetClassID(&clsid));
    EXPECT_TRUE(IsEqualCLSID(CLSID_KitTest, clsid));
}

TEST_F(KitFixture, ClassInfoNamesTheCoclassAndItsEvents)
{
    Ptr<IProvideClassInfo2> provide;
    ASSERT_HRESULT_SUCCEEDED(m_kit->QueryInterface(IID_IProvideClassInfo2, provide.OutVoid()));
    GUID guid = GUID_NULL;
    ASSERT_EQ(S_OK, provide->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &guid));
    EXPECT_TRUE(IsEqualIID(DIID__DKitTestEvents, guid));
    EXPECT_EQ(E_INVALIDARG, provide->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID + 1, &guid));

    Ptr<ITypeInfo> info;
    ASSERT_HRESULT_SUCCEEDED(provide->GetClassInfo(info.Out()));
    TYPEATTR* attr = nullptr;
    ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
    EXPECT_EQ(TKIND_COCLASS, attr->typekind);
    EXPECT_TRUE(IsEqualCLSID(CLSID_KitTest, attr->guid));
    info->ReleaseTypeAttr(attr);
}

TEST_F(KitFixture, VerbsThatOnlyShowSucceedOthersAreRefused)
{
    Ptr<IOleObject> ole;
    ASSERT_HRESULT_SUCCEEDED(m_kit->QueryInterface(IID_IOleObject, ole.OutVoid()));
    struct Row {
        LONG verb;
        HRESULT expected;
    } rows[] = {
        {OLEIVERB_PRIMARY, S_OK},       {OLEIVERB_SHOW, S_OK},         {OLEIVERB_HIDE, S_OK},
        {OLEIVERB_INPLACEACTIVATE, S_OK}, {OLEIVERB_UIACTIVATE, S_OK},  {OLEIVERB_OPEN, E_NOTIMPL},
        {OLEIVERB_PROPERTIES, E_NOTIMPL}, {1, OLEOBJ_S_INVALIDVERB},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.verb);
        EXPECT_EQ(row.expected, ole->DoVerb(row.verb, nullptr, nullptr, 0, nullptr, nullptr));
    }
}

TEST_F(KitFixture, ContainerDrawsTheControlThroughItsView)
{
    Ptr<IViewObject2> view;
    ASSERT_HRESULT_SUCCEEDED(m_kit->QueryInterface(IID_IViewObject2, view.OutVoid()));
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 20, 20);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 20, 20};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    RECTL bounds = {5, 5, 10, 10};
    EXPECT_EQ(DV_E_DVASPECT, view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr,
                                         nullptr, 0));
    EXPECT_EQ(E_INVALIDARG, view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, nullptr, nullptr,
                                        nullptr, 0));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 6, 6));
    ASSERT_EQ(S_OK, view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 6, 6));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 12, 12));

    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST_F(KitFixture, ExtentChangesMarkTheControlModified)
{
    Ptr<IOleObject> ole;
    Ptr<IPersistStreamInit> persist;
    ASSERT_HRESULT_SUCCEEDED(m_kit->QueryInterface(IID_IOleObject, ole.OutVoid()));
    ASSERT_HRESULT_SUCCEEDED(m_kit->QueryInterface(IID_IPersistStreamInit, persist.OutVoid()));
    ASSERT_HRESULT_SUCCEEDED(persist->InitNew());
    EXPECT_EQ(S_FALSE, persist->IsDirty());

    SIZEL size = {1000, 500};
    EXPECT_EQ(DV_E_DVASPECT, ole->SetExtent(DVASPECT_ICON, &size));
    EXPECT_EQ(S_FALSE, persist->IsDirty());
    ASSERT_HRESULT_SUCCEEDED(ole->SetExtent(DVASPECT_CONTENT, &size));
    EXPECT_EQ(S_OK, persist->IsDirty());
    SIZEL back = {};
    ASSERT_HRESULT_SUCCEEDED(ole->GetExtent(DVASPECT_CONTENT, &back));
    EXPECT_EQ(1000, back.cx);
    EXPECT_EQ(500, back.cy);

    Ptr<IStream> stream;
    ASSERT_HRESULT_SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Out()));
    ASSERT_HRESULT_SUCCEEDED(persist->Save(stream.Get(), FALSE));
    EXPECT_EQ(S_OK, persist->IsDirty());
    ASSERT_HRESULT_SUCCEEDED(persist->Save(stream.Get(), TRUE));
    EXPECT_EQ(S_FALSE, persist->IsDirty());
}
