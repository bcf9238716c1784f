#include "dshow/CTransformPin.h"
#include "dshow/CTransformFilter.h"
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
    if (!result)
        return E_POINTER;
    std::lock_guard<CCriticalSection> guard(filter.stateLock);
    *result = AM_MEDIA_TYPE{};
    if (!connected)
        return VFW_E_NOT_CONNECTED;
    return CMediaType::Copy(result, type.Get());
}

HRESULT STDMETHODCALLTYPE CTransformPin::QueryPinInfo(PIN_INFO* info) {
    if (!info)
        return E_POINTER;
    info->pFilter = &filter;
    filter.AddRef();
    info->dir = direction;
    lstrcpynW(info->achName, name, MAX_PIN_NAME);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTransformPin::QueryDirection(PIN_DIRECTION* result) {
    if (!result)
        return E_POINTER;
    *result = direction;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTransformPin::QueryId(LPWSTR* id) {
    if (!id)
        return E_POINTER;
    const size_t bytes = (lstrlenW(name) + 1) * sizeof(wchar_t);
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*id)
        return E_OUTOFMEMORY;
    lstrcpyW(*id, name);
    return S_OK;
}
