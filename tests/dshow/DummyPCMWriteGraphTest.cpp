#include "DShowTestSupport.h"
#include "framework/CHandleOwner.h"
#include <atomic>
#include <qedit.h>

namespace {

// Counts the bytes the Sample Grabber hands out (callback mode 1).
class CByteCounter : public ISampleGrabberCB {
  public:
    std::atomic<long long> bytes{0};

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_ISampleGrabberCB) {
            *object = static_cast<ISampleGrabberCB*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the test's stack, longer than the graph that calls it.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE SampleCB(double, IMediaSample*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BufferCB(double, BYTE*, LONG length) override {
        bytes += length;
        return S_OK;
    }
};

HRESULT ConnectFilters(IGraphBuilder* graph, IBaseFilter* upstream, IBaseFilter* downstream) {
    CComPtr<IPin> out = FirstUnconnectedPin(upstream, PINDIR_OUTPUT);
    CComPtr<IPin> in = FirstUnconnectedPin(downstream, PINDIR_INPUT);
    if (!out || !in)
        return E_FAIL;
    return graph->Connect(out.Get(), in.Get());
}

// Source -> "AudioGrabber" -> "WavDest" (the filter under test) -> "File Writer".
class DummyPCMWriteGraphTest : public ComTest {
  protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_EQ(0, CCountedDummy::Live());
        endOfStream = CKernelHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(endOfStream);
    }
    void TearDown() override {
        ReleaseGraph();
        EXPECT_EQ(0, CCountedDummy::Live());
        ComTest::TearDown();
    }

    void ReleaseGraph() {
        if (graph && HasFailure())
            StopEveryFilter();
        control.Reset();
        wavDest.Reset();
        graph.Reset();
    }

    // After a failed Run, Wine's graph counts itself stopped while some
    // filters are paused, and its release then retries disconnecting them
    // forever: stop each filter so a failing test ends.
    void StopEveryFilter() {
        CComPtr<IEnumFilters> filters;
        if (FAILED(graph->EnumFilters(filters.Receive())))
            return;
        CComPtr<IBaseFilter> filter;
        while (filters->Next(1, filter.Receive(), nullptr) == S_OK)
            filter->Stop();
    }

    void Build(const std::wstring& input) {
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IGraphBuilder, graph.ReceiveVoid()));
        CComPtr<IBaseFilter> source;
        ASSERT_EQ(S_OK, graph->AddSourceFilter(input.c_str(), L"Source", source.Receive()));

        CComPtr<IBaseFilter> grabberFilter;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IBaseFilter, grabberFilter.ReceiveVoid()));
        CComPtr<ISampleGrabber> grabber = grabberFilter.As<ISampleGrabber>(IID_ISampleGrabber);
        ASSERT_TRUE(grabber);
        AM_MEDIA_TYPE pcm{};
        pcm.majortype = MEDIATYPE_Audio;
        pcm.subtype = MEDIASUBTYPE_PCM;
        ASSERT_EQ(S_OK, grabber->SetMediaType(&pcm));
        ASSERT_EQ(S_OK, graph->AddFilter(grabberFilter.Get(), L"AudioGrabber"));
        ASSERT_EQ(S_OK, grabber->SetCallback(&counter, 1));

        CCountedDummy* raw = nullptr;
        wavDest = NewCountedFilter(&raw);
        raw->SetEndOfStreamEvent(endOfStream.Get());
        ASSERT_EQ(S_OK, graph->AddFilter(wavDest.Get(), L"WavDest"));

        CComPtr<IBaseFilter> writer;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FileWriter, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IBaseFilter, writer.ReceiveVoid()));
        CComPtr<IFileSinkFilter> sink = writer.As<IFileSinkFilter>(IID_IFileSinkFilter);
        ASSERT_TRUE(sink);
        ASSERT_EQ(S_OK, sink->SetFileName(scratch.Path().c_str(), nullptr));
        ASSERT_EQ(S_OK, graph->AddFilter(writer.Get(), L"File Writer"));

        ASSERT_EQ(S_OK, ConnectFilters(graph.Get(), source.Get(), grabberFilter.Get()));
        ASSERT_EQ(S_OK, ConnectFilters(graph.Get(), grabberFilter.Get(), wavDest.Get()));
        ASSERT_EQ(S_OK, ConnectFilters(graph.Get(), wavDest.Get(), writer.Get()));

        CComPtr<IMediaFilter> graphAsFilter = graph.As<IMediaFilter>(IID_IMediaFilter);
        ASSERT_TRUE(graphAsFilter);
        ASSERT_EQ(S_OK, graphAsFilter->SetSyncSource(nullptr));
        control = graph.As<IMediaControl>(IID_IMediaControl);
        ASSERT_TRUE(control);
    }

    CByteCounter counter; // outlives the graph that calls it
    CKernelHandle endOfStream;
    CTempPath scratch{L"zfw"};
    CComPtr<IGraphBuilder> graph;
    CComPtr<IBaseFilter> wavDest;
    CComPtr<IMediaControl> control;
};

TEST_F(DummyPCMWriteGraphTest, RunsAWavFileToTheEndThroughTheFileWriter) {
    CTempWav wav(2.0);
    ASSERT_NO_FATAL_FAILURE(Build(wav.Path()));

    CComPtr<IPin> out;
    ASSERT_EQ(S_OK, wavDest->FindPin(L"XForm Out", out.Receive()));
    AM_MEDIA_TYPE type{};
    ASSERT_EQ(S_OK, out->ConnectionMediaType(&type));
    EXPECT_EQ(MEDIATYPE_Stream, type.majortype);
    EXPECT_EQ(MEDIASUBTYPE_WAVE, type.subtype);
    CMediaType::Free(type);
    out.Reset();

    ResetEvent(endOfStream.Get());
    HRESULT run = control->Run();
    ASSERT_TRUE(SUCCEEDED(run)) << std::hex << run;
    CComPtr<IMediaEvent> events = graph.As<IMediaEvent>(IID_IMediaEvent);
    ASSERT_TRUE(events);
    long code = 0;
    ASSERT_EQ(S_OK, events->WaitForCompletion(10000, &code));
    EXPECT_EQ(EC_COMPLETE, code);
    EXPECT_EQ(wav.DataBytes(), counter.bytes.load());
    // The File Writer reports completion before the hook runs: allow a moment.
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(endOfStream.Get(), 5000));
    EXPECT_EQ(S_OK, control->Stop());

    FILTER_STATE state = State_Running;
    EXPECT_EQ(S_OK, wavDest->GetState(0, &state));
    EXPECT_EQ(State_Stopped, state);
    events.Reset();
    ReleaseGraph();
    EXPECT_EQ(0, CCountedDummy::Live());
}

TEST_F(DummyPCMWriteGraphTest, StopRightAfterRunReturnsPromptly) {
    CTempWav wav(30.0);
    ASSERT_NO_FATAL_FAILURE(Build(wav.Path()));
    ResetEvent(endOfStream.Get());
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    DWORD before = GetTickCount();
    EXPECT_EQ(S_OK, control->Stop());
    EXPECT_LT(GetTickCount() - before, 3000u);
    ReleaseGraph();
    EXPECT_EQ(0, CCountedDummy::Live());
}

} // namespace
