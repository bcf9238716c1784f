#pragma once
#include "dshow/CComObject.h"
#include "framework/CComPtr.h"
#include <dshow.h>

class CTransformFilter;

// Enumerates the output types a transform filter proposes (its GetMediaType
// positions), or nothing when created without a filter (the input pin, which
// proposes no type). Holds a reference to the filter while it lives.
class CEnumMediaTypes : public CComObject<IEnumMediaTypes, &IID_IEnumMediaTypes> {
  public:
    CEnumMediaTypes(CTransformFilter* filter, IUnknown* keepAlive, ULONG position);

    HRESULT STDMETHODCALLTYPE Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumMediaTypes** clone) override;

  private:
    // The type at the position in task memory, or null when there is none.
    AM_MEDIA_TYPE* TypeAt(ULONG at);

    CTransformFilter* filter;
    CComPtr<IUnknown> keepAlive;
    ULONG position;
};
