#include "DShowTestSupport.h"
#include <cmath>
#include <cstdint>
#include <vector>

LONG CCountedDummy::live = 0;

CCountedDummy::CCountedDummy(IUnknown* owner) : CDummyPCMWrite(owner) {
    InterlockedIncrement(&live);
}

CCountedDummy::~CCountedDummy() { InterlockedDecrement(&live); }

LONG CCountedDummy::Live() { return InterlockedCompareExchange(&live, 0, 0); }

CComPtr<IBaseFilter> NewCountedFilter(CCountedDummy** raw) {
    auto* filter = new CCountedDummy();
    CComPtr<IBaseFilter> counted;
    filter->NonDelegatingQueryInterface(IID_IBaseFilter, counted.ReceiveVoid());
    if (raw)
        *raw = filter;
    return counted;
}

CComPtr<IPin> FirstUnconnectedPin(IBaseFilter* filter, PIN_DIRECTION direction) {
    CComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.Receive())))
        return {};
    CComPtr<IPin> pin;
    while (pins->Next(1, pin.Receive(), nullptr) == S_OK) {
        PIN_DIRECTION pinDirection;
        CComPtr<IPin> peer;
        if (SUCCEEDED(pin->QueryDirection(&pinDirection)) && pinDirection == direction &&
            pin->ConnectedTo(peer.Receive()) == VFW_E_NOT_CONNECTED)
            return pin;
    }
    return {};
}

std::wstring PinName(IPin* pin) {
    PIN_INFO info{};
    if (FAILED(pin->QueryPinInfo(&info)))
        return L"";
    if (info.pFilter)
        info.pFilter->Release();
    return info.achName;
}

WAVEFORMATEX StereoPcmFormat() {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = 44100 * 4;
    return format;
}

CTempPath::CTempPath(const wchar_t* prefix) {
    wchar_t folder[MAX_PATH] = {};
    wchar_t file[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, prefix, 0, file); // creates the file, so the name is ours
    path = file;
}

namespace {

template <class T> void Append(std::vector<uint8_t>& bytes, T value) {
    const auto* raw = reinterpret_cast<const uint8_t*>(&value);
    bytes.insert(bytes.end(), raw, raw + sizeof(T));
}

void AppendTag(std::vector<uint8_t>& bytes, const char* tag) {
    bytes.insert(bytes.end(), tag, tag + 4);
}

} // namespace

CTempWav::CTempWav(double seconds) {
    CTempPath scratch(L"zwv");
    path = scratch.Path() + L".wav";
    WAVEFORMATEX format = StereoPcmFormat();
    DWORD frames = static_cast<DWORD>(seconds * format.nSamplesPerSec);
    dataBytes = frames * format.nBlockAlign;

    std::vector<uint8_t> bytes;
    bytes.reserve(44 + dataBytes);
    AppendTag(bytes, "RIFF");
    Append<uint32_t>(bytes, 36 + dataBytes);
    AppendTag(bytes, "WAVE");
    AppendTag(bytes, "fmt ");
    Append<uint32_t>(bytes, 16);
    Append<uint16_t>(bytes, format.wFormatTag);
    Append<uint16_t>(bytes, format.nChannels);
    Append<uint32_t>(bytes, format.nSamplesPerSec);
    Append<uint32_t>(bytes, format.nAvgBytesPerSec);
    Append<uint16_t>(bytes, format.nBlockAlign);
    Append<uint16_t>(bytes, format.wBitsPerSample);
    AppendTag(bytes, "data");
    Append<uint32_t>(bytes, dataBytes);
    for (DWORD i = 0; i < frames; ++i) {
        auto sample = static_cast<int16_t>(
            10000.0 * std::sin(2.0 * 3.14159265358979 * 440.0 * i / format.nSamplesPerSec));
        Append(bytes, sample);
        Append(bytes, sample);
    }

    HANDLE created = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE)
        return;
    CKernelHandle file(created);
    DWORD written = 0;
    WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

CTempWav::~CTempWav() { DeleteFileW(path.c_str()); }
