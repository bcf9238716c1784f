#pragma once
#include "dshow/CComObject.h"
#include "dshow/CMediaType.h"
#include <dshow.h>
#include <vector>

class CMemAllocator;

// One buffer of a CMemAllocator's pool, handed out as a media sample. When
// its last reference goes, it returns to the pool with its properties
// cleared.
class CMediaSample : public CComObject<IMediaSample, &IID_IMediaSample> {
  public:
    // The buffer starts on align, which is a power of two.
    CMediaSample(CMemAllocator& pool, long prefix, long size, long align);

    // Called by the pool as it hands the sample out and takes it back.
    void HandOut() { SetReferences(1); }
    void Clear();

    HRESULT STDMETHODCALLTYPE GetPointer(BYTE** buffer) override;
    long STDMETHODCALLTYPE GetSize() override;
    HRESULT STDMETHODCALLTYPE GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override;
    HRESULT STDMETHODCALLTYPE SetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override;
    HRESULT STDMETHODCALLTYPE IsSyncPoint() override;
    HRESULT STDMETHODCALLTYPE SetSyncPoint(BOOL value) override;
    HRESULT STDMETHODCALLTYPE IsPreroll() override;
    HRESULT STDMETHODCALLTYPE SetPreroll(BOOL value) override;
    long STDMETHODCALLTYPE GetActualDataLength() override;
    HRESULT STDMETHODCALLTYPE SetActualDataLength(long length) override;
    HRESULT STDMETHODCALLTYPE GetMediaType(AM_MEDIA_TYPE** type) override;
    HRESULT STDMETHODCALLTYPE SetMediaType(AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE IsDiscontinuity() override;
    HRESULT STDMETHODCALLTYPE SetDiscontinuity(BOOL value) override;
    HRESULT STDMETHODCALLTYPE GetMediaTime(LONGLONG* start, LONGLONG* end) override;
    HRESULT STDMETHODCALLTYPE SetMediaTime(LONGLONG* start, LONGLONG* end) override;

  private:
    // The last reference hands the buffer back; the pool may go with it.
    void LastReleased() override;

    CMemAllocator& pool;
    std::vector<BYTE> memory;
    BYTE* buffer;
    long size, actual;
    REFERENCE_TIME start = 0, end = 0;
    LONGLONG mediaStart = 0, mediaEnd = 0;
    bool hasStart = false, hasEnd = false, hasMediaTime = false;
    bool syncPoint = false, preroll = false, discontinuity = false;
    CMediaType type;
    bool hasType = false;
};
