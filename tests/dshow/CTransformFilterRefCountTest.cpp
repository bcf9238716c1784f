#include "DShowTestSupport.h"

namespace {

// An aggregating owner that counts the references and queries it receives.
class COuterUnknown : public IUnknown {
  public:
    LONG references = 1;
    int queries = 0;
    IUnknown* inner = nullptr; // not counted: the owner's own reference is the test's

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        ++queries;
        if (iid == IID_IUnknown) {
            *object = this;
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(iid, object) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
};

// A clock that counts its references: the filter's destructor releasing it
// shows that a filter made by CreateInstance was deleted.
class CCountedClock : public IReferenceClock {
  public:
    LONG references = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IReferenceClock) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetTime(REFERENCE_TIME*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AdviseTime(REFERENCE_TIME, REFERENCE_TIME, HEVENT,
                                         DWORD_PTR*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE AdvisePeriodic(REFERENCE_TIME, REFERENCE_TIME, HSEMAPHORE,
                                             DWORD_PTR*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD_PTR) override { return E_NOTIMPL; }
};

class CTransformFilterRefCountTest : public ComTest {
  protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_EQ(0, CCountedDummy::Live());
    }
    void TearDown() override {
        EXPECT_EQ(0, CCountedDummy::Live());
        ComTest::TearDown();
    }
};

TEST_F(CTransformFilterRefCountTest, TheLastReleaseDeletesTheFilterAndNoEarlierOne) {
    CComPtr<IBaseFilter> filter = NewCountedFilter();
    EXPECT_EQ(1, CCountedDummy::Live());
    EXPECT_EQ(2u, filter->AddRef());
    EXPECT_EQ(1u, filter->Release());
    EXPECT_EQ(1, CCountedDummy::Live());
    CComPtr<IMediaFilter> asMediaFilter = filter.As<IMediaFilter>(IID_IMediaFilter);
    ASSERT_TRUE(asMediaFilter);
    filter.Reset();
    EXPECT_EQ(1, CCountedDummy::Live());
    EXPECT_EQ(0u, asMediaFilter.Detach()->Release());
    EXPECT_EQ(0, CCountedDummy::Live());
}

TEST_F(CTransformFilterRefCountTest, AReferenceToAPinKeepsTheFilterAlive) {
    CComPtr<IBaseFilter> filter = NewCountedFilter();
    CComPtr<IPin> in, out;
    ASSERT_EQ(S_OK, filter->FindPin(L"XForm In", in.Receive()));
    ASSERT_EQ(S_OK, filter->FindPin(L"XForm Out", out.Receive()));
    CComPtr<IMemInputPin> memInput = in.As<IMemInputPin>(IID_IMemInputPin);
    ASSERT_TRUE(memInput);
    filter.Reset();
    in.Reset();
    out.Reset();
    EXPECT_EQ(1, CCountedDummy::Live());
    PIN_INFO info{};
    CComPtr<IPin> pin = memInput.As<IPin>(IID_IPin);
    ASSERT_EQ(S_OK, pin->QueryPinInfo(&info));
    CComPtr<IBaseFilter> owner(info.pFilter);
    memInput.Reset();
    pin.Reset();
    EXPECT_EQ(1, CCountedDummy::Live());
    owner.Reset();
    EXPECT_EQ(0, CCountedDummy::Live());
}

TEST_F(CTransformFilterRefCountTest, AnEnumeratorKeepsTheFilterAlive) {
    CComPtr<IBaseFilter> filter = NewCountedFilter();
    CComPtr<IEnumPins> pins;
    ASSERT_EQ(S_OK, filter->EnumPins(pins.Receive()));
    filter.Reset();
    EXPECT_EQ(1, CCountedDummy::Live());
    CComPtr<IEnumPins> clone;
    ASSERT_EQ(S_OK, pins->Clone(clone.Receive()));
    pins.Reset();
    EXPECT_EQ(1, CCountedDummy::Live());
    clone.Reset();
    EXPECT_EQ(0, CCountedDummy::Live());
}

TEST_F(CTransformFilterRefCountTest, ReleasingTheGraphThatHoldsTheFilterDeletesIt) {
    CComPtr<IGraphBuilder> graph;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IGraphBuilder, graph.ReceiveVoid()));
    CComPtr<IBaseFilter> filter = NewCountedFilter();
    ASSERT_EQ(S_OK, graph->AddFilter(filter.Get(), L"WavDest"));
    FILTER_INFO info{};
    ASSERT_EQ(S_OK, filter->QueryFilterInfo(&info));
    EXPECT_STREQ(L"WavDest", info.achName);
    ASSERT_NE(nullptr, info.pGraph);
    info.pGraph->Release(); // QueryFilterInfo counted a reference on the graph
    filter.Reset();
    EXPECT_EQ(1, CCountedDummy::Live());
    graph.Reset();
    EXPECT_EQ(0, CCountedDummy::Live());
}

TEST_F(CTransformFilterRefCountTest, AnAggregatedFilterCountsItsInterfacesOnTheOwner) {
    COuterUnknown outer;
    auto* filter = new CCountedDummy(&outer);
    CComPtr<IUnknown> inner;
    ASSERT_EQ(S_OK, filter->NonDelegatingQueryInterface(IID_IUnknown, inner.ReceiveVoid()));
    outer.inner = inner.Get();
    EXPECT_EQ(1, outer.references);

    CComPtr<IBaseFilter> asFilter;
    ASSERT_EQ(S_OK, inner->QueryInterface(IID_IBaseFilter, asFilter.ReceiveVoid()));
    EXPECT_EQ(2, outer.references);
    asFilter->AddRef();
    EXPECT_EQ(3, outer.references);
    asFilter->Release();
    EXPECT_EQ(2, outer.references);

    // The filter's interfaces answer queries through the owner.
    CComPtr<IUnknown> identity;
    ASSERT_EQ(S_OK, asFilter->QueryInterface(IID_IUnknown, identity.ReceiveVoid()));
    EXPECT_EQ(static_cast<IUnknown*>(&outer), identity.Get());
    EXPECT_EQ(1, outer.queries);
    identity.Reset();

    CComPtr<IPin> pin;
    ASSERT_EQ(S_OK, asFilter->FindPin(L"XForm Out", pin.Receive()));
    EXPECT_EQ(3, outer.references);
    pin.Reset();
    asFilter.Reset();
    EXPECT_EQ(1, outer.references);
    EXPECT_EQ(1, CCountedDummy::Live());

    outer.inner = nullptr;
    inner.Reset();
    EXPECT_EQ(0, CCountedDummy::Live());
    EXPECT_EQ(1, outer.references);
}

TEST_F(CTransformFilterRefCountTest, AFilterFromCreateInstanceIsDeletedByItsLastRelease) {
    CCountedClock clock;
    HRESULT result = S_OK;
    CDummyPCMWrite* created = CDummyPCMWrite::CreateInstance(nullptr, &result);
    ASSERT_NE(nullptr, created);
    CComPtr<IBaseFilter> filter;
    ASSERT_EQ(S_OK, created->NonDelegatingQueryInterface(IID_IBaseFilter, filter.ReceiveVoid()));
    ASSERT_EQ(S_OK, filter->SetSyncSource(&clock));
    EXPECT_EQ(2, clock.references);
    CComPtr<IReferenceClock> held;
    ASSERT_EQ(S_OK, filter->GetSyncSource(held.Receive()));
    EXPECT_EQ(static_cast<IReferenceClock*>(&clock), held.Get());
    held.Reset();
    EXPECT_EQ(2, clock.references);
    filter.Reset();
    EXPECT_EQ(1, clock.references);
}

} // namespace
