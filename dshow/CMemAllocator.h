#pragma once
#include "dshow/CComObject.h"
#include "dshow/CMediaSample.h"
#include <dshow.h>
#include <memory>
#include <vector>

// A pool of equal buffers, lent out as media samples. Waiting for a free
// buffer takes a slim lock and a condition variable: under Wine, the system
// allocator's semaphore costs two server round trips per sample.
class CMemAllocator : public CComObject<IMemAllocator, &IID_IMemAllocator> {
  public:
    // A new allocator with one reference; null when memory ran out.
    static IMemAllocator* Create();

    HRESULT STDMETHODCALLTYPE SetProperties(ALLOCATOR_PROPERTIES* request,
                                            ALLOCATOR_PROPERTIES* actual) override;
    HRESULT STDMETHODCALLTYPE GetProperties(ALLOCATOR_PROPERTIES* actual) override;
    HRESULT STDMETHODCALLTYPE Commit() override;
    HRESULT STDMETHODCALLTYPE Decommit() override;
    HRESULT STDMETHODCALLTYPE GetBuffer(IMediaSample** sample, REFERENCE_TIME* start,
                                        REFERENCE_TIME* end, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE ReleaseBuffer(IMediaSample* sample) override;

  private:
    CMemAllocator() = default;
    HRESULT Allocate();

    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE returned = CONDITION_VARIABLE_INIT;
    ALLOCATOR_PROPERTIES properties{};
    bool propertiesSet = false, committed = false;
    std::vector<std::unique_ptr<CMediaSample>> samples;
    std::vector<CMediaSample*> free;
};
