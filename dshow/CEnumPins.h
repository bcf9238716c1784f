#pragma once
#include "dshow/CComObject.h"
#include "framework/CComPtr.h"
#include <dshow.h>

class CTransformFilter;

// Enumerates a transform filter's pins, input first. Holds a reference to
// the filter so the pins it hands out stay valid.
class CEnumPins : public CComObject<IEnumPins, &IID_IEnumPins> {
  public:
    CEnumPins(CTransformFilter& filter, ULONG position);

    HRESULT STDMETHODCALLTYPE Next(ULONG count, IPin** pins, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumPins** clone) override;

  private:
    CTransformFilter& filter;
    CComPtr<IBaseFilter> keepAlive;
    ULONG position;
};
