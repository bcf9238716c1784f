#include "dshow/CTransformPin.h"
#include "dshow/CTransformFilter.h"
#include "dshow/PinInfo.h"
#include <mutex>

CTransformPin::CTransformPin(CTransformFilter& owner, const wchar_t* name, PIN_DIRECTION direction)
    : filter(owner), name(name), direction(direction) {}

ULONG STDMETHODCALLTYPE CTransformPin::AddRef() { return filter.Outer()->AddRef(); }

ULONG STDMETHODCALLTYPE CTransformPin::Release() { return filter.Outer()->Release(); }

HRESULT STDMETHODCALLTYPE CTransformPin::ConnectedTo(IPin** pin) {
    if (!pin)
        return E_POINTER;
    std::lock_guard<CCriticalSection> guard(filter.stateLock);
    *pin = CComPtr<IPin>(connected).Detach();
    return *pin ? S_OK : VFW_E_NOT_CONNECTED;
}

HRESULT STDMETHODCALLTYPE CTransformPin::ConnectionMediaType(AM_MEDIA_TYPE* result) {
    std::lock_guard<CCriticalSection> guard(filter.stateLock);
    return CopyConnectionType(static_cast<bool>(connected), type.Get(), result);
}

HRESULT STDMETHODCALLTYPE CTransformPin::QueryPinInfo(PIN_INFO* info) {
    return QueryPinInfoOf(filter, direction, name, info);
}

HRESULT STDMETHODCALLTYPE CTransformPin::QueryDirection(PIN_DIRECTION* result) {
    if (!result)
        return E_POINTER;
    *result = direction;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTransformPin::QueryId(LPWSTR* id) { return CopyToTaskMemory(name, id); }
