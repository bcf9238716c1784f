#include "CDummyPCMWrite.h"
#include <mutex>
#include <new>
#include <utility>

const CLSID CDummyPCMWrite::ClassId = {
    0x0543da41, 0x6248, 0x4956, {0xbd, 0xb8, 0xcd, 0x30, 0xf0, 0x82, 0x83, 0x22}};

CDummyPCMWrite::CDummyPCMWrite(IUnknown* owner) : CTransformFilter(L"PCMDummy", owner) {}

CDummyPCMWrite* CDummyPCMWrite::CreateInstance(IUnknown* owner, HRESULT* result) {
    CDummyPCMWrite* filter = new (std::nothrow) CDummyPCMWrite(owner);
    if (!filter && result)
        *result = E_OUTOFMEMORY;
    return filter;
}

void CDummyPCMWrite::SetEndOfStreamEvent(HANDLE event) {
    CKernelHandle copy;
    if (event)
        DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), copy.Receive(), 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
    std::lock_guard<CCriticalSection> guard(ReceiveLock());
    endOfStreamEvent = std::move(copy);
}

HRESULT STDMETHODCALLTYPE CDummyPCMWrite::GetClassID(CLSID* classId) {
    if (!classId)
        return E_POINTER;
    *classId = ClassId;
    return S_OK;
}

// Any major type and subtype: only a WAVEFORMATEX format block is needed.
HRESULT CDummyPCMWrite::CheckInputType(const AM_MEDIA_TYPE* type) {
    if (!type)
        return E_POINTER;
    return type->formattype == FORMAT_WaveFormatEx ? S_OK : S_FALSE;
}

HRESULT CDummyPCMWrite::CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE*) {
    HRESULT hr = CheckInputType(input);
    return FAILED(hr) ? hr : S_OK;
}

namespace {

// One audio frame of the input format; 1 when the format block is too short.
long InputFrameBytes(const AM_MEDIA_TYPE& input) {
    if (input.pbFormat && input.cbFormat >= sizeof(WAVEFORMAT)) {
        WORD frame = reinterpret_cast<const WAVEFORMAT*>(input.pbFormat)->nBlockAlign;
        if (frame > 0)
            return frame;
    }
    return 1;
}

} // namespace

// One output buffer as large as the input buffers.
HRESULT CDummyPCMWrite::DecideBufferSize(IMemAllocator* allocator,
                                         ALLOCATOR_PROPERTIES* properties) {
    if (!InputPin().IsConnected())
        return E_UNEXPECTED;
    if (!allocator || !properties)
        return E_POINTER;
    properties->cBuffers = 1;
    properties->cbAlign = 1;
    CComPtr<IMemAllocator> inputAllocator;
    HRESULT hr = InputPin().GetAllocator(inputAllocator.Receive());
    if (SUCCEEDED(hr)) {
        ALLOCATOR_PROPERTIES inputProperties{};
        hr = inputAllocator->GetProperties(&inputProperties);
        if (SUCCEEDED(hr))
            properties->cbBuffer = inputProperties.cbBuffer;
        // Wine's Sample Grabber passes its upstream samples on without ever
        // negotiating an allocator with this pin, so the one GetAllocator
        // created has no size; a zero-sized allocator cannot be committed.
        if (SUCCEEDED(hr) && properties->cbBuffer <= 0)
            properties->cbBuffer = InputFrameBytes(InputPin().ConnectionType());
    }
    inputAllocator.Reset();
    if (FAILED(hr))
        return hr;
    ALLOCATOR_PROPERTIES actual{};
    hr = allocator->SetProperties(properties, &actual);
    if (FAILED(hr))
        return hr;
    if (actual.cBuffers < properties->cBuffers || actual.cbBuffer < properties->cbBuffer)
        return E_FAIL;
    return S_OK;
}

HRESULT CDummyPCMWrite::GetMediaType(int position, AM_MEDIA_TYPE* type) {
    if (!type)
        return E_POINTER;
    if (position != 0)
        return VFW_S_NO_MORE_ITEMS;
    *type = AM_MEDIA_TYPE{};
    type->majortype = MEDIATYPE_Stream;
    type->subtype = MEDIASUBTYPE_WAVE;
    type->formattype = FORMAT_None;
    return S_OK;
}

HRESULT CDummyPCMWrite::CompleteConnect(PIN_DIRECTION, IPin*) { return S_OK; }

// Every output sample is stamped 0..0; its contents and length stay as the
// allocator supplied them.
HRESULT CDummyPCMWrite::Transform(IMediaSample*, IMediaSample* output) {
    if (!output)
        return E_POINTER;
    REFERENCE_TIME start = 0, end = 0;
    output->SetTime(&start, &end);
    return S_OK;
}

void CDummyPCMWrite::EndOfStream() {
    if (endOfStreamEvent)
        SetEvent(endOfStreamEvent.Get());
}
