#pragma once
#include "framework/CComInitialiser.h"
#include "framework/CComPtr.h"
#include <dshow.h>

// Measures a file's duration with the system's default playback graph,
// which is built but never run.
class CDShowPlay {
  public:
    CDShowPlay() = default;
    virtual ~CDShowPlay() { Close(); }

    // 0, 5008 without a graph, 5003 when the file cannot be rendered.
    int Open(const wchar_t* path);
    double GetDuration() const { return duration; }
    void Close();

  private:
    CComInitialiser com;
    CComPtr<IGraphBuilder> graph;
    double duration = 0.0;
};
