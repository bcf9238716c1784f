#pragma once
#include "dshow/CTransformFilter.h"
#include "framework/CHandleOwner.h"

// The pass-through filter "PCMDummy" placed between the Sample Grabber and
// the File Writer: it accepts any WAVEFORMATEX input, gives a byte stream of
// WAVE type, and hands the writer one stamped, uncopied buffer per sample, so
// the graph runs to its end while the PCM itself is taken at the grabber.
// Created directly, never registered with the system.
//
// It also reports the end of the input: SetEndOfStreamEvent names an event
// that is set once end of stream has reached the input pin and been passed
// downstream. The filter never resets it; the caller resets its own event
// before running the graph.
class CDummyPCMWrite : public CTransformFilter {
  public:
    static const CLSID ClassId; // {0543DA41-6248-4956-BDB8-CD30F0828322}

    // A new filter aggregated by owner (null: none) with no reference counted
    // yet: the caller's NonDelegatingQueryInterface counts the first. Null and
    // E_OUTOFMEMORY in *result when it cannot be allocated; *result is left
    // alone on success.
    static CDummyPCMWrite* CreateInstance(IUnknown* owner, HRESULT* result);
    ~CDummyPCMWrite() override = default;

    // The filter keeps its own duplicate of the event (null: none), so the
    // caller may close its handle whenever it likes.
    void SetEndOfStreamEvent(HANDLE event);

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* classId) override;

    HRESULT CheckInputType(const AM_MEDIA_TYPE* type) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) override;
    // One buffer as large as the input allocator's, or one input frame when
    // that allocator was never sized (Wine's Sample Grabber never sizes it).
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties) override;
    HRESULT GetMediaType(int position, AM_MEDIA_TYPE* type) override;
    HRESULT CompleteConnect(PIN_DIRECTION direction, IPin* receivePin) override;
    HRESULT Transform(IMediaSample* input, IMediaSample* output) override;
    void EndOfStream() override;

  protected:
    explicit CDummyPCMWrite(IUnknown* owner);

  private:
    CKernelHandle endOfStreamEvent;
};
