#include "dshow/CEnumMediaTypes.h"
#include "dshow/CMediaType.h"
#include <new>

CEnumMediaTypes::CEnumMediaTypes(TypeAt types, IUnknown* holder, ULONG start)
    : typeAt(std::move(types)), keepAlive(CComPtr<IUnknown>::Share(holder)), position(start) {}

HRESULT CEnumMediaTypes::Create(TypeAt typeAt, IUnknown* keepAlive, IEnumMediaTypes** enumerator) {
    if (!enumerator)
        return E_POINTER;
    *enumerator = new (std::nothrow) CEnumMediaTypes(std::move(typeAt), keepAlive, 0);
    if (!*enumerator)
        return E_OUTOFMEMORY;
    (*enumerator)->AddRef();
    return S_OK;
}

AM_MEDIA_TYPE* CEnumMediaTypes::TypeAtPosition(ULONG at) {
    if (!typeAt)
        return nullptr;
    auto* type = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!type)
        return nullptr;
    *type = AM_MEDIA_TYPE{};
    if (typeAt(static_cast<int>(at), type) != S_OK) {
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
        AM_MEDIA_TYPE* type = TypeAtPosition(position);
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
        AM_MEDIA_TYPE* type = TypeAtPosition(position);
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
    CEnumMediaTypes* copy = new (std::nothrow) CEnumMediaTypes(typeAt, keepAlive.Get(), position);
    if (!copy) {
        *clone = nullptr;
        return E_OUTOFMEMORY;
    }
    copy->AddRef();
    *clone = copy;
    return S_OK;
}
