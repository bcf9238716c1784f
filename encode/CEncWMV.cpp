#include "CEncWMV.h"
#include "resources/ErrorNumbers.h"
#include "tags/WmaAttributes.h"

#include "framework/CHandleOwner.h"
#include <new>
#include <nserror.h>
#include <vector>

namespace {

// Answered when wmvcore.dll or one of its exports is missing.
const HRESULT kNoLibrary = HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);

// Profile files are a few kilobytes; anything near this is no profile, and
// the limit keeps the size plus its terminator from wrapping on 32-bit.
const LONGLONG kMaxProfileBytes = 16 * 1024 * 1024;

static_assert(sizeof(wchar_t) == 2, "profile files are read as UTF-16");

HRESULT OpenProfileFile(const wchar_t* path, CKernelHandle& file) {
    if (!path || !*path)
        return E_INVALIDARG;
    HANDLE handle = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return HRESULT_FROM_WIN32(GetLastError());
    file.Reset(handle);
    return GetFileType(handle) == FILE_TYPE_DISK ? S_OK : NS_E_INVALID_NAME;
}

// The writer takes a new file; a read-only one is made writable first. A
// file that cannot be deleted is left for the writer to report.
void DeleteExistingOutput(const wchar_t* path) {
    if (!path || !*path)
        return;
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    DeleteFileW(path);
}

HRESULT MajorType(IWMMediaProps* props, GUID& major) {
    DWORD size = 0;
    HRESULT hr = props->GetMediaType(nullptr, &size);
    if (FAILED(hr))
        return hr;
    if (size < sizeof(WM_MEDIA_TYPE))
        return E_UNEXPECTED;
    // Whole records, so the pointers inside the type are aligned.
    std::vector<WM_MEDIA_TYPE> type((size + sizeof(WM_MEDIA_TYPE) - 1) / sizeof(WM_MEDIA_TYPE));
    hr = props->GetMediaType(type.data(), &size);
    if (SUCCEEDED(hr))
        major = type[0].majortype;
    return hr;
}

} // namespace

CEncWMV::CEncWMV() = default;

CEncWMV::CEncWMV(const WMFactory& factory) : library(factory) {}

CEncWMV::~CEncWMV() { Close(); }

int CEncWMV::LoadProfileFile(const wchar_t* path) {
    ReleaseAll();
    CComPtr<IWMProfileManager> manager;
    if (FAILED(CreateProfileManager(library.Factory(), manager)))
        return kWmaBadProfileFile;
    std::vector<wchar_t> text;
    if (FAILED(ReadProfileText(path, text)))
        return kWmaBadProfileFile;
    if (FAILED(manager->LoadProfileByData(text.data(), profile.Receive())) || !profile)
        return kWmaBadProfileFile;
    return 0;
}

int CEncWMV::LoadSystemProfile(int selector, int index4, int index7, int index8) {
    ReleaseAll();
    CComPtr<IWMProfileManager2> manager;
    if (FAILED(CreateProfileManager2(library.Factory(), manager)))
        return kWmaNoProfile;
    static const WMT_VERSION versions[] = {WMT_VER_4_0, WMT_VER_7_0, WMT_VER_8_0};
    const int indexes[] = {index4, index7, index8};
    if (selector < 0 || selector > 2)
        return 0;
    // Whether the version took is left to the load to show.
    manager->SetSystemProfileVersion(versions[selector]);
    // Unsigned, so a stored index of 0 or below asks for a profile that does not exist.
    const DWORD number = static_cast<DWORD>(indexes[selector]) - 1;
    if (FAILED(manager->LoadSystemProfile(number, profile.Receive())) || !profile)
        return kWmaNoProfile;
    return 0;
}

int CEncWMV::Open(const wchar_t* path, const BITMAPINFOHEADER* videoFormat, int frameRate,
                  int samplesPerSec, int channels, int bitsPerSample) {
    if (open)
        return 0;
    open = 1;
    SetVideoFormat(videoFormat, frameRate);
    if (FAILED(CreateWriter(path)))
        return kWmaNoWriter;
    if (FAILED(SetupInputs()) || FAILED(SetAudioInput(samplesPerSec, channels, bitsPerSample)))
        return kWmaNotWriting;
    if (FAILED(WriteTags()))
        return kTagWriteFailed;
    if (FAILED(BeginWriting()))
        return kWmaNotWriting;
    return GetTwoPass() ? BeginPass() : 0;
}

// The platform's WM_PICTURE, which mingw's headers lack: the data of the
// WM/Picture attribute, packed to the byte as the platform declares it.
#pragma pack(push, 1)
struct WmPicture {
    LPWSTR mimeType;
    BYTE pictureType;
    LPWSTR description;
    DWORD dataLength;
    BYTE* data;
};
#pragma pack(pop)

// The header takes a picture as the platform's WM_PICTURE, whose fields
// point at the record's cover; every other attribute as its bytes. An
// attribute is stored with a 16-bit length: one that is longer as stored
// (a cover of more than 64 KB) goes in through IWMHeaderInfo3, whose
// attributes may be of any size, and is left out by a writer without it.
HRESULT CEncWMV::WriteTags() {
    coverLeftOut = false;
    const std::vector<CWmaAttribute> attributes = WmaAttributes(tags);
    if (attributes.empty())
        return S_OK;
    CComPtr<IWMHeaderInfo> header = writer.As<IWMHeaderInfo>(__uuidof(IWMHeaderInfo));
    if (!header)
        return E_NOINTERFACE;
    CComPtr<IWMHeaderInfo3> large = writer.As<IWMHeaderInfo3>(__uuidof(IWMHeaderInfo3));
    std::wstring mimeType(tags.frontCover.mimeType.begin(), tags.frontCover.mimeType.end());
    std::wstring description = tags.frontCover.description;
    WmPicture picture = {&mimeType[0], 3, &description[0],
                         static_cast<DWORD>(tags.frontCover.data.size()),
                         const_cast<BYTE*>(tags.frontCover.data.data())};
    for (const CWmaAttribute& attribute : attributes) {
        const bool isPicture = attribute.name == L"WM/Picture";
        const BYTE* value =
            isPicture ? reinterpret_cast<const BYTE*>(&picture) : attribute.value.data();
        const DWORD length = static_cast<DWORD>(isPicture ? sizeof(picture) : attribute.value.size());
        const WMT_ATTR_DATATYPE type =
            attribute.type == CWmaAttribute::Type::String  ? WMT_TYPE_STRING
            : attribute.type == CWmaAttribute::Type::DWord ? WMT_TYPE_DWORD
                                                           : WMT_TYPE_BINARY;
        HRESULT result = S_OK;
        WORD index = 0;
        if (attribute.value.size() <= 0xFFFF)
            result = header->SetAttribute(0, attribute.name.c_str(), type, value,
                                          static_cast<WORD>(length));
        else if (large)
            result = large->AddAttribute(0, attribute.name.c_str(), &index, type, 0, value, length);
        else
            coverLeftOut = coverLeftOut || isPicture;
        if (FAILED(result))
            return E_FAIL;
    }
    return S_OK;
}

int CEncWMV::WriteVideoFrame(const BYTE*) { return videoProps ? kWmaVideoFrame : kWmaNoVideo; }

int CEncWMV::Close() {
    open = 0;
    tags = CTagRecord();
    if (writer && writing) {
        const HRESULT hr = writer->EndWriting();
        if (FAILED(hr))
            return hr;
        writing = false;
    }
    ReleaseAll();
    twoPass = 0;
    frameCount = 0;
    videoFormat = {};
    videoFrameRate = 0;
    audioInput = 0;
    videoInput = 0;
    return 0;
}

void CEncWMV::Abandon() {
    writing = false;
    Close();
}

int CEncWMV::EndPass() {
    SetTwoPass(0);
    return 0;
}

int CEncWMV::BeginPass() { return 0; }

int CEncWMV::GetTwoPass() const { return twoPass; }

void CEncWMV::SetTwoPass(int flag) { twoPass = flag; }

void CEncWMV::SetVideoFormat(const BITMAPINFOHEADER* format, int frameRate) {
    if (!format)
        return;
    videoFormat = *format;
    videoFrameRate = frameRate;
}

void CEncWMV::ReleaseAll() {
    profile.Reset();
    videoProps.Reset();
    writer.Reset();
    writing = false;
    preprocessor.Reset();
    audioProps.Reset();
}

HRESULT CEncWMV::CreateWriter(const wchar_t* path) {
    DeleteExistingOutput(path);
    const WMFactory& factory = library.Factory();
    if (!factory.createWriter)
        return kNoLibrary;
    HRESULT hr = factory.createWriter(nullptr, writer.Receive());
    if (SUCCEEDED(hr) && !writer)
        hr = E_POINTER;
    if (SUCCEEDED(hr) && twoPass)
        hr = writer->QueryInterface(__uuidof(IWMWriterPreprocess), preprocessor.ReceiveVoid());
    if (SUCCEEDED(hr))
        hr = writer->SetProfile(profile.Get());
    DWORD inputs = 0;
    if (SUCCEEDED(hr))
        hr = writer->GetInputCount(&inputs);
    for (DWORD number = 0; SUCCEEDED(hr) && number < inputs; ++number)
        hr = TakeInput(number);
    if (SUCCEEDED(hr) && path && *path)
        hr = writer->SetOutputFilename(path);
    return hr;
}

// This program builds no video input type, so a video stream cannot be fed.
HRESULT CEncWMV::SetupInputs() { return videoProps ? E_NOTIMPL : S_OK; }

HRESULT CEncWMV::SetAudioInput(int, int, int) { return S_OK; }

int CEncWMV::GetSystemProfileCount(DWORD version) {
    CWMVCoreLibrary systemLibrary;
    return GetSystemProfileCount(version, systemLibrary.Factory());
}

int CEncWMV::GetSystemProfileCount(DWORD version, const WMFactory& factory) {
    CComPtr<IWMProfileManager2> manager;
    DWORD count = 0;
    if (FAILED(CreateProfileManager2(factory, manager)) ||
        FAILED(manager->SetSystemProfileVersion(static_cast<WMT_VERSION>(version))) ||
        FAILED(manager->GetSystemProfileCount(&count)))
        return 0;
    return static_cast<int>(count);
}

HRESULT CEncWMV::ReadProfileText(const wchar_t* path, std::vector<wchar_t>& text) {
    CKernelHandle file;
    HRESULT hr = OpenProfileFile(path, file);
    LARGE_INTEGER size = {};
    if (SUCCEEDED(hr) && !GetFileSizeEx(file.Get(), &size))
        hr = HRESULT_FROM_WIN32(GetLastError());
    if (FAILED(hr))
        return hr;
    if (size.QuadPart > kMaxProfileBytes)
        return E_OUTOFMEMORY;
    const DWORD bytes = static_cast<DWORD>(size.QuadPart);
    try {
        text.assign((bytes + 1) / 2 + 1, L'\0');
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    DWORD read = 0;
    if (!ReadFile(file.Get(), text.data(), bytes, &read, nullptr))
        return HRESULT_FROM_WIN32(GetLastError());
    return read == bytes ? S_OK : E_FAIL;
}

HRESULT CEncWMV::CreateProfileManager(const WMFactory& factory,
                                      CComPtr<IWMProfileManager>& manager) {
    if (!factory.createProfileManager)
        return kNoLibrary;
    const HRESULT hr = factory.createProfileManager(manager.Receive());
    if (FAILED(hr))
        return hr;
    return manager ? S_OK : E_POINTER;
}

HRESULT CEncWMV::CreateProfileManager2(const WMFactory& factory,
                                       CComPtr<IWMProfileManager2>& manager) {
    CComPtr<IWMProfileManager> first;
    HRESULT hr = CreateProfileManager(factory, first);
    if (SUCCEEDED(hr))
        hr = first->QueryInterface(__uuidof(IWMProfileManager2), manager.ReceiveVoid());
    return hr;
}

HRESULT CEncWMV::BeginWriting() {
    const HRESULT hr = writer->BeginWriting();
    if (SUCCEEDED(hr)) {
        frameCount = 0;
        writing = true;
    }
    return hr;
}

// Audio and video inputs are kept with their numbers; an input of any other
// kind is a profile this writer cannot feed.
HRESULT CEncWMV::TakeInput(DWORD number) {
    CComPtr<IWMInputMediaProps> props;
    GUID major = {};
    HRESULT hr = writer->GetInputProps(number, props.Receive());
    if (SUCCEEDED(hr))
        hr = props ? MajorType(props.Get(), major) : E_POINTER;
    if (FAILED(hr))
        return hr;
    if (IsEqualGUID(major, WMMEDIATYPE_Audio)) {
        audioProps = std::move(props);
        audioInput = number;
    } else if (IsEqualGUID(major, WMMEDIATYPE_Video)) {
        videoProps = std::move(props);
        videoInput = number;
    } else {
        return E_FAIL;
    }
    return S_OK;
}
