#include "CDShowPlay.h"
#include "resources/ErrorNumbers.h"

int CDShowPlay::Open(const wchar_t* path) {
    Close();
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_ALL, IID_IGraphBuilder,
                                graph.ReceiveVoid())))
        return kGraphFailed;
    if (FAILED(graph->RenderFile(path, nullptr))) {
        Close();
        return kGraphUnplayable;
    }
    CComPtr<IMediaPosition> mediaPosition = graph.As<IMediaPosition>(IID_IMediaPosition);
    REFTIME seconds = 0.0;
    if (mediaPosition && SUCCEEDED(mediaPosition->get_Duration(&seconds)))
        duration = seconds;
    return 0;
}

void CDShowPlay::Close() { graph.Reset(); }
