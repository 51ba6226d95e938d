// Connection points: outgoing interfaces of an object and the sinks advised
// on them.
#pragma once
#include <windows.h>
#include <ocidl.h>

#include <vector>

// One outgoing interface. It lives inside its object and shares the
// object's reference count.
class QuiConnectionPoint : public IConnectionPoint {
public:
    QuiConnectionPoint(IConnectionPointContainer* container, REFIID iid);
    ~QuiConnectionPoint();
    QuiConnectionPoint(const QuiConnectionPoint&) = delete;
    QuiConnectionPoint& operator=(const QuiConnectionPoint&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** out) override;

    REFIID Iid() const { return m_iid; }
    size_t SinkCount() const { return m_sinks.size(); }

    // Calls `call` with every sink advised when the call starts; a sink may
    // unadvise itself or others meanwhile.
    template <class Call>
    void ForEachSink(Call call)
    {
        std::vector<IUnknown*> sinks = Snapshot();
        for (IUnknown* sink : sinks)
            call(sink);
        for (IUnknown* sink : sinks)
            sink->Release();
    }

    // For a dispinterface: IDispatch::Invoke of `member` as a method on every
    // sink. Answers how many sinks took the call.
    int FireDispatch(DISPID member, DISPPARAMS* params);

private:
    struct Connection {
        DWORD cookie;
        IUnknown* sink;
    };
    std::vector<IUnknown*> Snapshot() const;

    IConnectionPointContainer* m_container;
    IID m_iid;
    std::vector<Connection> m_sinks;
    DWORD m_nextCookie = 1;
};

class QuiConnectionPointContainerImpl : public IConnectionPointContainer {
public:
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** out) override;

protected:
    // Called from the derived constructor for each point it holds.
    void AddConnectionPoint(QuiConnectionPoint* point) { m_points.push_back(point); }

private:
    std::vector<QuiConnectionPoint*> m_points;
};
