#include "CSampleGrabberCB.h"

STDMETHODIMP CSampleGrabberCB::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_ISampleGrabberCB) || IsEqualIID(iid, IID_IUnknown)) {
        *object = static_cast<ISampleGrabberCB*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// Runs on the streaming thread; the grabber passes the sample on only
// after this returns, which is what bounds the queue of blocks.
STDMETHODIMP CSampleGrabberCB::BufferCB(double time, BYTE* data, long length) {
    if (callback)
        callback(time, data, length, user);
    return S_OK;
}
