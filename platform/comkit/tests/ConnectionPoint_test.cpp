#include <ocidl.h>
#include <olectl.h>

#include <vector>

#include "KitFixture.h"
#include "QuiComObject.h"

using QuiComTesting::Ptr;

namespace {

// Records the events it receives; may unadvise itself from inside one.
class EventSink : public QuiObjectRoot, public IDispatch {
public:
    static const QuiInterfaceEntry kInterfaces[];

    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                        UINT*) override
    {
        if (id != 1 || flags != DISPATCH_METHOD || params->cArgs != 1 || params->rgvarg[0].vt != VT_I4)
            return DISP_E_MEMBERNOTFOUND;
        values.push_back(params->rgvarg[0].lVal);
        if (unadviseFrom) {
            unadviseFrom->Unadvise(cookie);
            unadviseFrom = nullptr;
        }
        return S_OK;
    }

    std::vector<long> values;
    IConnectionPoint* unadviseFrom = nullptr;
    DWORD cookie = 0;
};

const QuiInterfaceEntry EventSink::kInterfaces[] = {
    {&IID_IDispatch, QuiCastTo<EventSink, IDispatch>},
    {&DIID__DKitTestEvents, QuiCastTo<EventSink, IDispatch>},
    {},
};

// Answers IDispatch but not the event interface.
class StrangerSink : public QuiObjectRoot, public IPersist {
public:
    static const QuiInterfaceEntry kInterfaces[];
    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
};

const QuiInterfaceEntry StrangerSink::kInterfaces[] = {
    {&IID_IPersist, QuiCastTo<StrangerSink, IPersist>},
    {},
};

class ConnectionPointTest : public KitFixture {
protected:
    void SetUp() override
    {
        KitFixture::SetUp();
        Ptr<IConnectionPointContainer> container;
        ASSERT_HRESULT_SUCCEEDED(m_kit->QueryInterface(IID_IConnectionPointContainer, container.OutVoid()));
        ASSERT_EQ(S_OK, container->FindConnectionPoint(DIID__DKitTestEvents, m_point.Out()));
    }

    QuiComObject<EventSink>* NewSink()
    {
        QuiComObject<EventSink>* sink = nullptr;
        QuiComObject<EventSink>::CreateObject(&sink);
        m_sinks.push_back(sink);
        return sink;
    }

    void TearDown() override
    {
        m_point.Reset();
        m_dispatch.Reset();
        m_kit.Reset();
        for (auto* sink : m_sinks)
            sink->Release();
    }

    Ptr<IConnectionPoint> m_point;
    std::vector<QuiComObject<EventSink>*> m_sinks;
};

}  // namespace

TEST_F(ConnectionPointTest, EventReachesEveryAdvisedSink)
{
    auto* first = NewSink();
    auto* second = NewSink();
    DWORD one = 0, two = 0;
    ASSERT_EQ(S_OK, m_point->Advise(static_cast<IDispatch*>(first), &one));
    ASSERT_EQ(S_OK, m_point->Advise(static_cast<IDispatch*>(second), &two));
    EXPECT_NE(one, two);

    m_kit->Raise(5);
    ASSERT_EQ(S_OK, m_point->Unadvise(one));
    m_kit->Raise(6);

    EXPECT_EQ(std::vector<long>({5}), first->values);
    EXPECT_EQ(std::vector<long>({5, 6}), second->values);
}

TEST_F(ConnectionPointTest, AdviseAndUnadviseRefuseWhatTheyCannotDo)
{
    auto* sink = NewSink();
    QuiComObject<StrangerSink>* stranger = nullptr;
    ASSERT_HRESULT_SUCCEEDED(QuiComObject<StrangerSink>::CreateObject(&stranger));
    DWORD cookie = 99;
    EXPECT_EQ(CONNECT_E_CANNOTCONNECT, m_point->Advise(static_cast<IPersist*>(stranger), &cookie));
    EXPECT_EQ(0u, cookie);
    EXPECT_EQ(E_POINTER, m_point->Advise(nullptr, &cookie));
    stranger->Release();

    ASSERT_EQ(S_OK, m_point->Advise(static_cast<IDispatch*>(sink), &cookie));
    struct Row {
        DWORD cookie;
        HRESULT expected;
    } rows[] = {{0, CONNECT_E_NOCONNECTION}, {cookie + 1, CONNECT_E_NOCONNECTION}, {cookie, S_OK},
                {cookie, CONNECT_E_NOCONNECTION}};
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        EXPECT_EQ(row.expected, m_point->Unadvise(row.cookie));
    }
}

TEST_F(ConnectionPointTest, SinkMayUnadviseItselfDuringTheEvent)
{
    auto* leaving = NewSink();
    auto* staying = NewSink();
    ASSERT_EQ(S_OK, m_point->Advise(static_cast<IDispatch*>(leaving), &leaving->cookie));
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, m_point->Advise(static_cast<IDispatch*>(staying), &cookie));
    leaving->unadviseFrom = m_point.Get();

    m_kit->Raise(1);
    m_kit->Raise(2);

    EXPECT_EQ(std::vector<long>({1}), leaving->values);
    EXPECT_EQ(std::vector<long>({1, 2}), staying->values);
}

TEST_F(ConnectionPointTest, FrozenEventsAreNotFired)
{
    auto* sink = NewSink();
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, m_point->Advise(static_cast<IDispatch*>(sink), &cookie));
    Ptr<IOleControl> control;
    ASSERT_HRESULT_SUCCEEDED(m_kit->QueryInterface(IID_IOleControl, control.OutVoid()));

    control->FreezeEvents(TRUE);
    control->FreezeEvents(TRUE);
    m_kit->Raise(1);
    control->FreezeEvents(FALSE);
    m_kit->Raise(2);
    control->FreezeEvents(FALSE);
    m_kit->Raise(3);

    EXPECT_EQ(std::vector<long>({3}), sink->values);
}

TEST_F(ConnectionPointTest, ObjectReleasesItsSinksWhenItGoes)
{
    auto* sink = NewSink();
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, m_point->Advise(static_cast<IDispatch*>(sink), &cookie));
    sink->AddRef();
    EXPECT_EQ(2u, sink->Release()) << "the test and the connection hold it";
    m_point.Reset();
    m_dispatch.Reset();
    m_kit.Reset();
    sink->AddRef();
    EXPECT_EQ(1u, sink->Release());
}

TEST_F(ConnectionPointTest, PointsAndConnectionsCanBeListed)
{
    Ptr<IConnectionPointContainer> container;
    ASSERT_HRESULT_SUCCEEDED(m_point->GetConnectionPointContainer(container.Out()));
    IID iid = GUID_NULL;
    ASSERT_HRESULT_SUCCEEDED(m_point->GetConnectionInterface(&iid));
    EXPECT_TRUE(IsEqualIID(DIID__DKitTestEvents, iid));
    Ptr<IConnectionPoint> none;
    EXPECT_EQ(CONNECT_E_NOCONNECTION, container->FindConnectionPoint(IID_IPropertyNotifySink, none.Out()));
    EXPECT_FALSE(none);

    Ptr<IEnumConnectionPoints> points;
    ASSERT_HRESULT_SUCCEEDED(container->EnumConnectionPoints(points.Out()));
    IConnectionPoint* got[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, points->Next(2, got, &fetched));
    ASSERT_EQ(1u, fetched);
    EXPECT_EQ(m_point.Get(), got[0]);
    got[0]->Release();

    DWORD cookies[3] = {};
    for (DWORD& cookie : cookies)
        ASSERT_EQ(S_OK, m_point->Advise(static_cast<IDispatch*>(NewSink()), &cookie));
    Ptr<IEnumConnections> connections;
    ASSERT_HRESULT_SUCCEEDED(m_point->EnumConnections(connections.Out()));
    EXPECT_EQ(S_OK, connections->Skip(1));
    Ptr<IEnumConnections> clone;
    ASSERT_HRESULT_SUCCEEDED(connections->Clone(clone.Out()));
    CONNECTDATA data[3] = {};
    EXPECT_EQ(S_FALSE, clone->Next(3, data, &fetched));
    ASSERT_EQ(2u, fetched);
    EXPECT_EQ(cookies[1], data[0].dwCookie);
    EXPECT_EQ(cookies[2], data[1].dwCookie);
    data[0].pUnk->Release();
    data[1].pUnk->Release();
    EXPECT_EQ(S_FALSE, connections->Skip(3));
    EXPECT_EQ(S_OK, connections->Reset());
    EXPECT_EQ(E_POINTER, connections->Next(2, data, nullptr));
    EXPECT_EQ(S_OK, connections->Next(1, data, nullptr));
    EXPECT_EQ(cookies[0], data[0].dwCookie);
    data[0].pUnk->Release();
}
