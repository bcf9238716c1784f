#include "CDecDShowAudio.h"
#include "GraphUtil.h"
#include "SourceConnection.h"
#include "dshow/CMemAllocator.h"
#include <algorithm>
#include <cstring>

namespace {

HANDLE NewEvent(bool manualReset) { return CreateEventW(nullptr, manualReset, FALSE, nullptr); }

} // namespace

CDecDShowAudio::CDecDShowAudio() : endEvent(NewEvent(true)) {
    grabberCallback.callback = SampleTrampoline;
    grabberCallback.user = this;
}

CDecDShowAudio::~CDecDShowAudio() { Close(); }

int CDecDShowAudio::SampleTrampoline(double time, BYTE* data, long length, void* user) {
    return static_cast<CDecDShowAudio*>(user)->OnSample(time, data, length);
}

// The probe may find no duration; then there is no basis for a percentage.
int CDecDShowAudio::GetProgress() {
    if (duration <= 0.0)
        return 0;
    double percent = 100.0 * position / duration;
    if (percent < 0.0)
        return 0;
    return percent > 100.0 ? 100 : static_cast<int>(percent);
}

int CDecDShowAudio::Read(unsigned char** data, int) {
    if (!graph)
        return -1; // never opened, or closed: nothing can arrive
    if (!mediaControl) {
        Stop();
        if (Start(0.0) != 0) {
            endError = kDecodeNotRunning;
            return -1;
        }
    }
    if (WaitData(0) != 0)
        return -1;
    *data = current->bytes.data();
    return static_cast<int>(current->bytes.size());
}

int CDecDShowAudio::WaitData(int) {
    if (runFailed) {
        endError = kDecodeNotRunning;
        return -1;
    }
    // Queued blocks come first: every block stored before the end of the
    // stream is still delivered, and an error of the graph is seen before an
    // end of stream that follows it. Looking at the graph's events costs a
    // round trip to the Wine server, so a reader finding the queue empty
    // looks at most every few milliseconds, and waits for blocks between.
    HANDLE events[] = {graphEvent ? graphEvent : endEvent.Get(), endEvent.Get()};
    const DWORD count = graphEvent ? 2 : 1, start = GetTickCount();
    for (bool ended = false;;) {
        const bool look = ended || GetTickCount() - lastGraphLook >= kGraphLookMs;
        if ((current = queue.Take(look ? 0 : kGraphLookMs)) != nullptr) {
            position = current->time;
            return 0;
        }
        endError = lostBlock ? kDecodeAborted : 0;
        if (ended || lostBlock)
            return -1;
        if (!look)
            continue;
        lastGraphLook = GetTickCount();
        const DWORD which = WaitForMultipleObjects(count, events, FALSE, 0);
        if (which >= WAIT_OBJECT_0 + count) { // nothing, or the wait failed
            if (GetTickCount() - start < kBlockWaitMs)
                continue;
            endError = GraphRunning() ? kDecodeStalled : kDecodeNotRunning;
            return -1;
        }
        if (events[which - WAIT_OBJECT_0] == graphEvent && (endError = TakeGraphEvents()) != 0)
            return -1;
        // Every block of the stream was queued before its end passed.
        ended = WaitForSingleObject(endEvent.Get(), 0) == WAIT_OBJECT_0;
    }
}

// Drains the graph's events: an error that stopped the stream is the
// input's end; the graph's own end of stream is the normal one.
int CDecDShowAudio::TakeGraphEvents() {
    int error = 0;
    if (!graphEvents)
        return error;
    long code = 0;
    LONG_PTR first = 0, second = 0;
    while (graphEvents->GetEvent(&code, &first, &second, 0) == S_OK) {
        graphEvents->FreeEventParams(code, first, second);
        if (code == EC_ERRORABORT || code == EC_ERRORABORTEX || code == EC_STREAM_ERROR_STOPPED)
            error = kDecodeAborted;
        else if (code == EC_COMPLETE)
            SetEvent(endEvent.Get());
    }
    return error;
}

bool CDecDShowAudio::GraphRunning() {
    OAFilterState state = State_Stopped;
    return mediaControl && SUCCEEDED(mediaControl->GetState(0, &state)) && state == State_Running;
}

// The streaming thread's callback: nothing may escape into the graph.
int CDecDShowAudio::OnSample(double time, const BYTE* data, long length) {
    // A buffer without a whole frame would read as the end of the input.
    if (!data || length < format.Format.nBlockAlign)
        return 0;
    try {
        StoreSample(time, data, length);
    } catch (...) {
        lostBlock = true;
    }
    return 0;
}

bool CDecDShowAudio::StoreSample(double time, const BYTE* data, long length) {
    const int bytes = static_cast<int>(length - length % format.Format.nBlockAlign);
    return queue.Put(bytes, time, [&](unsigned char* out) { std::memcpy(out, data, bytes); });
}

int CDecDShowAudio::Start(double time) {
    Stop();
    mediaControl = graph.As<IMediaControl>(IID_IMediaControl);
    if (!mediaControl)
        return -1;
    mediaControl->Stop();
    mediaSeeking = graph.As<IMediaSeeking>(IID_IMediaSeeking);
    LONGLONG start = static_cast<LONGLONG>(time * 10000000.0);
    if (!mediaSeeking || FAILED(mediaSeeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning,
                                                           nullptr, AM_SEEKING_NoPositioning)))
        return -1;
    RunGraph();
    return 0;
}

// About a second of audio may wait for the reader.
void CDecDShowAudio::RunGraph() {
    endError = 0;
    lostBlock = false;
    current = nullptr;
    queue.Open(std::max<size_t>(GetFormat()->nAvgBytesPerSec, 65536));
    ResetEvent(endEvent.Get());
    graphEvents = graph.As<IMediaEvent>(IID_IMediaEvent);
    graphEvent = nullptr;
    if (graphEvents && FAILED(graphEvents->GetEventHandle(reinterpret_cast<OAEVENT*>(&graphEvent))))
        graphEvent = nullptr;
    runFailed = FAILED(mediaControl->Run());
}

// The queue is closed before the graph is stopped: stopping waits for the
// streaming thread, which must not be parked then.
void CDecDShowAudio::Stop() {
    queue.Close();
    if (mediaControl)
        mediaControl->Stop();
}

void CDecDShowAudio::Close() {
    Stop();
    mediaControl.Reset();
    mediaSeeking.Reset();
    graphEvents.Reset();
    graphEvent = nullptr;
    runFailed = false;
    graph.Reset();
    position = 0.0;
}

WAVEFORMATEX* CDecDShowAudio::GetFormat() { return &format.Format; }

HRESULT CDecDShowAudio::SetGrabberType(ISampleGrabber* grabber) {
    AM_MEDIA_TYPE type = {};
    type.majortype = MEDIATYPE_Audio;
    type.subtype = MEDIASUBTYPE_PCM;
    return grabber->SetMediaType(&type);
}

HRESULT CDecDShowAudio::SetGrabberCallback(ISampleGrabber* grabber) {
    HRESULT hr = grabber->SetBufferSamples(FALSE);
    if (SUCCEEDED(hr))
        hr = grabber->SetOneShot(FALSE);
    if (SUCCEEDED(hr))
        hr = grabber->SetCallback(&grabberCallback, 1);
    return hr;
}

int CDecDShowAudio::TakeConnectedFormat(ISampleGrabber* grabber) {
    AM_MEDIA_TYPE type = {};
    if (FAILED(grabber->GetConnectedMediaType(&type)))
        return kGraphFailed;
    CPcmFormat connected;
    const bool usable =
        CPcmFormat::Read(reinterpret_cast<WAVEFORMATEX*>(type.pbFormat), type.cbFormat, connected);
    if (usable)
        format = connected.Wave();
    CoTaskMemFree(type.pbFormat);
    if (type.pUnk)
        type.pUnk->Release();
    return usable ? 0 : kGraphUnconnected;
}

namespace {

// Offers the grabber's input a pool of our own before the parser connects
// to it: a parser that asks its downstream pin for an allocator then fills
// our samples, not those of the system's allocator, whose semaphore costs
// Wine two server round trips per block. A grabber that ignores the offer
// leaves the parser to its own allocator, as before.
void LendPool(IBaseFilter* grabberFilter) {
    CComPtr<IPin> input = GetPinByIndex(grabberFilter, PINDIR_INPUT, 0);
    auto memInput = input ? input.As<IMemInputPin>(IID_IMemInputPin) : CComPtr<IMemInputPin>();
    CComPtr<IMemAllocator> pool(CMemAllocator::Create());
    if (memInput && pool)
        memInput->NotifyAllocator(pool.Get(), FALSE);
}

} // namespace

// Graph, "Source", the grabber under its name, and the connection between
// them, which inserts whatever parser and decoder the system offers.
int CDecDShowAudio::BuildSourceAndGrabber(const wchar_t* path, const wchar_t* grabberName,
                                          bool typeMustTake, CComPtr<IBaseFilter>& grabberFilter) {
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_ALL, IID_IGraphBuilder,
                                graph.ReceiveVoid())))
        return kGraphFailed;
    CComPtr<IBaseFilter> source;
    if (FAILED(graph->AddSourceFilter(path, L"Source", source.Receive())))
        return kGraphFailed;
    CComPtr<ISampleGrabber> grabber;
    if (FAILED(CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_ALL, IID_ISampleGrabber,
                                grabber.ReceiveVoid())))
        return kGraphFailed;
    if (FAILED(SetGrabberType(grabber.Get())) && typeMustTake)
        return kGraphFailed;
    grabberFilter = grabber.As<IBaseFilter>(IID_IBaseFilter);
    if (!grabberFilter || FAILED(graph->AddFilter(grabberFilter.Get(), grabberName)))
        return kGraphFailed;
    LendPool(grabberFilter.Get());
    if (FAILED(ConnectSource(graph.Get(), path, source.Get(), grabberFilter.Get())))
        return kGraphUnconnected;
    if (int result = TakeConnectedFormat(grabber.Get()))
        return result;
    return FAILED(SetGrabberCallback(grabber.Get())) ? kGraphFailed : 0;
}

int CDecDShowAudio::Open(const wchar_t* path) {
    Close();
    CComPtr<IBaseFilter> grabberFilter;
    if (int result = BuildSourceAndGrabber(path, L"Grabber", true, grabberFilter))
        return result;
    CComPtr<IPin> grabberOutput = GetPinByIndex(grabberFilter.Get(), PINDIR_OUTPUT, 0);
    if (!grabberOutput || FAILED(graph->Render(grabberOutput.Get())))
        return kGraphUnrendered;
    if (auto window = graph.As<IVideoWindow>(IID_IVideoWindow))
        window->put_AutoShow(OAFALSE);
    auto mediaFilter = graph.As<IMediaFilter>(IID_IMediaFilter);
    if (!mediaFilter || mediaFilter->SetSyncSource(nullptr) != S_OK)
        return kGraphFailed;
    REFTIME seconds = 0.0;
    if (auto mediaPosition = graph.As<IMediaPosition>(IID_IMediaPosition))
        if (SUCCEEDED(mediaPosition->get_Duration(&seconds)))
            duration = seconds;
    return 0;
}
