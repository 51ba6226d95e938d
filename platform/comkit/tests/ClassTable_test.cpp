#include <ocidl.h>

#include "KitFixture.h"

using QuiComTesting::Ptr;

namespace {
// {0E4A3C8B-6D4E-4B0A-9C61-5C3A3B1F2A77}: a class the server does not have.
const CLSID kStranger = {0x0e4a3c8b, 0x6d4e, 0x4b0a, {0x9c, 0x61, 0x5c, 0x3a, 0x3b, 0x1f, 0x2a, 0x77}};
}  // namespace

TEST_F(KitFixture, ClassTableAnswersOnlyItsClasses)
{
    struct Row {
        const CLSID* clsid;
        REFIID iid;
        HRESULT expected;
    } rows[] = {
        {&CLSID_KitTest, IID_IClassFactory, S_OK},
        {&CLSID_KitPlain, IID_IClassFactory, S_OK},
        {&CLSID_KitTest, IID_IUnknown, S_OK},
        {&kStranger, IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
        {&CLSID_KitTest, IID_IDispatch, E_NOINTERFACE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        Ptr<IUnknown> factory;
        EXPECT_EQ(row.expected, m_server.GetClassObject(*row.clsid, row.iid, factory.OutVoid()));
        EXPECT_EQ(row.expected == S_OK, static_cast<bool>(factory));
    }
}

TEST_F(KitFixture, FactoryRefusesAggregationAndUnknownInterfaces)
{
    Ptr<IClassFactory> factory;
    ASSERT_HRESULT_SUCCEEDED(m_server.GetClassObject(CLSID_KitTest, IID_IClassFactory, factory.OutVoid()));
    Ptr<IUnknown> object;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(m_kit.Get(), IID_IUnknown, object.OutVoid()));
    EXPECT_FALSE(object);
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IClassFactory, object.OutVoid()));
    EXPECT_FALSE(object);
    EXPECT_EQ(E_POINTER, factory->CreateInstance(nullptr, IID_IUnknown, nullptr));
}

TEST_F(KitFixture, ObjectsAnswerTheirInterfacesWithOneIdentity)
{
    struct Row {
        REFIID iid;
        HRESULT expected;
    } rows[] = {
        {IID_IKitTest, S_OK},
        {IID_IDispatch, S_OK},
        {IID_ISupportErrorInfo, S_OK},
        {IID_IConnectionPointContainer, S_OK},
        {IID_IOleObject, S_OK},
        {IID_IOleControl, S_OK},
        {IID_IPersistStreamInit, S_OK},
        {IID_IPersist, S_OK},
        {IID_IProvideClassInfo, S_OK},
        {IID_IProvideClassInfo2, S_OK},
        {IID_IViewObject, S_OK},
        {IID_IViewObject2, S_OK},
        {IID_IPersistStorage, E_NOINTERFACE},
        {IID_IOleInPlaceObject, E_NOINTERFACE},
        {IID_IClassFactory, E_NOINTERFACE},
    };
    Ptr<IUnknown> identity;
    ASSERT_HRESULT_SUCCEEDED(m_kit->QueryInterface(IID_IUnknown, identity.OutVoid()));
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        Ptr<IUnknown> answer;
        ASSERT_EQ(row.expected, m_kit->QueryInterface(row.iid, answer.OutVoid()));
        if (row.expected != S_OK) {
            EXPECT_FALSE(answer);
            continue;
        }
        Ptr<IUnknown> again;
        ASSERT_HRESULT_SUCCEEDED(answer->QueryInterface(IID_IUnknown, again.OutVoid()));
        EXPECT_EQ(identity.Get(), again.Get());
    }
}

TEST_F(KitFixture, LibraryStaysLoadedWhileAnythingOfItIsHeld)
{
    m_dispatch.Reset();
    m_kit.Reset();
    EXPECT_EQ(S_OK, m_server.CanUnloadNow());

    Ptr<IClassFactory> factory;
    ASSERT_HRESULT_SUCCEEDED(m_server.GetClassObject(CLSID_KitTest, IID_IClassFactory, factory.OutVoid()));
    EXPECT_EQ(S_FALSE, m_server.CanUnloadNow()) << "a class object is held";

    Ptr<IUnknown> object;
    ASSERT_HRESULT_SUCCEEDED(factory->CreateInstance(nullptr, IID_IUnknown, object.OutVoid()));
    ASSERT_HRESULT_SUCCEEDED(factory->LockServer(TRUE));
    factory.Reset();
    EXPECT_EQ(S_FALSE, m_server.CanUnloadNow()) << "an object and a server lock are held";

    Ptr<IConnectionPointContainer> container;
    ASSERT_HRESULT_SUCCEEDED(object->QueryInterface(IID_IConnectionPointContainer, container.OutVoid()));
    Ptr<IEnumConnectionPoints> points;
    ASSERT_HRESULT_SUCCEEDED(container->EnumConnectionPoints(points.Out()));
    container.Reset();
    object.Reset();
    EXPECT_EQ(S_FALSE, m_server.CanUnloadNow()) << "an enumerator and a server lock are held";

    points.Reset();
    EXPECT_EQ(S_FALSE, m_server.CanUnloadNow()) << "a server lock is held";

    ASSERT_HRESULT_SUCCEEDED(m_server.GetClassObject(CLSID_KitTest, IID_IClassFactory, factory.OutVoid()));
    factory->LockServer(FALSE);
    factory.Reset();
    EXPECT_EQ(S_OK, m_server.CanUnloadNow());
}

TEST_F(KitFixture, FailedCreationLeavesNothingBehind)
{
    m_dispatch.Reset();
    m_kit.Reset();
    Ptr<IUnknown> object;
    EXPECT_EQ(E_NOINTERFACE, m_server.Create(CLSID_KitPlain, IID_IDispatch, object.OutVoid()));
    EXPECT_EQ(S_OK, m_server.CanUnloadNow());
}
