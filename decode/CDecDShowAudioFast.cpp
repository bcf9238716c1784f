#include "CDecDShowAudioFast.h"
#include "CDShowPlay.h"
#include "CDummyPCMWrite.h"
#include "GraphUtil.h"
#include <string>

namespace {

std::wstring ScratchFilePath() {
    wchar_t folder[520] = {};
    GetTempPathW(520, folder);
    return std::wstring(folder) + L"tmp";
}

double MeasureDuration(const wchar_t* path) {
    CDShowPlay probe;
    probe.Open(path);
    double seconds = probe.GetDuration();
    probe.Close();
    return seconds;
}

// What the parser feeding the grabber knows of its stream's length; 0 when nothing.
double UpstreamDuration(IBaseFilter* grabberFilter) {
    CComPtr<IPin> input = GetPinByIndex(grabberFilter, PINDIR_INPUT, 0);
    CComPtr<IPin> upstream;
    if (!input || FAILED(input->ConnectedTo(upstream.Receive())))
        return 0.0;
    auto seeking = upstream.As<IMediaSeeking>(IID_IMediaSeeking);
    LONGLONG units = 0;
    if (!seeking || seeking->IsUsingTimeFormat(&TIME_FORMAT_MEDIA_TIME) != S_OK ||
        FAILED(seeking->GetDuration(&units)))
        return 0.0;
    return units / 10000000.0;
}

} // namespace

// The parser feeding the grabber usually knows the length of its stream;
// only when it does not is a second graph built, the playback probe. The
// graph runs from here on: it decodes the first blocks into the queue while
// the caller asks for settings and opens its encoder.
int CDecDShowAudioFast::Open(const wchar_t* path) {
    Close();
    // The grabber's type is only a wish here: a refusal shows at the connection.
    CComPtr<IBaseFilter> grabberFilter;
    if (int result = BuildSourceAndGrabber(path, L"AudioGrabber", false, grabberFilter))
        return result;
    duration = UpstreamDuration(grabberFilter.Get());
    if (duration <= 0.0)
        duration = MeasureDuration(path);
    if (int result = BuildSink(grabberFilter.Get()))
        return result;
    return Start(0.0);
}

// Grabber -> "WavDest" (the pass-through filter) -> "File Writer".
int CDecDShowAudioFast::BuildSink(IBaseFilter* grabberFilter) {
    HRESULT created = S_OK;
    CDummyPCMWrite* passThrough = CDummyPCMWrite::CreateInstance(nullptr, &created);
    if (!passThrough)
        return kGraphFailed;
    CComPtr<IBaseFilter> wavDest;
    if (FAILED(passThrough->NonDelegatingQueryInterface(IID_IBaseFilter, wavDest.ReceiveVoid()))) {
        delete passThrough; // no reference was ever counted
        return kGraphFailed;
    }
    passThrough->SetEndOfStreamEvent(endEvent.Get());
    if (FAILED(graph->AddFilter(wavDest.Get(), L"WavDest")))
        return kGraphFailed;
    if (FAILED(ConnectFilters(graph.Get(), grabberFilter, wavDest.Get())))
        return kGraphUnconnected;
    CComPtr<IBaseFilter> fileWriter;
    if (FAILED(
            AddFilterByClsid(graph.Get(), CLSID_FileWriter, L"File Writer", fileWriter.Receive())))
        return kGraphFailed;
    auto sink = fileWriter.As<IFileSinkFilter>(IID_IFileSinkFilter);
    if (!sink || FAILED(sink->SetFileName(ScratchFilePath().c_str(), nullptr)))
        return kGraphFailed;
    if (FAILED(ConnectFilters(graph.Get(), wavDest.Get(), fileWriter.Get())))
        return kGraphUnconnected;
    return 0;
}

int CDecDShowAudioFast::Start(double) {
    mediaControl = graph.As<IMediaControl>(IID_IMediaControl);
    if (mediaControl)
        RunGraph();
    return 0;
}
