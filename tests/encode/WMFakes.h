#pragma once
#include <windows.h>

#include "encode/WMFactory.h"
#include <map>
#include <memory>
#include <string>
#include <vector>
#include <wmsdkidl.h>

// Fakes of the Windows Media writer's interfaces. Each fake belongs to the
// test's FakeWM and counts only the references the code under test holds,
// so every count must be back at 0 at the end, never having gone below.
template <class Interface> class FakeCom : public Interface {
  public:
    explicit FakeCom(std::vector<std::string>* log = nullptr, std::string name = {})
        : releaseLog(log), name(std::move(name)) {}
    virtual ~FakeCom() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        IUnknown* found = Find(iid);
        if (!found)
            return E_NOINTERFACE;
        found->AddRef();
        *out = found;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        ++handedOut;
        return ++refs;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        if (refs == 0) {
            ++underflows;
            return 0;
        }
        if (--refs == 0 && releaseLog)
            releaseLog->push_back(name);
        return refs;
    }

    // Hands the fake out as a fresh reference, as a factory or getter does.
    template <class Out> Out* Give() {
        AddRef();
        return static_cast<Out*>(this);
    }

    LONG refs = 0;
    int handedOut = 0;
    int underflows = 0;

  protected:
    virtual IUnknown* Find(REFIID iid) {
        if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, __uuidof(Interface)))
            return this;
        return nullptr;
    }

  private:
    std::vector<std::string>* releaseLog;
    std::string name;
};

class FakeProfile : public FakeCom<IWMProfile> {
  public:
    using FakeCom::FakeCom;
    HRESULT STDMETHODCALLTYPE GetVersion(WMT_VERSION*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetName(WCHAR*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetName(const WCHAR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDescription(WCHAR*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDescription(const WCHAR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStreamCount(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStream(DWORD, IWMStreamConfig**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStreamByNumber(WORD, IWMStreamConfig**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE RemoveStream(IWMStreamConfig*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveStreamByNumber(WORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddStream(IWMStreamConfig*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReconfigStream(IWMStreamConfig*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateNewStream(REFGUID, IWMStreamConfig**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetMutualExclusionCount(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMutualExclusion(DWORD, IWMMutualExclusion**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE RemoveMutualExclusion(IWMMutualExclusion*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE AddMutualExclusion(IWMMutualExclusion*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateNewMutualExclusion(IWMMutualExclusion**) override {
        return E_NOTIMPL;
    }
};

class FakeProfileManager : public FakeCom<IWMProfileManager2> {
  public:
    FakeProfileManager(FakeProfile& profile, std::vector<std::string>* log)
        : FakeCom(log, "manager"), profile(profile) {}

    HRESULT STDMETHODCALLTYPE CreateEmptyProfile(WMT_VERSION, IWMProfile**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE LoadProfileByID(REFGUID, IWMProfile**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LoadProfileByData(const WCHAR* text, IWMProfile** out) override;
    HRESULT STDMETHODCALLTYPE SaveProfile(IWMProfile*, WCHAR*, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetSystemProfileCount(DWORD* count) override;
    HRESULT STDMETHODCALLTYPE LoadSystemProfile(DWORD index, IWMProfile** out) override;
    HRESULT STDMETHODCALLTYPE GetSystemProfileVersion(WMT_VERSION* out) override {
        *out = version;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSystemProfileVersion(WMT_VERSION value) override {
        versionsSet.push_back(value);
        version = value;
        return setVersionResult;
    }

    bool offersVersion2 = true;
    HRESULT setVersionResult = S_OK;
    HRESULT loadResult = S_OK;
    DWORD profilesPerVersion = 30;
    WMT_VERSION version = WMT_VER_8_0;
    std::vector<WMT_VERSION> versionsSet;
    std::vector<DWORD> systemLoads;
    // Each text handed in, up to its terminating zero.
    std::vector<std::wstring> texts;

  protected:
    IUnknown* Find(REFIID iid) override;

  private:
    FakeProfile& profile;
};

class FakeInputProps : public FakeCom<IWMInputMediaProps> {
  public:
    FakeInputProps(const GUID& major, std::vector<std::string>* log, std::string name)
        : FakeCom(log, std::move(name)), major(major) {}

    HRESULT STDMETHODCALLTYPE GetType(GUID* type) override {
        *type = major;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMediaType(WM_MEDIA_TYPE* type, DWORD* size) override;
    HRESULT STDMETHODCALLTYPE SetMediaType(WM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE GetConnectionName(WCHAR*, WORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetGroupName(WCHAR*, WORD*) override { return E_NOTIMPL; }

    GUID major;
    HRESULT setResult = S_OK;
    // What SetMediaType was given, with its format block copied.
    bool typeSet = false;
    WM_MEDIA_TYPE typeGiven = {};
    std::vector<BYTE> formatGiven;

  protected:
    IUnknown* Find(REFIID iid) override;
};

class FakeSample : public FakeCom<INSSBuffer> {
  public:
    FakeSample(DWORD capacity, DWORD reported) : memory(capacity, 0xCD), reported(reported) {}

    HRESULT STDMETHODCALLTYPE GetLength(DWORD* out) override {
        *out = reported;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetLength(DWORD value) override;
    HRESULT STDMETHODCALLTYPE GetMaxLength(DWORD* out) override {
        *out = static_cast<DWORD>(memory.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBuffer(BYTE** out) override {
        *out = memory.data();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBufferAndLength(BYTE** out, DWORD* length) override {
        *out = memory.data();
        *length = reported;
        return S_OK;
    }

    std::vector<BYTE> memory;
    DWORD reported;
    DWORD lengthSet = 0;
};

// One sample as the writer or the preprocessor received it.
struct WrittenSample {
    bool preprocessed;
    DWORD input;
    QWORD time;
    DWORD flags;
    std::vector<BYTE> bytes;
};

class FakePreprocessor : public FakeCom<IWMWriterPreprocess> {
  public:
    FakePreprocessor(std::vector<WrittenSample>& written, std::vector<std::string>* log)
        : FakeCom(log, "preprocessor"), written(written) {}

    HRESULT STDMETHODCALLTYPE GetMaxPreprocessingPasses(DWORD input, DWORD flags,
                                                        DWORD* passes) override;
    HRESULT STDMETHODCALLTYPE SetNumPreprocessingPasses(DWORD input, DWORD flags,
                                                        DWORD passes) override;
    HRESULT STDMETHODCALLTYPE BeginPreprocessingPass(DWORD input, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE PreprocessSample(DWORD input, QWORD time, DWORD flags,
                                               INSSBuffer* sample) override;
    HRESULT STDMETHODCALLTYPE EndPreprocessingPass(DWORD input, DWORD flags) override;

    DWORD maxPasses = 1;
    HRESULT maxResult = S_OK, setResult = S_OK, beginResult = S_OK;
    HRESULT sampleResult = S_OK, endResult = S_OK;
    // Each call as "name(input,flags[,passes])".
    std::vector<std::string> calls;

  private:
    std::vector<WrittenSample>& written;
};

// The writer's header: the attributes set on it, by name, as their bytes,
// and those added through IWMHeaderInfo3 (large ones), as their lengths.
class FakeHeaderInfo : public FakeCom<IWMHeaderInfo3> {
  public:
    using FakeCom::FakeCom;
    HRESULT STDMETHODCALLTYPE AddAttribute(WORD, LPCWSTR name, WORD* index, WMT_ATTR_DATATYPE type,
                                           WORD, const BYTE*, DWORD length) override {
        added[name] = {type, length};
        *index = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCodecInfoCount(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCodecInfo(DWORD, WORD*, WCHAR*, WORD*, WCHAR*,
                                           WMT_CODEC_INFO_TYPE*, WORD*, BYTE*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetAttributeCountEx(WORD, WORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAttributeIndices(WORD, LPCWSTR, WORD*, WORD*, WORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetAttributeByIndexEx(WORD, WORD, LPWSTR, WORD*, WMT_ATTR_DATATYPE*,
                                                    WORD*, BYTE*, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ModifyAttribute(WORD, WORD, WMT_ATTR_DATATYPE, WORD, const BYTE*,
                                              DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DeleteAttribute(WORD, WORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddCodecInfo(LPCWSTR_WMSDK_TYPE_SAFE, LPCWSTR_WMSDK_TYPE_SAFE,
                                           WMT_CODEC_INFO_TYPE, WORD, BYTE*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetAttributeCount(WORD, WORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAttributeByIndex(WORD, WORD*, WCHAR*, WORD*, WMT_ATTR_DATATYPE*,
                                                  BYTE*, WORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetAttributeByName(WORD*, LPCWSTR, WMT_ATTR_DATATYPE*, BYTE*,
                                                 WORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetAttribute(WORD, LPCWSTR name, WMT_ATTR_DATATYPE type,
                                           const BYTE* value, WORD length) override {
        attributes[name] = {type, std::vector<BYTE>(value, value + length)};
        return setResult;
    }
    HRESULT STDMETHODCALLTYPE GetMarkerCount(WORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMarker(WORD, WCHAR*, WORD*, QWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddMarker(LPCWSTR, QWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveMarker(WORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetScriptCount(WORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetScript(WORD, WCHAR*, WORD*, WCHAR*, WORD*, QWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE AddScript(LPCWSTR, LPCWSTR, QWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveScript(WORD) override { return E_NOTIMPL; }

    std::map<std::wstring, std::pair<WMT_ATTR_DATATYPE, std::vector<BYTE>>> attributes;
    std::map<std::wstring, std::pair<WMT_ATTR_DATATYPE, DWORD>> added;
    HRESULT setResult = S_OK;
    bool offersLarge = true; // answers for IWMHeaderInfo3, as Windows' writer does
};

class FakeWriter : public FakeCom<IWMWriter> {
  public:
    FakeWriter(FakePreprocessor& preprocessor, std::vector<WrittenSample>& written,
               std::vector<std::unique_ptr<FakeSample>>& samples, std::vector<std::string>* log)
        : FakeCom(log, "writer"), preprocessor(preprocessor), written(written), samples(samples) {}

    HRESULT STDMETHODCALLTYPE SetProfileByID(REFGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetProfile(IWMProfile* given) override {
        profileSet = given;
        return profileResult;
    }
    HRESULT STDMETHODCALLTYPE SetOutputFilename(const WCHAR* name) override {
        outputName = name;
        return outputResult;
    }
    HRESULT STDMETHODCALLTYPE GetInputCount(DWORD* count) override {
        *count = static_cast<DWORD>(inputs.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetInputProps(DWORD number, IWMInputMediaProps** out) override;
    HRESULT STDMETHODCALLTYPE SetInputProps(DWORD number, IWMInputMediaProps* props) override {
        inputPropsSet.emplace_back(number, props);
        return inputPropsResult;
    }
    HRESULT STDMETHODCALLTYPE GetInputFormatCount(DWORD, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetInputFormat(DWORD, DWORD, IWMInputMediaProps**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE BeginWriting() override {
        ++begins;
        headerAtBegin = header.attributes.size();
        return beginResult;
    }
    HRESULT STDMETHODCALLTYPE EndWriting() override {
        ++ends;
        return endResult;
    }
    HRESULT STDMETHODCALLTYPE AllocateSample(DWORD size, INSSBuffer** out) override;
    HRESULT STDMETHODCALLTYPE WriteSample(DWORD input, QWORD time, DWORD flags,
                                          INSSBuffer* sample) override;
    HRESULT STDMETHODCALLTYPE Flush() override { return E_NOTIMPL; }

    std::vector<FakeInputProps*> inputs;
    bool offersPreprocess = true;
    int preprocessQueries = 0;
    HRESULT profileResult = S_OK, outputResult = S_OK, inputPropsResult = S_OK;
    HRESULT beginResult = S_OK, endResult = S_OK, allocateResult = S_OK, sampleResult = S_OK;
    // Extra room, or room missing (negative), in every sample beyond what was asked.
    int sampleSlack = 0;
    IWMProfile* profileSet = nullptr;
    std::wstring outputName;
    std::vector<std::pair<DWORD, IWMInputMediaProps*>> inputPropsSet;
    int begins = 0, ends = 0;
    FakeHeaderInfo header{nullptr, "header"};
    size_t headerAtBegin = 0; // attributes set when writing began

  protected:
    IUnknown* Find(REFIID iid) override;

  private:
    FakePreprocessor& preprocessor;
    std::vector<WrittenSample>& written;
    std::vector<std::unique_ptr<FakeSample>>& samples;
};

// A major type that is neither audio nor video (a script stream).
inline const GUID kScriptType = {
    0x73636d64, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The world the fake factory hands out from: one profile manager, one
// profile, one writer with its preprocessor, and input properties of the
// three kinds. The writer's inputs are chosen per test.
class FakeWM {
  public:
    FakeWM();
    ~FakeWM();
    FakeWM(const FakeWM&) = delete;
    FakeWM& operator=(const FakeWM&) = delete;

    WMFactory Factory() const;
    // Every fake handed out has been released exactly as often as it was handed out.
    bool AllReleased() const;

    std::vector<std::string> releaseLog;
    std::vector<WrittenSample> written;
    std::vector<std::unique_ptr<FakeSample>> samples;
    FakeProfile profile{&releaseLog, "profile"};
    FakeProfileManager manager{profile, &releaseLog};
    FakePreprocessor preprocessor{written, &releaseLog};
    FakeWriter writer{preprocessor, written, samples, &releaseLog};
    FakeInputProps audio{WMMEDIATYPE_Audio, &releaseLog, "audio"};
    FakeInputProps secondAudio{WMMEDIATYPE_Audio, &releaseLog, "secondAudio"};
    FakeInputProps video{WMMEDIATYPE_Video, &releaseLog, "video"};
    FakeInputProps script{kScriptType, &releaseLog, "script"};
    HRESULT createManagerResult = S_OK;
    HRESULT createWriterResult = S_OK;
    int managersCreated = 0;
    int writersCreated = 0;
    // Whether the output file existed when the writer was created.
    bool outputExistedAtCreation = false;
    std::wstring outputToWatch;

    static FakeWM* current;
};
