#pragma once
#include <dshow.h>
#include <string>

// Connects a source filter's output to the downstream filter through
// whatever parser (and decoder) the system offers. The graph's own search
// reads every registered filter from the registry, which under Wine takes
// tens of milliseconds per graph; so the parser it chose for a kind of
// stream (the source's class and its output's subtype) is remembered for
// the process, and later graphs for the same kind add that parser directly.
// When the remembered parser does not connect, the search runs as before.
//
// When the source is the system's file source, our own reader of the file
// (path) takes its place with its stream type: it reads without the three
// server round trips per read the system's source costs under Wine. A
// parser that does not take our reader gets the system's source back.
HRESULT ConnectSource(IGraphBuilder* graph, const std::wstring& path, IBaseFilter* source,
                      IBaseFilter* downstream);

// Whether a parser found for streams of this source class and subtype may be
// remembered for them and looked up by them: only when both name one kind
// of stream.
bool IsParserKey(const CLSID& source, const GUID& subtype);
