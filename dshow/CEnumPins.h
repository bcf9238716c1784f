#pragma once
#include "dshow/CComObject.h"
#include "framework/CComPtr.h"
#include <dshow.h>
#include <vector>

// Enumerates a filter's pins in the order given. Holds a reference to the
// filter so the pins it hands out stay valid.
class CEnumPins : public CComObject<IEnumPins, &IID_IEnumPins> {
  public:
    // The enumerator of the filter's pins, from the first, with one reference.
    static HRESULT Create(IBaseFilter& filter, std::vector<IPin*> pins, IEnumPins** enumerator);

    HRESULT STDMETHODCALLTYPE Next(ULONG count, IPin** pins, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumPins** clone) override;

  private:
    CEnumPins(IBaseFilter& filter, std::vector<IPin*> pins, ULONG position);

    CComPtr<IBaseFilter> keepAlive;
    const std::vector<IPin*> pins;
    ULONG position;
};
