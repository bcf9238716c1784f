#include "dshow/CEnumPins.h"
#include <new>

CEnumPins::CEnumPins(IBaseFilter& filter, std::vector<IPin*> pins, ULONG start)
    : keepAlive(CComPtr<IBaseFilter>::Share(&filter)), pins(std::move(pins)), position(start) {}

HRESULT CEnumPins::Create(IBaseFilter& filter, std::vector<IPin*> pins, IEnumPins** enumerator) {
    if (!enumerator)
        return E_POINTER;
    *enumerator = new (std::nothrow) CEnumPins(filter, std::move(pins), 0);
    if (!*enumerator)
        return E_OUTOFMEMORY;
    (*enumerator)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumPins::Next(ULONG count, IPin** out, ULONG* fetched) {
    if (!out || (!fetched && count != 1))
        return E_POINTER;
    ULONG done = 0;
    while (done < count && position < pins.size()) {
        IPin* pin = pins[position++];
        pin->AddRef();
        out[done++] = pin;
    }
    if (fetched)
        *fetched = done;
    return done == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CEnumPins::Skip(ULONG count) {
    if (count > pins.size() - position) {
        position = static_cast<ULONG>(pins.size());
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
    CEnumPins* copy = new (std::nothrow) CEnumPins(*keepAlive.Get(), pins, position);
    if (!copy) {
        *clone = nullptr;
        return E_OUTOFMEMORY;
    }
    copy->AddRef();
    *clone = copy;
    return S_OK;
}
