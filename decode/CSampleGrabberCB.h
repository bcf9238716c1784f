#pragma once
#include <dshow.h>
#include <qedit.h>

// In the platform's GUID library, but not declared by its headers.
EXTERN_C const CLSID CLSID_SampleGrabber;

// The Sample Grabber's callback, embedded in its decoder: it lives exactly
// as long as the decoder, so it counts no references.
class CSampleGrabberCB : public ISampleGrabberCB {
  public:
    using Callback = int (*)(double time, BYTE* data, long length, void* user);

    CSampleGrabberCB() = default;
    virtual ~CSampleGrabberCB() = default;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP SampleCB(double, IMediaSample*) override { return S_OK; }
    STDMETHODIMP BufferCB(double time, BYTE* data, long length) override;

    Callback callback = nullptr;
    void* user = nullptr;
};
