#include "dshow/CEnumMediaTypes.h"
#include "dshow/CMediaType.h"
#include "dshow/CTransformFilter.h"
#include <new>

CEnumMediaTypes::CEnumMediaTypes(CTransformFilter* owner, IUnknown* holder, ULONG start)
    : filter(owner), keepAlive(CComPtr<IUnknown>::Share(holder)), position(start) {}

AM_MEDIA_TYPE* CEnumMediaTypes::TypeAt(ULONG at) {
    if (!filter)
        return nullptr;
    auto* type = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!type)
        return nullptr;
    *type = AM_MEDIA_TYPE{};
    if (filter->GetMediaType(static_cast<int>(at), type) != S_OK) {
        CMediaType::Delete(type);
        return nullptr;
    }
    return type;
}

HRESULT STDMETHODCALLTYPE CEnumMediaTypes::Next(ULONG count, AM_MEDIA_TYPE** types,
                                                ULONG* fetched) {
    if (!types || (!fetched && count != 1))
        return E_POINTER;
    ULONG done = 0;
    while (done < count) {
        AM_MEDIA_TYPE* type = TypeAt(position);
        if (!type)
            break;
        ++position;
        types[done++] = type;
    }
    if (fetched)
        *fetched = done;
    return done == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CEnumMediaTypes::Skip(ULONG count) {
    for (; count > 0; --count) {
        AM_MEDIA_TYPE* type = TypeAt(position);
        if (!type)
            return S_FALSE;
        CMediaType::Delete(type);
        ++position;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumMediaTypes::Reset() {
    position = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumMediaTypes::Clone(IEnumMediaTypes** clone) {
    if (!clone)
        return E_POINTER;
    CEnumMediaTypes* copy = new (std::nothrow) CEnumMediaTypes(filter, keepAlive.Get(), position);
    if (!copy) {
        *clone = nullptr;
        return E_OUTOFMEMORY;
    }
    copy->AddRef();
    *clone = copy;
    return S_OK;
}
