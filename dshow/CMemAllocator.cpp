#include "dshow/CMemAllocator.h"
#include "framework/CSlimLockGuard.h"
#include <algorithm>
#include <new>

IMemAllocator* CMemAllocator::Create() {
    CMemAllocator* allocator = new (std::nothrow) CMemAllocator();
    if (allocator)
        allocator->AddRef();
    return allocator;
}

HRESULT STDMETHODCALLTYPE CMemAllocator::SetProperties(ALLOCATOR_PROPERTIES* request,
                                                       ALLOCATOR_PROPERTIES* actual) {
    if (!request || !actual)
        return E_POINTER;
    const long align = request->cbAlign;
    if (align <= 0 || (align & (align - 1)) != 0)
        return VFW_E_BADALIGN;
    if (request->cBuffers < 0 || request->cbBuffer < 0 || request->cbPrefix < 0)
        return E_INVALIDARG;
    CSlimLockGuard guard(lock);
    if (committed)
        return VFW_E_ALREADY_COMMITTED;
    if (free.size() != samples.size())
        return VFW_E_BUFFERS_OUTSTANDING;
    samples.clear();
    free.clear();
    properties = *request;
    properties.cBuffers = request->cBuffers > 0 ? request->cBuffers : 1;
    propertiesSet = true;
    *actual = properties;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMemAllocator::GetProperties(ALLOCATOR_PROPERTIES* actual) {
    if (!actual)
        return E_POINTER;
    CSlimLockGuard guard(lock);
    *actual = properties;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMemAllocator::Commit() {
    CSlimLockGuard guard(lock);
    if (!propertiesSet || properties.cbBuffer <= 0)
        return VFW_E_SIZENOTSET;
    if (samples.empty()) {
        HRESULT hr = Allocate();
        if (FAILED(hr))
            return hr;
    }
    committed = true;
    return S_OK;
}

// The buffers are made once and kept until the properties change.
HRESULT CMemAllocator::Allocate() {
    try {
        for (long i = 0; i < properties.cBuffers; ++i) {
            samples.push_back(std::make_unique<CMediaSample>(
                *this, properties.cbPrefix, properties.cbBuffer, properties.cbAlign));
            free.push_back(samples.back().get());
        }
    } catch (const std::bad_alloc&) {
        samples.clear();
        free.clear();
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

// Whoever waits for a buffer is answered at once.
HRESULT STDMETHODCALLTYPE CMemAllocator::Decommit() {
    {
        CSlimLockGuard guard(lock);
        committed = false;
    }
    WakeAllConditionVariable(&returned);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMemAllocator::GetBuffer(IMediaSample** sample, REFERENCE_TIME*,
                                                   REFERENCE_TIME*, DWORD flags) {
    if (!sample)
        return E_POINTER;
    *sample = nullptr;
    CSlimLockGuard guard(lock);
    while (committed && free.empty()) {
        if (flags & AM_GBF_NOWAIT)
            return VFW_E_TIMEOUT;
        SleepConditionVariableSRW(&returned, &lock, INFINITE, 0);
    }
    if (!committed)
        return VFW_E_NOT_COMMITTED;
    CMediaSample* lent = free.back();
    free.pop_back();
    lent->HandOut();
    AddRef(); // the pool outlives every sample it lent
    *sample = lent;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMemAllocator::ReleaseBuffer(IMediaSample* sample) {
    if (!sample)
        return E_POINTER;
    {
        CSlimLockGuard guard(lock);
        auto lent = std::find_if(samples.begin(), samples.end(),
                                 [&](const auto& own) { return own.get() == sample; });
        if (lent == samples.end())
            return E_INVALIDARG;
        (*lent)->Clear();
        free.push_back(lent->get());
    }
    WakeConditionVariable(&returned);
    Release();
    return S_OK;
}
