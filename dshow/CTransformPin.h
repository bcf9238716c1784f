#pragma once
#include "dshow/CMediaType.h"
#include "framework/CComPtr.h"
#include <dshow.h>

class CTransformFilter;

// What the transform filter's two pins share: their name and direction, the
// connection and its type, and reference counting on the filter's outer
// unknown, so a reference to a pin keeps the filter alive.
class CTransformPin : public IPin {
  public:
    CTransformPin(CTransformFilter& filter, const wchar_t* name, PIN_DIRECTION direction);
    virtual ~CTransformPin() = default;
    CTransformPin(const CTransformPin&) = delete;
    CTransformPin& operator=(const CTransformPin&) = delete;

    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
    HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
    HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override;
    HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override;

    bool IsConnected() const { return static_cast<bool>(connected); }

  protected:
    CTransformFilter& filter;
    CComPtr<IPin> connected;
    CMediaType type;

  private:
    const wchar_t* name;
    PIN_DIRECTION direction;
};
