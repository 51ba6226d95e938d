#include "QuiConnectionPoint.h"

#include <olectl.h>

#include <algorithm>
#include <memory>

#include "QuiComObject.h"

namespace {

void AddRefItem(IConnectionPoint* item) { item->AddRef(); }
void ReleaseItem(IConnectionPoint* item) { item->Release(); }
void AddRefItem(const CONNECTDATA& item) { item.pUnk->AddRef(); }
void ReleaseItem(const CONNECTDATA& item) { item.pUnk->Release(); }

// Counted items, shared by an enumerator and its clones.
template <class Item>
struct CountedItems {
    std::vector<Item> items;
    ~CountedItems()
    {
        for (const Item& item : items)
            ReleaseItem(item);
    }
};

template <class Base, const IID* BaseIid, class Item>
class Enumerator : public QuiObjectRoot, public Base {
public:
    static const QuiInterfaceEntry kInterfaces[];

    Enumerator(std::shared_ptr<CountedItems<Item>> snapshot, size_t position)
        : m_snapshot(std::move(snapshot)), m_position(position)
    {
    }

    STDMETHODIMP Next(ULONG count, Item* out, ULONG* fetched) override
    {
        if (!out || (!fetched && count != 1))
            return E_POINTER;
        ULONG done = 0;
        const std::vector<Item>& items = m_snapshot->items;
        while (done < count && m_position < items.size()) {
            out[done] = items[m_position++];
            AddRefItem(out[done]);
            ++done;
        }
        if (fetched)
            *fetched = done;
        return done == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override
    {
        size_t left = m_snapshot->items.size() - m_position;
        m_position += std::min<size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override
    {
        m_position = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(Base** out) override
    {
        return Create(m_snapshot, m_position, out);
    }

    static HRESULT Create(std::shared_ptr<CountedItems<Item>> snapshot, size_t position, Base** out)
    {
        if (!out)
            return E_POINTER;
        return QuiComObject<Enumerator>::CreateInstance(*BaseIid, reinterpret_cast<void**>(out),
                                                         std::move(snapshot), position);
    }

private:
    std::shared_ptr<CountedItems<Item>> m_snapshot;
    size_t m_position;
};

template <class Base, const IID* BaseIid, class Item>
const QuiInterfaceEntry Enumerator<Base, BaseIid, Item>::kInterfaces[] = {
    {BaseIid, QuiCastTo<Enumerator, Base>},
    {},
};

using ConnectionEnumerator = Enumerator<IEnumConnections, &IID_IEnumConnections, CONNECTDATA>;
using PointEnumerator = Enumerator<IEnumConnectionPoints, &IID_IEnumConnectionPoints, IConnectionPoint*>;

}  // namespace

QuiConnectionPoint::QuiConnectionPoint(IConnectionPointContainer* container, REFIID iid)
    : m_container(container), m_iid(iid)
{
}

QuiConnectionPoint::~QuiConnectionPoint()
{
    for (const Connection& connection : m_sinks)
        connection.sink->Release();
}

STDMETHODIMP QuiConnectionPoint::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IConnectionPoint)) {
        *ppv = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) QuiConnectionPoint::AddRef()
{
    return m_container->AddRef();
}

STDMETHODIMP_(ULONG) QuiConnectionPoint::Release()
{
    return m_container->Release();
}

STDMETHODIMP QuiConnectionPoint::GetConnectionInterface(IID* iid)
{
    if (!iid)
        return E_POINTER;
    *iid = m_iid;
    return S_OK;
}

STDMETHODIMP QuiConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out)
{
    if (!out)
        return E_POINTER;
    *out = m_container;
    m_container->AddRef();
    return S_OK;
}

STDMETHODIMP QuiConnectionPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    if (!cookie)
        return E_POINTER;
    *cookie = 0;
    if (!sink)
        return E_POINTER;
    IUnknown* typed = nullptr;
    if (FAILED(sink->QueryInterface(m_iid, reinterpret_cast<void**>(&typed))) || !typed)
        return CONNECT_E_CANNOTCONNECT;
    try {
        m_sinks.push_back({m_nextCookie, typed});
    } catch (...) {
        typed->Release();
        return E_OUTOFMEMORY;
    }
    *cookie = m_nextCookie++;
    return S_OK;
}

STDMETHODIMP QuiConnectionPoint::Unadvise(DWORD cookie)
{
    auto found = std::find_if(m_sinks.begin(), m_sinks.end(),
                              [cookie](const Connection& c) { return c.cookie == cookie; });
    if (found == m_sinks.end())
        return CONNECT_E_NOCONNECTION;
    IUnknown* sink = found->sink;
    m_sinks.erase(found);
    sink->Release();
    return S_OK;
}

STDMETHODIMP QuiConnectionPoint::EnumConnections(IEnumConnections** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    std::shared_ptr<CountedItems<CONNECTDATA>> snapshot;
    try {
        snapshot = std::make_shared<CountedItems<CONNECTDATA>>();
        snapshot->items.reserve(m_sinks.size());
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    for (const Connection& connection : m_sinks) {
        snapshot->items.push_back({connection.sink, connection.cookie});
        connection.sink->AddRef();
    }
    return ConnectionEnumerator::Create(std::move(snapshot), 0, out);
}

std::vector<IUnknown*> QuiConnectionPoint::Snapshot() const
{
    std::vector<IUnknown*> sinks;
    sinks.reserve(m_sinks.size());
    for (const Connection& connection : m_sinks) {
        connection.sink->AddRef();
        sinks.push_back(connection.sink);
    }
    return sinks;
}

int QuiConnectionPoint::FireDispatch(DISPID member, DISPPARAMS* params)
{
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    int reached = 0;
    ForEachSink([&](IUnknown* sink) {
        VARIANT result;
        VariantInit(&result);
        HRESULT hr = static_cast<IDispatch*>(sink)->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                                             params ? params : &none, &result, nullptr, nullptr);
        VariantClear(&result);
        if (SUCCEEDED(hr))
            ++reached;
    });
    return reached;
}

STDMETHODIMP QuiConnectionPointContainerImpl::EnumConnectionPoints(IEnumConnectionPoints** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    std::shared_ptr<CountedItems<IConnectionPoint*>> snapshot;
    try {
        snapshot = std::make_shared<CountedItems<IConnectionPoint*>>();
        snapshot->items.reserve(m_points.size());
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    for (QuiConnectionPoint* point : m_points) {
        point->AddRef();
        snapshot->items.push_back(point);
    }
    return PointEnumerator::Create(std::move(snapshot), 0, out);
}

STDMETHODIMP QuiConnectionPointContainerImpl::FindConnectionPoint(REFIID riid, IConnectionPoint** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    for (QuiConnectionPoint* point : m_points) {
        if (IsEqualIID(riid, point->Iid())) {
            point->AddRef();
            *out = point;
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}
