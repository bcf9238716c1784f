#pragma once
#include "framework/CComPtr.h"
#include <dshow.h>

// Small operations over a filter graph shared by the decoders.

// The first pin of the direction that is not connected, with a reference; E_FAIL when none.
HRESULT GetUnconnectedPin(IBaseFilter* filter, PIN_DIRECTION direction, IPin** pin);

// Intelligent connect from an output pin to the downstream filter's first
// free input pin; the graph may insert parsers, decoders and converters.
HRESULT ConnectFilters(IGraphBuilder* graph, IPin* output, IBaseFilter* downstream);
// The same from the upstream filter's first free output pin.
HRESULT ConnectFilters(IGraphBuilder* graph, IBaseFilter* upstream, IBaseFilter* downstream);

// Creates a filter in-process and adds it to the graph under the name.
HRESULT AddFilterByClsid(IGraphBuilder* graph, REFCLSID clsid, const wchar_t* name,
                         IBaseFilter** filter);

// The n-th pin of the direction (from 0), connected or not; null when there is none.
CComPtr<IPin> GetPinByIndex(IBaseFilter* filter, PIN_DIRECTION direction, int n);
