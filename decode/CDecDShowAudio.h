#pragma once
#include "CBlockQueue.h"
#include "CDecAudio.h"
#include "pcm/CPcmFormat.h"
#include "CSampleGrabberCB.h"
#include "framework/CComInitialiser.h"
#include "framework/CComPtr.h"
#include "framework/CHandleOwner.h"
#include <atomic>
#include <dshow.h>

// A decoder over a DirectShow graph whose decoded audio passes a Sample
// Grabber. The grabber calls back on the streaming thread with every
// buffer; the callback converts it into a queue of blocks that runs up to a
// second ahead of the reader (parking while it is full), so the graph decodes
// while the reader encodes, every block reaches the reader exactly once, and
// a block is never written while the reader holds it.
//
// This class renders the grabber's output to the system's audio renderer;
// the variant the conversion uses ends in a file sink instead.
class CDecDShowAudio : public CDecAudio {
  public:
    CDecDShowAudio();
    ~CDecDShowAudio() override;

    int GetProgress() override;
    int Read(unsigned char** data, int maximum) override;
    void Close() override;
    int Open(const wchar_t* path) override;
    WAVEFORMATEX* GetFormat() override;
    int GetEndError() override { return endError; }
    std::wstring Describe() const override { return L"system"; }

    // Queues the buffer as a block; false when the hand-over has stopped.
    virtual bool StoreSample(double time, const BYTE* data, long length);
    virtual int OnSample(double time, const BYTE* data, long length);
    // 0 when a block is ready; -1 at the end of the stream, after an error
    // of the graph or after the wait (GetEndError tells which).
    virtual int WaitData(int first);
    virtual int Start(double time);
    void Stop();

    // How long a reader waits for a block before taking the input as ended.
    static constexpr DWORD kBlockWaitMs = 3000;
    // How long an empty queue is waited on before the graph's events are looked at.
    static constexpr DWORD kGraphLookMs = 5;

  protected:
    // The graph up to the grabber, with its connected format taken and this
    // decoder's callback set: 0, or the error number of the failed step.
    int BuildSourceAndGrabber(const wchar_t* path, const wchar_t* grabberName, bool typeMustTake,
                              CComPtr<IBaseFilter>& grabberFilter);
    // Starts the graph with the hand-over open.
    void RunGraph();
    // Why no block came: the graph's error events, else whether it runs.
    int TakeGraphEvents();
    bool GraphRunning();

    CComInitialiser com;
    WAVEFORMATEXTENSIBLE format = {}; // as connected
    CComPtr<IMediaControl> mediaControl;
    CComPtr<IMediaSeeking> mediaSeeking;
    CComPtr<IMediaEvent> graphEvents;
    HANDLE graphEvent = nullptr; // the graph's own, signalled while it holds events
    bool runFailed = false;
    int endError = 0;
    CSampleGrabberCB grabberCallback;
    double duration = 0.0;
    double position = 0.0;
    DWORD lastGraphLook = 0; // when a reader last looked at the graph's events
    // Signalled when the end of the stream has passed the grabber, so the
    // reader need not wait out a timeout after the last block.
    CKernelHandle endEvent;
    CBlockQueue queue;
    CBlockQueue::Block* current = nullptr; // the reader's, changed in place as it likes
    // A buffer the producer could not queue (no memory): the input is cut.
    std::atomic<bool> lostBlock{false};
    CComPtr<IGraphBuilder> graph;

  private:
    // Takes the connected format: 0, 5008 when the type cannot be read,
    // 5006 for a layout that is neither integer PCM nor float.
    int TakeConnectedFormat(ISampleGrabber* grabber);
    // Hands the grabber its media type, and this decoder's callback.
    static HRESULT SetGrabberType(ISampleGrabber* grabber);
    HRESULT SetGrabberCallback(ISampleGrabber* grabber);
    static int SampleTrampoline(double time, BYTE* data, long length, void* user);
};
