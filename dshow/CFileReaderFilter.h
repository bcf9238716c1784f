#pragma once
#include "dshow/CFileReaderPin.h"
#include "framework/CComPtr.h"
#include <dshow.h>
#include <string>

// A file source: one output pin that offers a file as a byte stream of the
// type given and reads it for the parser (CFileReaderPin). It stands in for
// the system's file source, whose stream type it takes over.
class CFileReaderFilter : public IBaseFilter, public IFileSourceFilter {
  public:
    static const CLSID ClassId; // {D429FF01-1065-4191-B2C8-88DE4590BEE4}

    // The source of the file, with one reference: S_OK, or why the file
    // could not be opened for reading.
    static HRESULT Create(const std::wstring& path, const AM_MEDIA_TYPE& type,
                          IBaseFilter** filter);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* classId) override;
    HRESULT STDMETHODCALLTYPE Stop() override { return SetState(State_Stopped); }
    HRESULT STDMETHODCALLTYPE Pause() override { return SetState(State_Paused); }
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME) override { return SetState(State_Running); }
    HRESULT STDMETHODCALLTYPE GetState(DWORD timeout, FILTER_STATE* state) override;
    HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override;
    HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** clock) override;
    HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** pins) override;
    HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR id, IPin** pin) override;
    HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override;
    HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR* info) override;

    // IFileSourceFilter: the file is given at creation.
    HRESULT STDMETHODCALLTYPE Load(LPCOLESTR, const AM_MEDIA_TYPE*) override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR* path, AM_MEDIA_TYPE* type) override;

  private:
    CFileReaderFilter(std::wstring path, CKernelHandle file, LONGLONG size,
                      const AM_MEDIA_TYPE& type);
    virtual ~CFileReaderFilter() = default;
    HRESULT SetState(FILTER_STATE next);

    LONG references = 0;
    const std::wstring path;
    CFileReaderPin pin;
    FILTER_STATE state = State_Stopped;
    CComPtr<IReferenceClock> clock;
    IFilterGraph* graph = nullptr; // not counted: the graph holds the filter
    std::wstring name;
};
