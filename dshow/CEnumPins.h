#pragma once
#include "framework/CComPtr.h"
#include <dshow.h>

class CTransformFilter;

// Enumerates a transform filter's pins, input first. Holds a reference to
// the filter so the pins it hands out stay valid.
class CEnumPins : public IEnumPins {
  public:
    CEnumPins(CTransformFilter& filter, ULONG position);
    virtual ~CEnumPins() = default;
    CEnumPins(const CEnumPins&) = delete;
    CEnumPins& operator=(const CEnumPins&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE Next(ULONG count, IPin** pins, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumPins** clone) override;

  private:
    CTransformFilter& filter;
    CComPtr<IBaseFilter> keepAlive;
    LONG references = 0;
    ULONG position;
};
