#include "dshow/CTransformOutputPin.h"
#include "dshow/CEnumMediaTypes.h"
#include "dshow/CMemAllocator.h"
#include "dshow/CTransformFilter.h"
#include <mutex>
#include <new>

CTransformOutputPin::CTransformOutputPin(CTransformFilter& owner)
    : CTransformPin(owner, Name, PINDIR_OUTPUT) {}

HRESULT STDMETHODCALLTYPE CTransformOutputPin::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IPin) {
        *object = static_cast<IPin*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE CTransformOutputPin::Connect(IPin* receivePin,
                                                       const AM_MEDIA_TYPE* requested) {
    if (!receivePin)
        return E_POINTER;
    std::lock_guard<CCriticalSection> guard(filter.stateLock);
    if (connected)
        return VFW_E_ALREADY_CONNECTED;
    if (filter.State() != State_Stopped)
        return VFW_E_NOT_STOPPED;
    // The output types derive from the input type.
    if (!filter.input.IsConnected())
        return VFW_E_NOT_CONNECTED;
    PIN_DIRECTION direction;
    if (FAILED(receivePin->QueryDirection(&direction)) || direction != PINDIR_INPUT)
        return VFW_E_INVALID_DIRECTION;
    if (requested && !CMediaType::IsPartial(*requested)) {
        HRESULT hr = Offer(receivePin, *requested);
        return hr == S_FALSE ? VFW_E_TYPE_NOT_ACCEPTED : hr;
    }
    HRESULT hr = TryFilterTypes(receivePin, requested);
    if (hr == S_FALSE)
        hr = TryReceiverTypes(receivePin, requested);
    return hr == S_FALSE ? VFW_E_NO_ACCEPTABLE_TYPES : hr;
}

HRESULT CTransformOutputPin::Offer(IPin* receivePin, const AM_MEDIA_TYPE& candidate) {
    if (filter.CheckTransform(&filter.input.ConnectionType(), &candidate) != S_OK)
        return S_FALSE;
    if (FAILED(receivePin->ReceiveConnection(this, &candidate)))
        return S_FALSE;
    // From here on the receiver is connected: any failure undoes both sides.
    HRESULT hr = type.Set(candidate);
    if (SUCCEEDED(hr)) {
        connected = CComPtr<IPin>::Share(receivePin);
        hr = filter.CompleteConnect(PINDIR_OUTPUT, receivePin);
    }
    if (SUCCEEDED(hr))
        hr = DecideAllocator();
    if (FAILED(hr)) {
        receivePin->Disconnect();
        ReleaseConnection();
        return hr;
    }
    return S_OK;
}

HRESULT CTransformOutputPin::TryFilterTypes(IPin* receivePin, const AM_MEDIA_TYPE* pattern) {
    for (int position = 0;; ++position) {
        CMediaType candidate;
        if (filter.GetMediaType(position, candidate.Receive()) != S_OK)
            return S_FALSE;
        if (pattern && !CMediaType::Matches(candidate.Get(), *pattern))
            continue;
        HRESULT hr = Offer(receivePin, candidate.Get());
        if (hr != S_FALSE)
            return hr;
    }
}

HRESULT CTransformOutputPin::TryReceiverTypes(IPin* receivePin, const AM_MEDIA_TYPE* pattern) {
    CComPtr<IEnumMediaTypes> types;
    if (FAILED(receivePin->EnumMediaTypes(types.Receive())) || !types)
        return S_FALSE;
    AM_MEDIA_TYPE* proposed = nullptr;
    while (types->Next(1, &proposed, nullptr) == S_OK) {
        HRESULT hr = S_FALSE;
        if (!pattern || CMediaType::Matches(*proposed, *pattern))
            hr = Offer(receivePin, *proposed);
        CMediaType::Delete(proposed);
        if (hr != S_FALSE)
            return hr;
    }
    return S_FALSE;
}

HRESULT CTransformOutputPin::DecideAllocator() {
    CComPtr<IMemInputPin> receiver = connected.As<IMemInputPin>(IID_IMemInputPin);
    if (!receiver)
        return VFW_E_NO_TRANSPORT;
    ALLOCATOR_PROPERTIES properties{};
    if (FAILED(receiver->GetAllocatorRequirements(&properties)))
        properties = ALLOCATOR_PROPERTIES{};
    CComPtr<IMemAllocator> chosen;
    if (FAILED(receiver->GetAllocator(chosen.Receive()))) {
        // Sinks such as the File Writer have no allocator of their own.
        chosen = CComPtr<IMemAllocator>(CMemAllocator::Create());
        if (!chosen)
            return E_OUTOFMEMORY;
    }
    HRESULT hr = filter.DecideBufferSize(chosen.Get(), &properties);
    if (FAILED(hr))
        return hr;
    hr = receiver->NotifyAllocator(chosen.Get(), FALSE);
    if (FAILED(hr))
        return hr;
    allocator = chosen;
    connectedInput = receiver;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTransformOutputPin::ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) {
    return E_UNEXPECTED; // an output pin only initiates connections
}

HRESULT STDMETHODCALLTYPE CTransformOutputPin::Disconnect() {
    std::lock_guard<CCriticalSection> guard(filter.stateLock);
    if (!connected)
        return S_FALSE;
    if (filter.State() != State_Stopped)
        return VFW_E_NOT_STOPPED;
    ReleaseConnection();
    return S_OK;
}

void CTransformOutputPin::ReleaseConnection() {
    if (allocator)
        allocator->Decommit();
    allocator.Reset();
    connectedInput.Reset();
    connected.Reset();
    type.Clear();
}

HRESULT STDMETHODCALLTYPE CTransformOutputPin::QueryAccept(const AM_MEDIA_TYPE* candidate) {
    if (!candidate)
        return E_POINTER;
    std::lock_guard<CCriticalSection> guard(filter.stateLock);
    if (!filter.input.IsConnected())
        return S_FALSE;
    return filter.CheckTransform(&filter.input.ConnectionType(), candidate) == S_OK ? S_OK
                                                                                    : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CTransformOutputPin::EnumMediaTypes(IEnumMediaTypes** types) {
    if (!types)
        return E_POINTER;
    *types = nullptr;
    if (!filter.input.IsConnected())
        return VFW_E_NOT_CONNECTED;
    CTransformFilter& owner = filter;
    return CEnumMediaTypes::Create(
        [&owner](int position, AM_MEDIA_TYPE* type) { return owner.GetMediaType(position, type); },
        static_cast<IPin*>(this), types);
}

HRESULT STDMETHODCALLTYPE CTransformOutputPin::QueryInternalConnections(IPin**, ULONG*) {
    return E_NOTIMPL;
}

// Stream events travel downstream from input pins only.
HRESULT STDMETHODCALLTYPE CTransformOutputPin::EndOfStream() { return E_UNEXPECTED; }

HRESULT STDMETHODCALLTYPE CTransformOutputPin::BeginFlush() { return E_UNEXPECTED; }

HRESULT STDMETHODCALLTYPE CTransformOutputPin::EndFlush() { return E_UNEXPECTED; }

HRESULT STDMETHODCALLTYPE CTransformOutputPin::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) {
    return E_UNEXPECTED;
}

HRESULT CTransformOutputPin::Active() { return allocator ? allocator->Commit() : S_OK; }

void CTransformOutputPin::Inactive() {
    if (allocator)
        allocator->Decommit();
}

HRESULT CTransformOutputPin::GetDeliveryBuffer(IMediaSample** sample) {
    if (!allocator)
        return VFW_E_NOT_CONNECTED;
    return allocator->GetBuffer(sample, nullptr, nullptr, 0);
}

HRESULT CTransformOutputPin::Deliver(IMediaSample* sample) {
    if (!connectedInput)
        return VFW_E_NOT_CONNECTED;
    return connectedInput->Receive(sample);
}

HRESULT CTransformOutputPin::DeliverEndOfStream() {
    return connected ? connected->EndOfStream() : VFW_E_NOT_CONNECTED;
}

HRESULT CTransformOutputPin::DeliverBeginFlush() {
    return connected ? connected->BeginFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT CTransformOutputPin::DeliverEndFlush() {
    return connected ? connected->EndFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT CTransformOutputPin::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop,
                                               double rate) {
    return connected ? connected->NewSegment(start, stop, rate) : VFW_E_NOT_CONNECTED;
}
