#pragma once
#include "dshow/CTransformPin.h"
#include "framework/CComPtr.h"
#include <atomic>
#include <dshow.h>

class CTransformFilter;

// The transform filter's input pin "XForm In". Each received sample is transformed into a
// sample of the output pin's allocator and delivered downstream.
class CTransformInputPin : public CTransformPin, public IMemInputPin {
  public:
    static constexpr wchar_t Name[] = L"XForm In";

    explicit CTransformInputPin(CTransformFilter& filter);
    virtual ~CTransformInputPin() = default;
    CTransformInputPin(const CTransformInputPin&) = delete;
    CTransformInputPin& operator=(const CTransformInputPin&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    // Both interfaces count on the filter.
    ULONG STDMETHODCALLTYPE AddRef() override { return CTransformPin::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return CTransformPin::Release(); }

    // IPin
    HRESULT STDMETHODCALLTYPE Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin* connector,
                                                const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE Disconnect() override;
    HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes** types) override;
    HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin** pins, ULONG* count) override;
    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT STDMETHODCALLTYPE BeginFlush() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop,
                                         double rate) override;

    // IMemInputPin
    HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override;
    HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE ReceiveMultiple(IMediaSample** samples, LONG count,
                                              LONG* processed) override;
    HRESULT STDMETHODCALLTYPE ReceiveCanBlock() override;

    // The connection's type; meaningful only while connected.
    const AM_MEDIA_TYPE& ConnectionType() const { return type.Get(); }

  private:
    friend class CTransformFilter;

    // S_OK when a sample or end of stream may pass now.
    HRESULT CheckStreaming() const;
    // Called by the filter, under the receive lock, when it stops.
    void Inactive() { flushing = false; }
    void ReleaseConnection();

    CComPtr<IMemAllocator> allocator;
    std::atomic<bool> flushing{false};
};
