#include "dshow/CTransformInputPin.h"
#include "dshow/CEnumMediaTypes.h"
#include "dshow/CMemAllocator.h"
#include "dshow/CTransformFilter.h"
#include <mutex>
#include <new>

CTransformInputPin::CTransformInputPin(CTransformFilter& owner)
    : CTransformPin(owner, Name, PINDIR_INPUT) {}

HRESULT STDMETHODCALLTYPE CTransformInputPin::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IPin) {
        *object = static_cast<IPin*>(this);
    } else if (iid == IID_IMemInputPin) {
        *object = static_cast<IMemInputPin*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

// Input pins are connected by the upstream output pin.
HRESULT STDMETHODCALLTYPE CTransformInputPin::Connect(IPin*, const AM_MEDIA_TYPE*) {
    return E_UNEXPECTED;
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::ReceiveConnection(IPin* connector,
                                                                const AM_MEDIA_TYPE* offered) {
    if (!connector || !offered)
        return E_POINTER;
    std::lock_guard<CCriticalSection> guard(filter.stateLock);
    if (connected)
        return VFW_E_ALREADY_CONNECTED;
    if (filter.State() != State_Stopped)
        return VFW_E_NOT_STOPPED;
    PIN_DIRECTION direction;
    if (FAILED(connector->QueryDirection(&direction)) || direction != PINDIR_OUTPUT)
        return VFW_E_INVALID_DIRECTION;
    // S_FALSE is a refusal too; the graph offers types of other streams here.
    if (filter.CheckInputType(offered) != S_OK)
        return VFW_E_TYPE_NOT_ACCEPTED;
    HRESULT hr = type.Set(*offered);
    if (FAILED(hr))
        return hr;
    connected = CComPtr<IPin>::Share(connector);
    hr = filter.CompleteConnect(PINDIR_INPUT, connector);
    if (FAILED(hr)) {
        ReleaseConnection();
        return hr;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::Disconnect() {
    std::lock_guard<CCriticalSection> guard(filter.stateLock);
    if (!connected)
        return S_FALSE;
    if (filter.State() != State_Stopped)
        return VFW_E_NOT_STOPPED;
    ReleaseConnection();
    return S_OK;
}

void CTransformInputPin::ReleaseConnection() {
    allocator.Reset();
    type.Clear();
    connected.Reset();
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::QueryAccept(const AM_MEDIA_TYPE* candidate) {
    if (!candidate)
        return E_POINTER;
    return filter.CheckInputType(candidate) == S_OK ? S_OK : S_FALSE;
}

// The input pin proposes no type: it takes what the upstream pin offers.
HRESULT STDMETHODCALLTYPE CTransformInputPin::EnumMediaTypes(IEnumMediaTypes** types) {
    return CEnumMediaTypes::Create(nullptr, static_cast<IPin*>(this), types);
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::QueryInternalConnections(IPin**, ULONG*) {
    return E_NOTIMPL;
}

HRESULT CTransformInputPin::CheckStreaming() const {
    if (!connected)
        return VFW_E_NOT_CONNECTED;
    if (filter.State() == State_Stopped)
        return VFW_E_WRONG_STATE;
    if (flushing)
        return S_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::EndOfStream() {
    // Under the receive lock, so that end of stream follows the last sample.
    std::lock_guard<CCriticalSection> guard(filter.receiveLock);
    HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    hr = filter.output.DeliverEndOfStream();
    filter.EndOfStream();
    return hr;
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::BeginFlush() {
    flushing = true;
    return filter.output.DeliverBeginFlush();
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::EndFlush() {
    HRESULT hr = filter.output.DeliverEndFlush();
    flushing = false;
    return hr;
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop,
                                                         double rate) {
    return filter.output.DeliverNewSegment(start, stop, rate);
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::GetAllocator(IMemAllocator** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    std::lock_guard<CCriticalSection> guard(filter.stateLock);
    if (!allocator) {
        allocator = CComPtr<IMemAllocator>(CMemAllocator::Create());
        if (!allocator)
            return E_OUTOFMEMORY;
    }
    *result = CComPtr<IMemAllocator>(allocator).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::NotifyAllocator(IMemAllocator* chosen, BOOL) {
    if (!chosen)
        return E_POINTER;
    std::lock_guard<CCriticalSection> guard(filter.stateLock);
    allocator = CComPtr<IMemAllocator>::Share(chosen);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) {
    return E_NOTIMPL;
}

namespace {

// Times and flags of the input sample carried over to its output sample.
void CopySampleProperties(IMediaSample* from, IMediaSample* to) {
    REFERENCE_TIME start = 0, end = 0;
    if (SUCCEEDED(from->GetTime(&start, &end)))
        to->SetTime(&start, &end);
    else
        to->SetTime(nullptr, nullptr);
    LONGLONG mediaStart = 0, mediaEnd = 0;
    if (SUCCEEDED(from->GetMediaTime(&mediaStart, &mediaEnd)))
        to->SetMediaTime(&mediaStart, &mediaEnd);
    else
        to->SetMediaTime(nullptr, nullptr);
    to->SetSyncPoint(from->IsSyncPoint() == S_OK);
    to->SetPreroll(from->IsPreroll() == S_OK);
    to->SetDiscontinuity(from->IsDiscontinuity() == S_OK);
}

} // namespace

HRESULT STDMETHODCALLTYPE CTransformInputPin::Receive(IMediaSample* sample) {
    if (!sample)
        return E_POINTER;
    std::lock_guard<CCriticalSection> guard(filter.receiveLock);
    HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr; // S_FALSE while flushing: the sample is dropped
    CComPtr<IMediaSample> outSample;
    hr = filter.output.GetDeliveryBuffer(outSample.Receive());
    if (FAILED(hr))
        return hr;
    CopySampleProperties(sample, outSample.Get());
    hr = filter.Transform(sample, outSample.Get());
    if (hr == S_OK)
        return filter.output.Deliver(outSample.Get());
    return FAILED(hr) ? hr : S_OK; // any other success skips the sample
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::ReceiveMultiple(IMediaSample** samples, LONG count,
                                                              LONG* processed) {
    if (!samples || !processed)
        return E_POINTER;
    *processed = 0;
    HRESULT hr = S_OK;
    for (LONG i = 0; i < count; ++i) {
        hr = Receive(samples[i]);
        if (hr != S_OK)
            break;
        ++*processed;
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::ReceiveCanBlock() { return S_OK; }
