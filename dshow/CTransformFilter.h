#pragma once
#include "dshow/CCriticalSection.h"
#include "dshow/CTransformInputPin.h"
#include "dshow/CTransformOutputPin.h"
#include "framework/CComPtr.h"
#include <atomic>
#include <dshow.h>

// A filter with one input pin ("XForm In") and one output pin ("XForm Out")
// that turns each input sample into one output sample. A derived filter
// supplies the types it takes and gives, the output buffer size, the
// transform and its class identifier.
//
// Reference counting follows COM aggregation: the filter's own (inner)
// unknown counts references and deletes the filter at zero; its interfaces
// and its pins delegate to the outer unknown, which is the aggregating owner
// when there is one and the inner unknown otherwise.
class CTransformFilter : public IBaseFilter {
  public:
    // objectName must outlive the filter (a literal). owner: the aggregating
    // outer unknown, or null. The filter starts with no reference counted.
    CTransformFilter(const wchar_t* objectName, IUnknown* owner);
    virtual ~CTransformFilter();
    CTransformFilter(const CTransformFilter&) = delete;
    CTransformFilter& operator=(const CTransformFilter&) = delete;

    // The inner unknown.
    virtual HRESULT NonDelegatingQueryInterface(REFIID iid, void** object);
    ULONG NonDelegatingAddRef();
    ULONG NonDelegatingRelease();

    // IUnknown, delegating to the outer unknown.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IMediaFilter
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;
    HRESULT STDMETHODCALLTYPE GetState(DWORD timeout, FILTER_STATE* state) override;
    HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override;
    HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** clock) override;

    // IBaseFilter
    HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** pins) override;
    HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR id, IPin** pin) override;
    HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override;
    HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR* info) override;

    // What the derived filter decides. Only S_OK accepts a type.
    virtual HRESULT CheckInputType(const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) = 0;
    // Sets the output allocator's properties; properties holds the
    // receiver's requirements, or zeros.
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator,
                                     ALLOCATOR_PROPERTIES* properties) = 0;
    // Fills an empty type (format block in task memory) for the position;
    // VFW_S_NO_MORE_ITEMS past the last one.
    virtual HRESULT GetMediaType(int position, AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT CompleteConnect(PIN_DIRECTION direction, IPin* receivePin);
    // Fills the output sample, whose times and flags are already copied from
    // the input; the output is delivered only when this returns S_OK.
    virtual HRESULT Transform(IMediaSample* input, IMediaSample* output) = 0;
    // Called, under the receive lock, after end of stream has been passed on.
    virtual void EndOfStream() {}

    CTransformInputPin& InputPin() { return input; }
    CTransformOutputPin& OutputPin() { return output; }
    const wchar_t* ObjectName() const { return objectName; }

  protected:
    // Held while a sample or end of stream passes through the filter.
    CCriticalSection& ReceiveLock() { return receiveLock; }

  private:
    friend class CTransformInputPin;
    friend class CTransformOutputPin;
    friend class CTransformPin;

    // The identity an aggregating owner holds: counts the filter's references.
    class CInnerUnknown : public IUnknown {
      public:
        explicit CInnerUnknown(CTransformFilter& owner) : filter(owner) {}
        virtual ~CInnerUnknown() = default;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
            return filter.NonDelegatingQueryInterface(iid, object);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return filter.NonDelegatingAddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return filter.NonDelegatingRelease(); }

      private:
        CTransformFilter& filter;
    };

    IUnknown* Outer() const { return outer; }
    FILTER_STATE State() const { return state; }

    const wchar_t* objectName;
    CInnerUnknown inner;
    IUnknown* outer;
    LONG references = 0;

    CCriticalSection stateLock;
    CCriticalSection receiveLock;
    std::atomic<FILTER_STATE> state{State_Stopped};
    CComPtr<IReferenceClock> clock;
    IFilterGraph* graph = nullptr; // not owned: the graph owns its filters
    WCHAR name[MAX_FILTER_NAME] = {};

    CTransformInputPin input;
    CTransformOutputPin output;
};
