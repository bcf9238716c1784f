#include "dshow/CEnumPins.h"
#include "dshow/CTransformFilter.h"
#include <new>

namespace {
constexpr ULONG PinCount = 2;
}

CEnumPins::CEnumPins(CTransformFilter& owner, ULONG start)
    : filter(owner), keepAlive(CComPtr<IBaseFilter>::Share(&owner)), position(start) {}

HRESULT STDMETHODCALLTYPE CEnumPins::Next(ULONG count, IPin** pins, ULONG* fetched) {
    if (!pins || (!fetched && count != 1))
        return E_POINTER;
    ULONG done = 0;
    while (done < count && position < PinCount) {
        IPin* pin = filter.GetPin(position++);
        pin->AddRef();
        pins[done++] = pin;
    }
    if (fetched)
        *fetched = done;
    return done == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CEnumPins::Skip(ULONG count) {
    if (count > PinCount - position) {
        position = PinCount;
        return S_FALSE;
    }
    position += count;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumPins::Reset() {
    position = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumPins::Clone(IEnumPins** clone) {
    if (!clone)
        return E_POINTER;
    CEnumPins* copy = new (std::nothrow) CEnumPins(filter, position);
    if (!copy) {
        *clone = nullptr;
        return E_OUTOFMEMORY;
    }
    copy->AddRef();
    *clone = copy;
    return S_OK;
}
