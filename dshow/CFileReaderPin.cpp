#include "dshow/CFileReaderPin.h"
#include "dshow/CEnumMediaTypes.h"
#include "dshow/CMemAllocator.h"
#include "dshow/PinInfo.h"
#include "framework/CSlimLockGuard.h"
#include <algorithm>

namespace {
constexpr LONGLONG kUnitsPerByte = 10000000; // request times are byte positions in these units
}

CFileReaderPin::CFileReaderPin(IBaseFilter& owner, CKernelHandle file, LONGLONG size,
                               const AM_MEDIA_TYPE& offered)
    : owner(owner), file(std::move(file)), size(size) {
    type.Set(offered);
}

HRESULT STDMETHODCALLTYPE CFileReaderPin::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IPin)
        *object = static_cast<IPin*>(this);
    else if (iid == IID_IAsyncReader)
        *object = static_cast<IAsyncReader*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

// The receiving pin sees this pin as its peer while it decides: a parser
// reads the stream before it accepts it.
HRESULT STDMETHODCALLTYPE CFileReaderPin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* wanted) {
    if (!receivePin)
        return E_POINTER;
    if (connected)
        return VFW_E_ALREADY_CONNECTED;
    if (wanted && !CMediaType::Matches(type.Get(), *wanted))
        return VFW_E_TYPE_NOT_ACCEPTED;
    connected = CComPtr<IPin>::Share(receivePin);
    const HRESULT hr = receivePin->ReceiveConnection(this, &type.Get());
    if (FAILED(hr)) {
        connected = CComPtr<IPin>();
        return hr;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFileReaderPin::ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) {
    return E_UNEXPECTED; // an output pin only connects
}

HRESULT STDMETHODCALLTYPE CFileReaderPin::Disconnect() {
    if (!connected)
        return S_FALSE;
    connected = CComPtr<IPin>();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFileReaderPin::ConnectedTo(IPin** pin) {
    if (!pin)
        return E_POINTER;
    *pin = CComPtr<IPin>(connected).Detach();
    return *pin ? S_OK : VFW_E_NOT_CONNECTED;
}

HRESULT STDMETHODCALLTYPE CFileReaderPin::ConnectionMediaType(AM_MEDIA_TYPE* result) {
    return CopyConnectionType(static_cast<bool>(connected), type.Get(), result);
}

HRESULT STDMETHODCALLTYPE CFileReaderPin::QueryPinInfo(PIN_INFO* info) {
    return QueryPinInfoOf(owner, PINDIR_OUTPUT, Name, info);
}

HRESULT STDMETHODCALLTYPE CFileReaderPin::QueryDirection(PIN_DIRECTION* direction) {
    if (!direction)
        return E_POINTER;
    *direction = PINDIR_OUTPUT;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFileReaderPin::QueryId(LPWSTR* id) { return CopyToTaskMemory(Name, id); }

HRESULT STDMETHODCALLTYPE CFileReaderPin::QueryAccept(const AM_MEDIA_TYPE* wanted) {
    if (!wanted)
        return E_POINTER;
    return CMediaType::Matches(type.Get(), *wanted) ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CFileReaderPin::EnumMediaTypes(IEnumMediaTypes** types) {
    const AM_MEDIA_TYPE& offered = type.Get();
    return CEnumMediaTypes::Create(
        [&offered](int position, AM_MEDIA_TYPE* result) {
            return position == 0 ? CMediaType::Copy(result, offered) : S_FALSE;
        },
        static_cast<IPin*>(this), types);
}

HRESULT STDMETHODCALLTYPE CFileReaderPin::QueryInternalConnections(IPin**, ULONG*) {
    return E_NOTIMPL;
}

// The parser's allocator when it takes the parser's properties; else a pool
// of our own. Reads need no alignment.
HRESULT STDMETHODCALLTYPE CFileReaderPin::RequestAllocator(IMemAllocator* preferred,
                                                           ALLOCATOR_PROPERTIES* properties,
                                                           IMemAllocator** actual) {
    if (!properties || !actual)
        return E_POINTER;
    *actual = nullptr;
    ALLOCATOR_PROPERTIES wanted = *properties, granted = {};
    if (wanted.cbAlign < 1)
        wanted.cbAlign = 1;
    if (preferred && SUCCEEDED(preferred->SetProperties(&wanted, &granted))) {
        *actual = CComPtr<IMemAllocator>::Share(preferred).Detach();
        return S_OK;
    }
    CComPtr<IMemAllocator> pool(CMemAllocator::Create());
    if (!pool)
        return E_OUTOFMEMORY;
    const HRESULT hr = pool->SetProperties(&wanted, &granted);
    if (FAILED(hr))
        return hr;
    *actual = pool.Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFileReaderPin::Request(IMediaSample* sample, DWORD_PTR user) {
    if (!sample)
        return E_POINTER;
    {
        CSlimLockGuard guard(lock);
        if (flushing)
            return VFW_E_WRONG_STATE;
    }
    REFERENCE_TIME start = 0, end = 0;
    if (SUCCEEDED(sample->GetTime(&start, &end)) && start / kUnitsPerByte > size)
        return HRESULT_FROM_WIN32(ERROR_HANDLE_EOF); // what the interface answers for it
    const HRESULT result = ReadSample(sample);
    if (FAILED(result) && result != E_FAIL)
        return result; // a request that makes no sense is refused, not queued
    CSlimLockGuard guard(lock);
    done.push_back({sample, user, result});
    WakeAllConditionVariable(&doneChanged);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFileReaderPin::WaitForNext(DWORD timeoutMs, IMediaSample** sample,
                                                      DWORD_PTR* user) {
    if (!sample || !user)
        return E_POINTER;
    *sample = nullptr;
    *user = 0;
    CSlimLockGuard guard(lock);
    while (done.empty() && !flushing)
        if (!SleepConditionVariableSRW(&doneChanged, &lock, timeoutMs, 0))
            return VFW_E_TIMEOUT;
    if (done.empty())
        return VFW_E_WRONG_STATE; // flushing, and every request handed back
    const Done next = done.front();
    done.pop_front();
    *sample = next.sample;
    *user = next.user;
    return next.result;
}

HRESULT STDMETHODCALLTYPE CFileReaderPin::SyncReadAligned(IMediaSample* sample) {
    if (!sample)
        return E_POINTER;
    return ReadSample(sample);
}

HRESULT STDMETHODCALLTYPE CFileReaderPin::SyncRead(LONGLONG position, LONG length, BYTE* buffer) {
    if (!buffer)
        return E_POINTER;
    LONG read = 0;
    return ReadAt(position, length, buffer, &read);
}

HRESULT STDMETHODCALLTYPE CFileReaderPin::Length(LONGLONG* total, LONGLONG* available) {
    if (!total || !available)
        return E_POINTER;
    *total = *available = size;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFileReaderPin::BeginFlush() {
    CSlimLockGuard guard(lock);
    flushing = true;
    WakeAllConditionVariable(&doneChanged);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFileReaderPin::EndFlush() {
    CSlimLockGuard guard(lock);
    flushing = false;
    return S_OK;
}

// A seek and a plain read under a lock of their own. A read that names its
// position in an OVERLAPPED structure would queue a completion, which
// under Wine is a server round trip even when nobody waits for it.
HRESULT CFileReaderPin::ReadAt(LONGLONG position, LONG length, BYTE* buffer, LONG* read) {
    *read = 0;
    if (position < 0 || length < 0)
        return E_INVALIDARG;
    DWORD got = 0;
    if (length > 0 && position < size) {
        CSlimLockGuard guard(fileLock);
        LARGE_INTEGER at = {};
        at.QuadPart = position;
        if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN) ||
            !ReadFile(file.Get(), buffer, static_cast<DWORD>(length), &got, nullptr))
            return E_FAIL;
    }
    *read = static_cast<LONG>(got);
    return *read == length ? S_OK : S_FALSE;
}

HRESULT CFileReaderPin::ReadSample(IMediaSample* sample) {
    REFERENCE_TIME start = 0, end = 0;
    BYTE* buffer = nullptr;
    if (FAILED(sample->GetTime(&start, &end)) || FAILED(sample->GetPointer(&buffer)))
        return E_INVALIDARG;
    const LONGLONG position = start / kUnitsPerByte;
    const LONGLONG length = std::min<LONGLONG>(end / kUnitsPerByte - position, sample->GetSize());
    if (length < 0)
        return E_INVALIDARG;
    LONG read = 0;
    const HRESULT result = ReadAt(position, static_cast<LONG>(length), buffer, &read);
    sample->SetActualDataLength(read);
    REFERENCE_TIME readEnd = (position + read) * kUnitsPerByte;
    sample->SetTime(&start, &readEnd);
    return result;
}
