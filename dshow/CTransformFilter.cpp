#include "dshow/CTransformFilter.h"
#include "dshow/CEnumPins.h"
#include <mutex>
#include <new>

CTransformFilter::CTransformFilter(const wchar_t* objectNameLiteral, IUnknown* owner)
    : objectName(objectNameLiteral), inner(*this), outer(owner ? owner : &inner), input(*this),
      output(*this) {}

CTransformFilter::~CTransformFilter() = default;

HRESULT CTransformFilter::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown) {
        *object = &inner;
        NonDelegatingAddRef();
        return S_OK;
    }
    if (iid == IID_IBaseFilter || iid == IID_IMediaFilter || iid == IID_IPersist) {
        *object = static_cast<IBaseFilter*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CTransformFilter::NonDelegatingAddRef() { return InterlockedIncrement(&references); }

ULONG CTransformFilter::NonDelegatingRelease() {
    LONG left = InterlockedDecrement(&references);
    if (left == 0) {
        // A reference taken and dropped while the members are destroyed must
        // not delete the filter a second time.
        references = 1;
        delete this;
    }
    return left;
}

HRESULT STDMETHODCALLTYPE CTransformFilter::QueryInterface(REFIID iid, void** object) {
    return outer->QueryInterface(iid, object);
}

ULONG STDMETHODCALLTYPE CTransformFilter::AddRef() { return outer->AddRef(); }

ULONG STDMETHODCALLTYPE CTransformFilter::Release() { return outer->Release(); }

HRESULT STDMETHODCALLTYPE CTransformFilter::Stop() {
    std::lock_guard<CCriticalSection> stateGuard(stateLock);
    if (state == State_Stopped)
        return S_OK;
    // Decommitting first releases a Receive waiting for an output buffer;
    // the receive lock then waits for a Receive still in progress.
    output.Inactive();
    std::lock_guard<CCriticalSection> receiveGuard(receiveLock);
    input.Inactive();
    state = State_Stopped;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTransformFilter::Pause() {
    std::lock_guard<CCriticalSection> guard(stateLock);
    if (state == State_Stopped) {
        // The input allocator is committed by the upstream pin.
        HRESULT hr = output.Active();
        if (FAILED(hr))
            return hr;
    }
    state = State_Paused;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTransformFilter::Run(REFERENCE_TIME) {
    std::lock_guard<CCriticalSection> guard(stateLock);
    if (state == State_Stopped) {
        HRESULT hr = Pause();
        if (FAILED(hr))
            return hr;
    }
    state = State_Running;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTransformFilter::GetState(DWORD, FILTER_STATE* current) {
    if (!current)
        return E_POINTER;
    *current = state;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTransformFilter::SetSyncSource(IReferenceClock* newClock) {
    std::lock_guard<CCriticalSection> guard(stateLock);
    clock = CComPtr<IReferenceClock>::Share(newClock);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTransformFilter::GetSyncSource(IReferenceClock** current) {
    if (!current)
        return E_POINTER;
    std::lock_guard<CCriticalSection> guard(stateLock);
    *current = CComPtr<IReferenceClock>(clock).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTransformFilter::EnumPins(IEnumPins** pins) {
    return CEnumPins::Create(*this, {&input, &output}, pins);
}

HRESULT STDMETHODCALLTYPE CTransformFilter::FindPin(LPCWSTR id, IPin** pin) {
    if (!id || !pin)
        return E_POINTER;
    *pin = nullptr;
    if (lstrcmpW(id, CTransformInputPin::Name) == 0)
        *pin = &input;
    else if (lstrcmpW(id, CTransformOutputPin::Name) == 0)
        *pin = &output;
    else
        return VFW_E_NOT_FOUND;
    (*pin)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTransformFilter::QueryFilterInfo(FILTER_INFO* info) {
    if (!info)
        return E_POINTER;
    std::lock_guard<CCriticalSection> guard(stateLock);
    lstrcpynW(info->achName, name, MAX_FILTER_NAME);
    info->pGraph = graph;
    if (graph)
        graph->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTransformFilter::JoinFilterGraph(IFilterGraph* newGraph,
                                                            LPCWSTR newName) {
    std::lock_guard<CCriticalSection> guard(stateLock);
    graph = newGraph;
    lstrcpynW(name, newName ? newName : L"", MAX_FILTER_NAME);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTransformFilter::QueryVendorInfo(LPWSTR*) { return E_NOTIMPL; }

HRESULT CTransformFilter::CompleteConnect(PIN_DIRECTION, IPin*) { return S_OK; }
