#include "dshow/CMediaType.h"
#include <cstring>

HRESULT CMediaType::Set(const AM_MEDIA_TYPE& source) {
    if (&source == &type)
        return S_OK;
    Free(type);
    return Copy(&type, source);
}

HRESULT CMediaType::Copy(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE& source) {
    if (!target)
        return E_POINTER;
    *target = source;
    target->pbFormat = nullptr;
    target->cbFormat = 0;
    if (source.cbFormat && source.pbFormat) {
        target->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(source.cbFormat));
        if (!target->pbFormat) {
            target->pUnk = nullptr;
            return E_OUTOFMEMORY;
        }
        std::memcpy(target->pbFormat, source.pbFormat, source.cbFormat);
        target->cbFormat = source.cbFormat;
    }
    if (target->pUnk)
        target->pUnk->AddRef();
    return S_OK;
}

void CMediaType::Free(AM_MEDIA_TYPE& type) {
    if (type.pbFormat)
        CoTaskMemFree(type.pbFormat);
    type.pbFormat = nullptr;
    type.cbFormat = 0;
    if (type.pUnk)
        type.pUnk->Release();
    type.pUnk = nullptr;
}

void CMediaType::Delete(AM_MEDIA_TYPE* type) {
    if (!type)
        return;
    Free(*type);
    CoTaskMemFree(type);
}

bool CMediaType::IsPartial(const AM_MEDIA_TYPE& type) {
    return type.majortype == GUID_NULL || type.subtype == GUID_NULL || type.formattype == GUID_NULL;
}

bool CMediaType::Matches(const AM_MEDIA_TYPE& type, const AM_MEDIA_TYPE& pattern) {
    return (pattern.majortype == GUID_NULL || pattern.majortype == type.majortype) &&
           (pattern.subtype == GUID_NULL || pattern.subtype == type.subtype) &&
           (pattern.formattype == GUID_NULL || pattern.formattype == type.formattype);
}
