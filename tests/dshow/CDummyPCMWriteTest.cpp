#include "DShowTestSupport.h"
#include "framework/CHandleOwner.h"
#include <cstring>
#include <qedit.h>

namespace {

AM_MEDIA_TYPE TypeWith(const GUID& major, const GUID& sub, const GUID& formatType) {
    AM_MEDIA_TYPE type{};
    type.majortype = major;
    type.subtype = sub;
    type.formattype = formatType;
    return type;
}

// Grants a smaller buffer than requested and records what was asked.
class CStingyAllocator : public IMemAllocator {
  public:
    ALLOCATOR_PROPERTIES requested{};

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IMemAllocator) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE SetProperties(ALLOCATOR_PROPERTIES* request,
                                            ALLOCATOR_PROPERTIES* actual) override {
        requested = *request;
        *actual = *request;
        actual->cbBuffer = request->cbBuffer / 2;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetProperties(ALLOCATOR_PROPERTIES*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Commit() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Decommit() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetBuffer(IMediaSample**, REFERENCE_TIME*, REFERENCE_TIME*,
                                        DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ReleaseBuffer(IMediaSample*) override { return E_NOTIMPL; }
};

class CDummyPCMWriteTest : public ComTest {
  protected:
    void SetUp() override {
        ComTest::SetUp();
        filterUnknown = NewCountedFilter(&filter);
        ASSERT_TRUE(filterUnknown);
    }
    void TearDown() override {
        filterUnknown.Reset();
        upstream.Reset();
        ComTest::TearDown();
    }

    // A real output pin to connect the input pin from: a Sample Grabber's.
    CComPtr<IPin> UpstreamOutputPin() {
        if (!upstream)
            CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                             upstream.ReceiveVoid());
        return upstream ? FirstUnconnectedPin(upstream.Get(), PINDIR_OUTPUT) : CComPtr<IPin>();
    }

    HRESULT ConnectInput() {
        CComPtr<IPin> out = UpstreamOutputPin();
        if (!out)
            return E_FAIL;
        WAVEFORMATEX format = StereoPcmFormat();
        AM_MEDIA_TYPE type = TypeWith(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx);
        type.cbFormat = sizeof(format);
        type.pbFormat = reinterpret_cast<BYTE*>(&format);
        return filter->InputPin().ReceiveConnection(out.Get(), &type);
    }

    // A committed memory allocator with buffers of the size.
    static CComPtr<IMemAllocator> CommittedAllocator(long bufferSize) {
        CComPtr<IMemAllocator> allocator;
        if (FAILED(CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IMemAllocator, allocator.ReceiveVoid())))
            return {};
        ALLOCATOR_PROPERTIES wanted{2, bufferSize, 1, 0}, actual{};
        if (FAILED(allocator->SetProperties(&wanted, &actual)) || FAILED(allocator->Commit()))
            return {};
        return allocator;
    }

    CCountedDummy* filter = nullptr;
    CComPtr<IBaseFilter> filterUnknown;
    CComPtr<IBaseFilter> upstream;
};

TEST_F(CDummyPCMWriteTest, AcceptsAWaveFormatExInputWhateverItsMajorTypeAndSubtype) {
    const GUID majors[] = {MEDIATYPE_Audio, MEDIATYPE_Stream, MEDIATYPE_Video, GUID_NULL};
    const GUID subs[] = {MEDIASUBTYPE_PCM, MEDIASUBTYPE_WAVE, MEDIASUBTYPE_IEEE_FLOAT, GUID_NULL};
    for (const GUID& major : majors)
        for (const GUID& sub : subs) {
            AM_MEDIA_TYPE type = TypeWith(major, sub, FORMAT_WaveFormatEx);
            EXPECT_EQ(S_OK, filter->CheckInputType(&type));
        }
}

TEST_F(CDummyPCMWriteTest, RefusesEveryOtherFormatTypeWithSFalse) {
    const GUID formats[] = {FORMAT_None, GUID_NULL, FORMAT_VideoInfo, FORMAT_WaveFormatEx};
    for (size_t i = 0; i + 1 < sizeof(formats) / sizeof(formats[0]); ++i) {
        AM_MEDIA_TYPE type = TypeWith(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, formats[i]);
        EXPECT_EQ(S_FALSE, filter->CheckInputType(&type));
    }
}

TEST_F(CDummyPCMWriteTest, CheckTransformLooksOnlyAtTheInputAndFailsOnlyOnAFailureCode) {
    AM_MEDIA_TYPE wave = TypeWith(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx);
    AM_MEDIA_TYPE other = TypeWith(MEDIATYPE_Video, GUID_NULL, FORMAT_VideoInfo);
    EXPECT_EQ(S_OK, filter->CheckTransform(&wave, &other));
    EXPECT_EQ(S_OK, filter->CheckTransform(&wave, nullptr));
    // S_FALSE from the input check is a refusal but not a failure code.
    EXPECT_EQ(S_OK, filter->CheckTransform(&other, &wave));
    EXPECT_EQ(E_POINTER, filter->CheckTransform(nullptr, &wave));
}

TEST_F(CDummyPCMWriteTest, ProposesOneWaveStreamTypeWithoutFormatBlock) {
    AM_MEDIA_TYPE type{};
    ASSERT_EQ(S_OK, filter->GetMediaType(0, &type));
    EXPECT_EQ(MEDIATYPE_Stream, type.majortype);
    EXPECT_EQ(MEDIASUBTYPE_WAVE, type.subtype);
    EXPECT_TRUE(type.formattype == FORMAT_None || type.formattype == GUID_NULL);
    EXPECT_EQ(0u, type.cbFormat);
    EXPECT_EQ(nullptr, type.pbFormat);
    EXPECT_EQ(nullptr, type.pUnk);
    EXPECT_EQ(VFW_S_NO_MORE_ITEMS, filter->GetMediaType(1, &type));
    EXPECT_EQ(VFW_S_NO_MORE_ITEMS, filter->GetMediaType(5, &type));
    EXPECT_EQ(E_POINTER, filter->GetMediaType(0, nullptr));
}

TEST_F(CDummyPCMWriteTest, CompleteConnectAcceptsBothDirections) {
    EXPECT_EQ(S_OK, filter->CompleteConnect(PINDIR_INPUT, nullptr));
    EXPECT_EQ(S_OK, filter->CompleteConnect(PINDIR_OUTPUT, nullptr));
}

TEST_F(CDummyPCMWriteTest, DecideBufferSizeIsUnexpectedBeforeTheInputIsConnected) {
    CStingyAllocator allocator;
    ALLOCATOR_PROPERTIES properties{};
    EXPECT_EQ(E_UNEXPECTED, filter->DecideBufferSize(&allocator, &properties));
}

TEST_F(CDummyPCMWriteTest, DecideBufferSizeFailsWhenTheAllocatorGrantsASmallerBuffer) {
    ASSERT_EQ(S_OK, ConnectInput());
    CComPtr<IMemAllocator> inputAllocator = CommittedAllocator(4096);
    ASSERT_TRUE(inputAllocator);
    ASSERT_EQ(S_OK, filter->InputPin().NotifyAllocator(inputAllocator.Get(), FALSE));

    CStingyAllocator allocator;
    ALLOCATOR_PROPERTIES properties{};
    EXPECT_EQ(E_POINTER, filter->DecideBufferSize(nullptr, &properties));
    EXPECT_EQ(E_POINTER, filter->DecideBufferSize(&allocator, nullptr));
    EXPECT_EQ(E_FAIL, filter->DecideBufferSize(&allocator, &properties));
    EXPECT_EQ(1, allocator.requested.cBuffers);
    EXPECT_EQ(1, allocator.requested.cbAlign);
    EXPECT_EQ(4096, allocator.requested.cbBuffer);

    inputAllocator->Decommit();
    EXPECT_EQ(S_OK, filter->InputPin().Disconnect());
}

TEST_F(CDummyPCMWriteTest, DecideBufferSizeAsksOneBufferAsLargeAsTheInputBuffers) {
    ASSERT_EQ(S_OK, ConnectInput());
    CComPtr<IMemAllocator> inputAllocator = CommittedAllocator(8192);
    ASSERT_TRUE(inputAllocator);
    ASSERT_EQ(S_OK, filter->InputPin().NotifyAllocator(inputAllocator.Get(), FALSE));
    CComPtr<IMemAllocator> given;
    ASSERT_EQ(S_OK, filter->InputPin().GetAllocator(given.Receive()));
    EXPECT_EQ(inputAllocator.Get(), given.Get());

    CComPtr<IMemAllocator> output;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IMemAllocator, output.ReceiveVoid()));
    ALLOCATOR_PROPERTIES properties{};
    EXPECT_EQ(S_OK, filter->DecideBufferSize(output.Get(), &properties));
    ALLOCATOR_PROPERTIES actual{};
    ASSERT_EQ(S_OK, output->GetProperties(&actual));
    EXPECT_EQ(1, actual.cBuffers);
    EXPECT_EQ(8192, actual.cbBuffer);

    inputAllocator->Decommit();
    EXPECT_EQ(S_OK, filter->InputPin().Disconnect());
}

TEST_F(CDummyPCMWriteTest, DecideBufferSizeAsksOneFrameWhenTheInputAllocatorHasNoSize) {
    ASSERT_EQ(S_OK, ConnectInput()); // nothing upstream notifies an allocator, as under Wine
    CComPtr<IMemAllocator> output;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IMemAllocator, output.ReceiveVoid()));
    ALLOCATOR_PROPERTIES properties{};
    EXPECT_EQ(S_OK, filter->DecideBufferSize(output.Get(), &properties));
    ALLOCATOR_PROPERTIES actual{};
    ASSERT_EQ(S_OK, output->GetProperties(&actual));
    EXPECT_EQ(1, actual.cBuffers);
    EXPECT_EQ(StereoPcmFormat().nBlockAlign, actual.cbBuffer);
    EXPECT_EQ(S_OK, output->Commit());
    output->Decommit();
    EXPECT_EQ(S_OK, filter->InputPin().Disconnect());
}

TEST_F(CDummyPCMWriteTest, TransformStampsTheOutputZeroToZeroAndCopiesNothing) {
    CComPtr<IMemAllocator> allocator = CommittedAllocator(256);
    ASSERT_TRUE(allocator);
    CComPtr<IMediaSample> input, output;
    ASSERT_EQ(S_OK, allocator->GetBuffer(input.Receive(), nullptr, nullptr, 0));
    ASSERT_EQ(S_OK, allocator->GetBuffer(output.Receive(), nullptr, nullptr, 0));
    BYTE *inputBytes = nullptr, *outputBytes = nullptr;
    ASSERT_EQ(S_OK, input->GetPointer(&inputBytes));
    ASSERT_EQ(S_OK, output->GetPointer(&outputBytes));
    std::memset(inputBytes, 0x11, 256);
    std::memset(outputBytes, 0xAB, 256);
    input->SetActualDataLength(256);
    output->SetActualDataLength(100);
    REFERENCE_TIME start = 1234567, end = 2345678;
    ASSERT_EQ(S_OK, input->SetTime(&start, &end));
    ASSERT_EQ(S_OK, output->SetTime(&start, &end));

    EXPECT_EQ(S_OK, filter->Transform(input.Get(), output.Get()));

    REFERENCE_TIME outStart = -1, outEnd = -1;
    EXPECT_EQ(S_OK, output->GetTime(&outStart, &outEnd));
    EXPECT_EQ(0, outStart);
    EXPECT_EQ(0, outEnd);
    EXPECT_EQ(100, output->GetActualDataLength());
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(0xAB, outputBytes[i]) << i;

    input.Reset();
    output.Reset();
    allocator->Decommit();
}

TEST_F(CDummyPCMWriteTest, CreateInstanceGivesAnUncountedFilterWithTheClassId) {
    HRESULT result = 12345;
    CDummyPCMWrite* created = CDummyPCMWrite::CreateInstance(nullptr, &result);
    ASSERT_NE(nullptr, created);
    EXPECT_EQ(12345, result);
    EXPECT_STREQ(L"PCMDummy", created->ObjectName());
    CComPtr<IPersist> persist;
    ASSERT_EQ(S_OK, created->NonDelegatingQueryInterface(IID_IPersist, persist.ReceiveVoid()));
    CLSID classId{};
    ASSERT_EQ(S_OK, persist->GetClassID(&classId));
    const CLSID expected = {
        0x0543da41, 0x6248, 0x4956, {0xbd, 0xb8, 0xcd, 0x30, 0xf0, 0x82, 0x83, 0x22}};
    EXPECT_EQ(expected, classId);
    EXPECT_EQ(E_POINTER, persist->GetClassID(nullptr));
}

TEST_F(CDummyPCMWriteTest, HasAnInputPinXFormInThenAnOutputPinXFormOut) {
    CComPtr<IEnumPins> pins;
    ASSERT_EQ(S_OK, filterUnknown->EnumPins(pins.Receive()));
    IPin* got[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, pins->Next(3, got, &fetched));
    ASSERT_EQ(2u, fetched);
    CComPtr<IPin> in(got[0]), out(got[1]);
    EXPECT_EQ(L"XForm In", PinName(in.Get()));
    EXPECT_EQ(L"XForm Out", PinName(out.Get()));
    PIN_DIRECTION direction;
    ASSERT_EQ(S_OK, in->QueryDirection(&direction));
    EXPECT_EQ(PINDIR_INPUT, direction);
    ASSERT_EQ(S_OK, out->QueryDirection(&direction));
    EXPECT_EQ(PINDIR_OUTPUT, direction);

    CComPtr<IPin> found;
    ASSERT_EQ(S_OK, filterUnknown->FindPin(L"XForm In", found.Receive()));
    EXPECT_EQ(in.Get(), found.Get());
    ASSERT_EQ(S_OK, filterUnknown->FindPin(L"XForm Out", found.Receive()));
    EXPECT_EQ(out.Get(), found.Get());
    EXPECT_EQ(VFW_E_NOT_FOUND, filterUnknown->FindPin(L"Other", found.Receive()));
    LPWSTR id = nullptr;
    ASSERT_EQ(S_OK, out->QueryId(&id));
    EXPECT_STREQ(L"XForm Out", id);
    CoTaskMemFree(id);
}

TEST_F(CDummyPCMWriteTest, InputPinRefusesANonWaveTypeAndStaysUnconnected) {
    CComPtr<IPin> out = UpstreamOutputPin();
    ASSERT_TRUE(out);
    AM_MEDIA_TYPE type = TypeWith(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_None);
    EXPECT_EQ(VFW_E_TYPE_NOT_ACCEPTED, filter->InputPin().ReceiveConnection(out.Get(), &type));
    EXPECT_EQ(S_FALSE, filter->InputPin().QueryAccept(&type));
    CComPtr<IPin> peer;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, filter->InputPin().ConnectedTo(peer.Receive()));
    EXPECT_FALSE(filter->InputPin().IsConnected());
}

TEST_F(CDummyPCMWriteTest, InputPinKeepsTheConnectionTypeAndProposesNone) {
    ASSERT_EQ(S_OK, ConnectInput());
    AM_MEDIA_TYPE type{};
    ASSERT_EQ(S_OK, filter->InputPin().ConnectionMediaType(&type));
    EXPECT_EQ(FORMAT_WaveFormatEx, type.formattype);
    ASSERT_EQ(sizeof(WAVEFORMATEX), type.cbFormat);
    EXPECT_EQ(44100u, reinterpret_cast<WAVEFORMATEX*>(type.pbFormat)->nSamplesPerSec);
    CMediaType::Free(type);
    CComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(S_OK, filter->InputPin().EnumMediaTypes(types.Receive()));
    AM_MEDIA_TYPE* next = nullptr;
    ULONG fetched = 1;
    EXPECT_EQ(S_FALSE, types->Next(1, &next, &fetched));
    EXPECT_EQ(0u, fetched);
    EXPECT_EQ(S_OK, filter->InputPin().Disconnect());
    EXPECT_EQ(S_FALSE, filter->InputPin().Disconnect());
}

TEST_F(CDummyPCMWriteTest, OutputPinRefusesToConnectOrEnumerateWhileTheInputIsUnconnected) {
    CComPtr<IBaseFilter> writer;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FileWriter, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IBaseFilter, writer.ReceiveVoid()));
    CComPtr<IPin> writerIn = FirstUnconnectedPin(writer.Get(), PINDIR_INPUT);
    ASSERT_TRUE(writerIn);
    EXPECT_EQ(VFW_E_NOT_CONNECTED, filter->OutputPin().Connect(writerIn.Get(), nullptr));
    CComPtr<IEnumMediaTypes> types;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, filter->OutputPin().EnumMediaTypes(types.Receive()));
    CComPtr<IPin> peer;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, filter->OutputPin().ConnectedTo(peer.Receive()));
}

TEST_F(CDummyPCMWriteTest, OutputPinEnumeratesTheWaveStreamTypeOnceTheInputIsConnected) {
    ASSERT_EQ(S_OK, ConnectInput());
    CComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(S_OK, filter->OutputPin().EnumMediaTypes(types.Receive()));
    AM_MEDIA_TYPE* got[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, types->Next(2, got, &fetched));
    ASSERT_EQ(1u, fetched);
    EXPECT_EQ(MEDIATYPE_Stream, got[0]->majortype);
    EXPECT_EQ(MEDIASUBTYPE_WAVE, got[0]->subtype);
    CMediaType::Delete(got[0]);
    EXPECT_EQ(S_OK, filter->InputPin().Disconnect());
}

TEST_F(CDummyPCMWriteTest, ReceiveIsRefusedWhileStoppedAndDroppedWhileFlushing) {
    ASSERT_EQ(S_OK, ConnectInput());
    CComPtr<IMemAllocator> allocator = CommittedAllocator(256);
    ASSERT_TRUE(allocator);
    CComPtr<IMediaSample> sample;
    ASSERT_EQ(S_OK, allocator->GetBuffer(sample.Receive(), nullptr, nullptr, 0));
    EXPECT_EQ(VFW_E_WRONG_STATE, filter->InputPin().Receive(sample.Get()));

    ASSERT_EQ(S_OK, filterUnknown->Pause());
    filter->InputPin().BeginFlush();
    EXPECT_EQ(S_FALSE, filter->InputPin().Receive(sample.Get()));
    filter->InputPin().EndFlush();
    ASSERT_EQ(S_OK, filterUnknown->Stop());

    sample.Reset();
    allocator->Decommit();
    EXPECT_EQ(S_OK, filter->InputPin().Disconnect());
}

TEST_F(CDummyPCMWriteTest, SignalsItsOwnCopyOfTheEndOfStreamEventAtEndOfStreamOnly) {
    HANDLE given = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, given);
    CKernelHandle observer;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), given, GetCurrentProcess(), observer.Receive(),
                                0, FALSE, DUPLICATE_SAME_ACCESS));
    filter->SetEndOfStreamEvent(given);
    CloseHandle(given); // the filter must not depend on the caller's handle

    ASSERT_EQ(S_OK, ConnectInput());
    EXPECT_EQ(VFW_E_WRONG_STATE, filter->InputPin().EndOfStream());
    ASSERT_EQ(S_OK, filterUnknown->Pause());
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(observer.Get(), 0));
    filter->InputPin().EndOfStream(); // nothing downstream to pass it to
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(observer.Get(), 0));
    ASSERT_EQ(S_OK, filterUnknown->Stop());
    EXPECT_EQ(S_OK, filter->InputPin().Disconnect());
}

TEST_F(CDummyPCMWriteTest, KeepsTheGraphItJoinedWithoutOwningIt) {
    FILTER_INFO info{};
    ASSERT_EQ(S_OK, filterUnknown->JoinFilterGraph(nullptr, L"WavDest"));
    ASSERT_EQ(S_OK, filterUnknown->QueryFilterInfo(&info));
    EXPECT_STREQ(L"WavDest", info.achName);
    EXPECT_EQ(nullptr, info.pGraph);
}

TEST_F(CDummyPCMWriteTest, MovesBetweenStoppedPausedAndRunning) {
    FILTER_STATE state = State_Running;
    ASSERT_EQ(S_OK, filterUnknown->GetState(0, &state));
    EXPECT_EQ(State_Stopped, state);
    ASSERT_EQ(S_OK, filterUnknown->Run(0));
    ASSERT_EQ(S_OK, filterUnknown->GetState(0, &state));
    EXPECT_EQ(State_Running, state);
    ASSERT_EQ(S_OK, filterUnknown->Pause());
    ASSERT_EQ(S_OK, filterUnknown->GetState(0, &state));
    EXPECT_EQ(State_Paused, state);
    ASSERT_EQ(S_OK, filterUnknown->Stop());
    ASSERT_EQ(S_OK, filterUnknown->GetState(0, &state));
    EXPECT_EQ(State_Stopped, state);
}

} // namespace
