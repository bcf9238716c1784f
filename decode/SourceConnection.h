#pragma once
#include <dshow.h>

// Connects a source filter's output to the downstream filter through
// whatever parser (and decoder) the system offers. The graph's own search
// reads every registered filter from the registry, which under Wine takes
// tens of milliseconds per graph; so the parser it chose for a kind of
// stream (the source's class and its output's subtype) is remembered for
// the process, and later graphs for the same kind add that parser directly.
// When the remembered parser does not connect, the search runs as before.
HRESULT ConnectSource(IGraphBuilder* graph, IBaseFilter* source, IBaseFilter* downstream);
