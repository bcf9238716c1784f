#pragma once
#include "dshow/CTransformPin.h"
#include "framework/CComPtr.h"
#include <dshow.h>

class CTransformFilter;

// The transform filter's output pin "XForm Out". It proposes the
// filter's types, decides the allocator its samples come from and passes
// samples and stream events to the connected input pin.
class CTransformOutputPin : public CTransformPin {
  public:
    static constexpr wchar_t Name[] = L"XForm Out";

    explicit CTransformOutputPin(CTransformFilter& filter);
    virtual ~CTransformOutputPin() = default;
    CTransformOutputPin(const CTransformOutputPin&) = delete;
    CTransformOutputPin& operator=(const CTransformOutputPin&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;

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

  private:
    friend class CTransformFilter;
    friend class CTransformInputPin;

    // S_FALSE when the receiver refused the type (the caller may try another);
    // otherwise the outcome of completing the connection.
    HRESULT Offer(IPin* receivePin, const AM_MEDIA_TYPE& candidate);
    HRESULT TryFilterTypes(IPin* receivePin, const AM_MEDIA_TYPE* pattern);
    HRESULT TryReceiverTypes(IPin* receivePin, const AM_MEDIA_TYPE* pattern);
    HRESULT DecideAllocator();
    void ReleaseConnection();

    // Streaming side, used by the input pin.
    HRESULT Active();
    void Inactive();
    HRESULT GetDeliveryBuffer(IMediaSample** sample);
    HRESULT Deliver(IMediaSample* sample);
    HRESULT DeliverEndOfStream();
    HRESULT DeliverBeginFlush();
    HRESULT DeliverEndFlush();
    HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    CComPtr<IMemInputPin> connectedInput;
    CComPtr<IMemAllocator> allocator;
};
