#include "dshow/CFileReaderFilter.h"
#include "dshow/CEnumPins.h"
#include "dshow/PinInfo.h"
#include <new>

const CLSID CFileReaderFilter::ClassId = {
    0xd429ff01, 0x1065, 0x4191, {0xb2, 0xc8, 0x88, 0xde, 0x45, 0x90, 0xbe, 0xe4}};

CFileReaderFilter::CFileReaderFilter(std::wstring path, CKernelHandle file, LONGLONG size,
                                     const AM_MEDIA_TYPE& type)
    : path(std::move(path)), pin(*this, std::move(file), size, type) {}

// Other programs may read the file meanwhile, as with the system's source.
HRESULT CFileReaderFilter::Create(const std::wstring& path, const AM_MEDIA_TYPE& type,
                                  IBaseFilter** filter) {
    if (!filter)
        return E_POINTER;
    *filter = nullptr;
    CKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        file.Detach();
        return HRESULT_FROM_WIN32(GetLastError());
    }
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size))
        return HRESULT_FROM_WIN32(GetLastError());
    auto* created = new (std::nothrow) CFileReaderFilter(path, std::move(file), size.QuadPart, type);
    if (!created)
        return E_OUTOFMEMORY;
    created->AddRef();
    *filter = created;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFileReaderFilter::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IPersist || iid == IID_IMediaFilter ||
        iid == IID_IBaseFilter)
        *object = static_cast<IBaseFilter*>(this);
    else if (iid == IID_IFileSourceFilter)
        *object = static_cast<IFileSourceFilter*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CFileReaderFilter::AddRef() { return InterlockedIncrement(&references); }

ULONG STDMETHODCALLTYPE CFileReaderFilter::Release() {
    const LONG left = InterlockedDecrement(&references);
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE CFileReaderFilter::GetClassID(CLSID* classId) {
    if (!classId)
        return E_POINTER;
    *classId = ClassId;
    return S_OK;
}

HRESULT CFileReaderFilter::SetState(FILTER_STATE next) {
    state = next;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFileReaderFilter::GetState(DWORD, FILTER_STATE* current) {
    if (!current)
        return E_POINTER;
    *current = state;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFileReaderFilter::SetSyncSource(IReferenceClock* newClock) {
    clock = CComPtr<IReferenceClock>::Share(newClock);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFileReaderFilter::GetSyncSource(IReferenceClock** current) {
    if (!current)
        return E_POINTER;
    *current = CComPtr<IReferenceClock>(clock).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFileReaderFilter::EnumPins(IEnumPins** pins) {
    return CEnumPins::Create(*this, {&pin}, pins);
}

HRESULT STDMETHODCALLTYPE CFileReaderFilter::FindPin(LPCWSTR id, IPin** found) {
    if (!id || !found)
        return E_POINTER;
    *found = nullptr;
    if (lstrcmpW(id, CFileReaderPin::Name) != 0)
        return VFW_E_NOT_FOUND;
    *found = &pin;
    pin.AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFileReaderFilter::QueryFilterInfo(FILTER_INFO* info) {
    if (!info)
        return E_POINTER;
    lstrcpynW(info->achName, name.c_str(), MAX_FILTER_NAME);
    info->pGraph = graph;
    if (graph)
        graph->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFileReaderFilter::JoinFilterGraph(IFilterGraph* newGraph,
                                                             LPCWSTR newName) {
    graph = newGraph;
    name = newName ? newName : L"";
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFileReaderFilter::QueryVendorInfo(LPWSTR*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CFileReaderFilter::GetCurFile(LPOLESTR* file, AM_MEDIA_TYPE* type) {
    const HRESULT copied = CopyToTaskMemory(path.c_str(), file);
    if (FAILED(copied) || !type)
        return copied;
    return CMediaType::Copy(type, pin.Type());
}
