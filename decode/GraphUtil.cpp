#include "GraphUtil.h"

namespace {

// Calls visit(pin) for each pin of the direction in order until it returns true.
template <class Visit>
HRESULT ForEachPin(IBaseFilter* filter, PIN_DIRECTION direction, Visit visit) {
    CComPtr<IEnumPins> pins;
    HRESULT hr = filter->EnumPins(pins.Receive());
    if (FAILED(hr))
        return hr;
    CComPtr<IPin> pin;
    while (pins->Next(1, pin.Receive(), nullptr) == S_OK) {
        PIN_DIRECTION pinDirection;
        if (SUCCEEDED(pin->QueryDirection(&pinDirection)) && pinDirection == direction &&
            visit(pin))
            return S_OK;
    }
    return E_FAIL;
}

} // namespace

HRESULT GetUnconnectedPin(IBaseFilter* filter, PIN_DIRECTION direction, IPin** pin) {
    if (!filter || !pin)
        return E_POINTER;
    *pin = nullptr;
    return ForEachPin(filter, direction, [pin](const CComPtr<IPin>& candidate) {
        CComPtr<IPin> peer;
        if (SUCCEEDED(candidate->ConnectedTo(peer.Receive())))
            return false;
        *pin = CComPtr<IPin>(candidate).Detach();
        return true;
    });
}

HRESULT ConnectFilters(IGraphBuilder* graph, IPin* output, IBaseFilter* downstream) {
    if (!graph || !output || !downstream)
        return E_POINTER;
    CComPtr<IPin> input;
    HRESULT hr = GetUnconnectedPin(downstream, PINDIR_INPUT, input.Receive());
    if (FAILED(hr))
        return hr;
    return graph->Connect(output, input.Get());
}

HRESULT ConnectFilters(IGraphBuilder* graph, IBaseFilter* upstream, IBaseFilter* downstream) {
    if (!graph || !upstream || !downstream)
        return E_POINTER;
    CComPtr<IPin> output;
    HRESULT hr = GetUnconnectedPin(upstream, PINDIR_OUTPUT, output.Receive());
    if (FAILED(hr))
        return hr;
    return ConnectFilters(graph, output.Get(), downstream);
}

HRESULT AddFilterByClsid(IGraphBuilder* graph, REFCLSID clsid, const wchar_t* name,
                         IBaseFilter** filter) {
    if (!graph || !filter)
        return E_POINTER;
    *filter = nullptr;
    CComPtr<IBaseFilter> created;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                  created.ReceiveVoid());
    if (FAILED(hr))
        return hr;
    hr = graph->AddFilter(created.Get(), name);
    if (FAILED(hr))
        return hr;
    *filter = created.Detach();
    return S_OK;
}

CComPtr<IPin> GetPinByIndex(IBaseFilter* filter, PIN_DIRECTION direction, int n) {
    CComPtr<IPin> found;
    if (filter)
        ForEachPin(filter, direction, [&](const CComPtr<IPin>& candidate) {
            if (n-- > 0)
                return false;
            found = candidate;
            return true;
        });
    return found;
}
