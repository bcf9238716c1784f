#include "dshow/PinInfo.h"
#include "dshow/CMediaType.h"

HRESULT QueryPinInfoOf(IBaseFilter& filter, PIN_DIRECTION direction, const wchar_t* name,
                       PIN_INFO* info) {
    if (!info)
        return E_POINTER;
    info->pFilter = &filter;
    filter.AddRef();
    info->dir = direction;
    lstrcpynW(info->achName, name, MAX_PIN_NAME);
    return S_OK;
}

HRESULT CopyConnectionType(bool connected, const AM_MEDIA_TYPE& type, AM_MEDIA_TYPE* result) {
    if (!result)
        return E_POINTER;
    *result = AM_MEDIA_TYPE{};
    if (!connected)
        return VFW_E_NOT_CONNECTED;
    return CMediaType::Copy(result, type);
}

HRESULT CopyToTaskMemory(const wchar_t* text, LPWSTR* copy) {
    if (!copy)
        return E_POINTER;
    *copy = static_cast<LPWSTR>(CoTaskMemAlloc((lstrlenW(text) + 1) * sizeof(wchar_t)));
    if (!*copy)
        return E_OUTOFMEMORY;
    lstrcpyW(*copy, text);
    return S_OK;
}
