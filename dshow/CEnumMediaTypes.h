#pragma once
#include "dshow/CComObject.h"
#include "framework/CComPtr.h"
#include <dshow.h>
#include <functional>

// Enumerates the types a pin proposes. Holds a reference to the pin's owner
// while it lives.
class CEnumMediaTypes : public CComObject<IEnumMediaTypes, &IID_IEnumMediaTypes> {
  public:
    // Fills an empty type (format block in task memory) for the position;
    // anything but S_OK past the last one. Empty: the pin proposes no type.
    using TypeAt = std::function<HRESULT(int position, AM_MEDIA_TYPE* type)>;

    // The enumerator from the first type, with one reference.
    static HRESULT Create(TypeAt typeAt, IUnknown* keepAlive, IEnumMediaTypes** enumerator);

    HRESULT STDMETHODCALLTYPE Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumMediaTypes** clone) override;

  private:
    CEnumMediaTypes(TypeAt typeAt, IUnknown* keepAlive, ULONG position);
    // The type at the position in task memory, or null when there is none.
    AM_MEDIA_TYPE* TypeAtPosition(ULONG at);

    const TypeAt typeAt;
    CComPtr<IUnknown> keepAlive;
    ULONG position;
};
