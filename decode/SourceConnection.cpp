#include "SourceConnection.h"
#include "GraphUtil.h"
#include "dshow/CFileReaderFilter.h"
#include "dshow/CMediaType.h"
#include <mutex>
#include <vector>

namespace {

struct StreamKind {
    CLSID source = GUID_NULL;
    GUID subtype = GUID_NULL;
    bool operator==(const StreamKind& other) const {
        return source == other.source && subtype == other.subtype;
    }
};

struct KnownParser {
    StreamKind kind;
    CLSID parser;
};

std::mutex knownLock;
std::vector<KnownParser> known;

bool FindParser(const StreamKind& kind, CLSID& parser) {
    std::lock_guard<std::mutex> guard(knownLock);
    for (const KnownParser& entry : known)
        if (entry.kind == kind) {
            parser = entry.parser;
            return true;
        }
    return false;
}

void RememberParser(const StreamKind& kind, const CLSID& parser) {
    std::lock_guard<std::mutex> guard(knownLock);
    for (KnownParser& entry : known)
        if (entry.kind == kind) {
            entry.parser = parser;
            return;
        }
    known.push_back({kind, parser});
}

// The type an output pin offers first.
bool FirstType(IPin* output, CMediaType& first) {
    CComPtr<IEnumMediaTypes> types;
    AM_MEDIA_TYPE* type = nullptr;
    if (FAILED(output->EnumMediaTypes(types.Receive())) || types->Next(1, &type, nullptr) != S_OK ||
        !type)
        return false;
    const HRESULT copied = first.Set(*type);
    CMediaType::Delete(type);
    return SUCCEEDED(copied);
}

// The source's class and the subtype its output offers first, when they
// name a kind of stream a parser may be remembered for.
bool KindOf(IBaseFilter* source, IPin* output, StreamKind& kind) {
    CMediaType type;
    if (FAILED(source->GetClassID(&kind.source)) || !FirstType(output, type))
        return false;
    kind.subtype = type.Get().subtype;
    return IsParserKey(kind.source, kind.subtype);
}

// The class of the filter whose pin the output is connected to.
bool PeerClass(IPin* output, CLSID& peerClass) {
    CComPtr<IPin> peer;
    PIN_INFO info = {};
    if (FAILED(output->ConnectedTo(peer.Receive())) || FAILED(peer->QueryPinInfo(&info)))
        return false;
    CComPtr<IBaseFilter> filter(info.pFilter); // QueryPinInfo counted a reference
    return filter && SUCCEEDED(filter->GetClassID(&peerClass));
}

// The parser added by class and connected straight to the output, then
// any of its outputs connected on to the downstream filter; on failure the
// parser leaves the graph again.
HRESULT ConnectThrough(IGraphBuilder* graph, const CLSID& parserClass, IPin* output,
                       IBaseFilter* downstream) {
    CComPtr<IBaseFilter> parser;
    if (FAILED(AddFilterByClsid(graph, parserClass, L"Parser", parser.Receive())))
        return E_FAIL;
    CComPtr<IPin> parserInput = GetPinByIndex(parser.Get(), PINDIR_INPUT, 0);
    HRESULT hr = parserInput ? graph->ConnectDirect(output, parserInput.Get(), nullptr) : E_FAIL;
    if (SUCCEEDED(hr)) {
        hr = E_FAIL;
        for (int n = 0; FAILED(hr); ++n) {
            CComPtr<IPin> parserOutput = GetPinByIndex(parser.Get(), PINDIR_OUTPUT, n);
            if (!parserOutput)
                break;
            hr = ConnectFilters(graph, parserOutput.Get(), downstream);
        }
    }
    if (FAILED(hr))
        graph->RemoveFilter(parser.Get());
    return hr;
}

// Through the parser remembered for this kind of stream when there is one;
// else, or when that fails, by the graph's own search, whose parser is then
// remembered.
HRESULT ConnectThroughParser(IGraphBuilder* graph, IBaseFilter* source, IBaseFilter* downstream) {
    CComPtr<IPin> output = GetPinByIndex(source, PINDIR_OUTPUT, 0);
    if (!output)
        return E_FAIL;
    StreamKind kind;
    const bool kindKnown = KindOf(source, output.Get(), kind);
    CLSID parser = GUID_NULL;
    if (kindKnown && FindParser(kind, parser) &&
        SUCCEEDED(ConnectThrough(graph, parser, output.Get(), downstream)))
        return S_OK;
    const HRESULT hr = ConnectFilters(graph, output.Get(), downstream);
    if (SUCCEEDED(hr) && kindKnown && PeerClass(output.Get(), parser))
        RememberParser(kind, parser);
    return hr;
}

// Our reader in place of the system's file source, with its stream type:
// the source leaves the graph for it. Null when the source is another kind.
CComPtr<IBaseFilter> ReaderInPlaceOf(IGraphBuilder* graph, const std::wstring& path,
                                     IBaseFilter* source) {
    CLSID sourceClass = GUID_NULL;
    CComPtr<IPin> output = GetPinByIndex(source, PINDIR_OUTPUT, 0);
    CMediaType type;
    CComPtr<IBaseFilter> reader;
    if (FAILED(source->GetClassID(&sourceClass)) || sourceClass != CLSID_AsyncReader || !output ||
        !FirstType(output.Get(), type) ||
        FAILED(CFileReaderFilter::Create(path, type.Get(), reader.Receive())) ||
        FAILED(graph->RemoveFilter(source)))
        return CComPtr<IBaseFilter>();
    if (FAILED(graph->AddFilter(reader.Get(), L"Source"))) {
        graph->AddFilter(source, L"Source");
        return CComPtr<IBaseFilter>();
    }
    return reader;
}

} // namespace

// The null subtype (what a filter registers to take any stream, and what
// the system's source offers for a file it could not tell) and "none" name
// no kind of stream: the parser found for one such file says nothing of the
// next.
bool IsParserKey(const CLSID& source, const GUID& subtype) {
    return source != GUID_NULL && subtype != MEDIASUBTYPE_NULL && subtype != MEDIASUBTYPE_None;
}

HRESULT ConnectSource(IGraphBuilder* graph, const std::wstring& path, IBaseFilter* source,
                      IBaseFilter* downstream) {
    if (CComPtr<IBaseFilter> reader = ReaderInPlaceOf(graph, path, source)) {
        if (SUCCEEDED(ConnectThroughParser(graph, reader.Get(), downstream)))
            return S_OK;
        graph->RemoveFilter(reader.Get());
        if (FAILED(graph->AddFilter(source, L"Source")))
            return E_FAIL;
    }
    return ConnectThroughParser(graph, source, downstream);
}
