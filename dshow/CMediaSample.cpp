#include "dshow/CMediaSample.h"
#include "dshow/CMemAllocator.h"

#include <cstdint>

// The memory has room to start the buffer, after its prefix, on the alignment.
CMediaSample::CMediaSample(CMemAllocator& owner, long prefix, long bytes, long align)
    : pool(owner), memory(static_cast<size_t>(prefix + bytes + align - 1)), size(bytes),
      actual(bytes) {
    const auto address = reinterpret_cast<std::uintptr_t>(memory.data()) + prefix;
    buffer = memory.data() + prefix + (align - address % align) % align;
}

void CMediaSample::Clear() {
    actual = size;
    hasStart = hasEnd = hasMediaTime = false;
    syncPoint = preroll = discontinuity = false;
    type.Clear();
    hasType = false;
}

void CMediaSample::LastReleased() { pool.ReleaseBuffer(this); }

HRESULT STDMETHODCALLTYPE CMediaSample::GetPointer(BYTE** result) {
    if (!result)
        return E_POINTER;
    *result = buffer;
    return S_OK;
}

long STDMETHODCALLTYPE CMediaSample::GetSize() { return size; }

HRESULT STDMETHODCALLTYPE CMediaSample::GetTime(REFERENCE_TIME* startTime,
                                                REFERENCE_TIME* endTime) {
    if (!startTime || !endTime)
        return E_POINTER;
    if (!hasStart)
        return VFW_E_SAMPLE_TIME_NOT_SET;
    *startTime = start;
    if (!hasEnd) {
        *endTime = start + 1;
        return VFW_S_NO_STOP_TIME;
    }
    *endTime = end;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMediaSample::SetTime(REFERENCE_TIME* startTime,
                                                REFERENCE_TIME* endTime) {
    hasStart = startTime != nullptr;
    hasEnd = hasStart && endTime != nullptr;
    start = hasStart ? *startTime : 0;
    end = hasEnd ? *endTime : 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMediaSample::IsSyncPoint() { return syncPoint ? S_OK : S_FALSE; }

HRESULT STDMETHODCALLTYPE CMediaSample::SetSyncPoint(BOOL value) {
    syncPoint = value != FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMediaSample::IsPreroll() { return preroll ? S_OK : S_FALSE; }

HRESULT STDMETHODCALLTYPE CMediaSample::SetPreroll(BOOL value) {
    preroll = value != FALSE;
    return S_OK;
}

long STDMETHODCALLTYPE CMediaSample::GetActualDataLength() { return actual; }

HRESULT STDMETHODCALLTYPE CMediaSample::SetActualDataLength(long length) {
    if (length < 0 || length > size)
        return VFW_E_BUFFER_OVERFLOW;
    actual = length;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMediaSample::GetMediaType(AM_MEDIA_TYPE** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    if (!hasType)
        return S_FALSE;
    auto* copy = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!copy)
        return E_OUTOFMEMORY;
    HRESULT hr = CMediaType::Copy(copy, type.Get());
    if (FAILED(hr)) {
        CoTaskMemFree(copy);
        return hr;
    }
    *result = copy;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMediaSample::SetMediaType(AM_MEDIA_TYPE* changed) {
    type.Clear();
    hasType = false;
    if (!changed)
        return S_OK;
    HRESULT hr = type.Set(*changed);
    hasType = SUCCEEDED(hr);
    return hr;
}

HRESULT STDMETHODCALLTYPE CMediaSample::IsDiscontinuity() { return discontinuity ? S_OK : S_FALSE; }

HRESULT STDMETHODCALLTYPE CMediaSample::SetDiscontinuity(BOOL value) {
    discontinuity = value != FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMediaSample::GetMediaTime(LONGLONG* startTime, LONGLONG* endTime) {
    if (!startTime || !endTime)
        return E_POINTER;
    if (!hasMediaTime)
        return VFW_E_MEDIA_TIME_NOT_SET;
    *startTime = mediaStart;
    *endTime = mediaEnd;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMediaSample::SetMediaTime(LONGLONG* startTime, LONGLONG* endTime) {
    hasMediaTime = startTime && endTime;
    mediaStart = hasMediaTime ? *startTime : 0;
    mediaEnd = hasMediaTime ? *endTime : 0;
    return S_OK;
}
