#include "WMFakes.h"

#include <algorithm>
#include <cstring>

FakeWM* FakeWM::current = nullptr;

namespace {

std::string Call(const char* name, DWORD input, DWORD flags) {
    return std::string(name) + "(" + std::to_string(input) + "," + std::to_string(flags) + ")";
}

std::vector<BYTE> SampleBytes(INSSBuffer* sample) {
    BYTE* buffer = nullptr;
    DWORD length = 0;
    sample->GetBufferAndLength(&buffer, &length);
    return std::vector<BYTE>(buffer, buffer + length);
}

HRESULT WINAPI CreateProfileManager(IWMProfileManager** out) {
    FakeWM& wm = *FakeWM::current;
    ++wm.managersCreated;
    *out = SUCCEEDED(wm.createManagerResult) ? wm.manager.Give<IWMProfileManager>() : nullptr;
    return wm.createManagerResult;
}

HRESULT WINAPI CreateWriter(IUnknown* certificate, IWMWriter** out) {
    FakeWM& wm = *FakeWM::current;
    ++wm.writersCreated;
    if (!wm.outputToWatch.empty())
        wm.outputExistedAtCreation =
            GetFileAttributesW(wm.outputToWatch.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (certificate)
        return E_INVALIDARG;
    *out = SUCCEEDED(wm.createWriterResult) ? wm.writer.Give<IWMWriter>() : nullptr;
    return wm.createWriterResult;
}

} // namespace

HRESULT FakeProfileManager::LoadProfileByData(const WCHAR* text, IWMProfile** out) {
    texts.emplace_back(text);
    *out = SUCCEEDED(loadResult) ? profile.Give<IWMProfile>() : nullptr;
    return loadResult;
}

HRESULT FakeProfileManager::GetSystemProfileCount(DWORD* count) {
    *count = profilesPerVersion;
    return S_OK;
}

HRESULT FakeProfileManager::LoadSystemProfile(DWORD index, IWMProfile** out) {
    systemLoads.push_back(index);
    *out = nullptr;
    if (FAILED(loadResult))
        return loadResult;
    if (index >= profilesPerVersion)
        return E_INVALIDARG;
    *out = profile.Give<IWMProfile>();
    return S_OK;
}

IUnknown* FakeProfileManager::Find(REFIID iid) {
    if (IsEqualGUID(iid, __uuidof(IWMProfileManager)))
        return this;
    if (IsEqualGUID(iid, __uuidof(IWMProfileManager2)))
        return offersVersion2 ? this : nullptr;
    return FakeCom::Find(iid);
}

HRESULT FakeInputProps::GetMediaType(WM_MEDIA_TYPE* type, DWORD* size) {
    const DWORD needed = sizeof(WM_MEDIA_TYPE) + sizeof(WAVEFORMATEX);
    if (!type) {
        *size = needed;
        return S_OK;
    }
    if (*size < needed)
        return E_INVALIDARG;
    *type = {};
    type->majortype = major;
    return S_OK;
}

HRESULT FakeInputProps::SetMediaType(WM_MEDIA_TYPE* type) {
    typeSet = true;
    typeGiven = *type;
    formatGiven.assign(type->pbFormat, type->pbFormat + type->cbFormat);
    return setResult;
}

IUnknown* FakeInputProps::Find(REFIID iid) {
    if (IsEqualGUID(iid, __uuidof(IWMMediaProps)))
        return this;
    return FakeCom::Find(iid);
}

HRESULT FakeSample::SetLength(DWORD value) {
    if (value > memory.size())
        return E_INVALIDARG;
    lengthSet = value;
    reported = value;
    return S_OK;
}

HRESULT FakePreprocessor::GetMaxPreprocessingPasses(DWORD input, DWORD flags, DWORD* passes) {
    calls.push_back(Call("GetMax", input, flags));
    *passes = maxPasses;
    return maxResult;
}

HRESULT FakePreprocessor::SetNumPreprocessingPasses(DWORD input, DWORD flags, DWORD passes) {
    calls.push_back(Call("SetNum", input, flags) + std::to_string(passes));
    return setResult;
}

HRESULT FakePreprocessor::BeginPreprocessingPass(DWORD input, DWORD flags) {
    calls.push_back(Call("Begin", input, flags));
    return beginResult;
}

HRESULT FakePreprocessor::PreprocessSample(DWORD input, QWORD time, DWORD flags,
                                           INSSBuffer* sample) {
    written.push_back({true, input, time, flags, SampleBytes(sample)});
    return sampleResult;
}

HRESULT FakePreprocessor::EndPreprocessingPass(DWORD input, DWORD flags) {
    calls.push_back(Call("End", input, flags));
    return endResult;
}

HRESULT FakeWriter::GetInputProps(DWORD number, IWMInputMediaProps** out) {
    *out = nullptr;
    if (number >= inputs.size())
        return E_INVALIDARG;
    *out = inputs[number]->Give<IWMInputMediaProps>();
    return S_OK;
}

HRESULT FakeWriter::AllocateSample(DWORD size, INSSBuffer** out) {
    *out = nullptr;
    if (FAILED(allocateResult))
        return allocateResult;
    const DWORD room = static_cast<DWORD>(static_cast<int>(size) + sampleSlack);
    samples.push_back(std::make_unique<FakeSample>(std::max(room, size), room));
    *out = samples.back()->Give<INSSBuffer>();
    return S_OK;
}

HRESULT FakeWriter::WriteSample(DWORD input, QWORD time, DWORD flags, INSSBuffer* sample) {
    written.push_back({false, input, time, flags, SampleBytes(sample)});
    return sampleResult;
}

IUnknown* FakeWriter::Find(REFIID iid) {
    if (IsEqualGUID(iid, __uuidof(IWMWriterPreprocess))) {
        ++preprocessQueries;
        return offersPreprocess ? static_cast<IUnknown*>(&preprocessor) : nullptr;
    }
    if (IsEqualGUID(iid, __uuidof(IWMHeaderInfo)) ||
        (header.offersLarge && IsEqualGUID(iid, __uuidof(IWMHeaderInfo3))))
        return &header;
    return FakeCom::Find(iid);
}

FakeWM::FakeWM() {
    writer.inputs = {&audio};
    current = this;
}

FakeWM::~FakeWM() { current = nullptr; }

WMFactory FakeWM::Factory() const {
    WMFactory factory;
    factory.createWriter = CreateWriter;
    factory.createProfileManager = CreateProfileManager;
    return factory;
}

bool FakeWM::AllReleased() const {
    auto clean = [](const auto& fake) { return fake.refs == 0 && fake.underflows == 0; };
    const bool samplesClean = std::all_of(samples.begin(), samples.end(),
                                          [&](const auto& sample) { return clean(*sample); });
    return samplesClean && clean(profile) && clean(manager) && clean(preprocessor) &&
           clean(writer) && clean(audio) && clean(secondAudio) && clean(video) && clean(script);
}
