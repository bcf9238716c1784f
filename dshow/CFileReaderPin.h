#pragma once
#include "dshow/CMediaType.h"
#include "framework/CComPtr.h"
#include "framework/CHandleOwner.h"
#include <deque>
#include <dshow.h>

// The output pin of our file source: it offers the file as a byte stream of
// one type and reads it for the parser downstream (IAsyncReader). A read
// goes straight to the file at its position, with no event: under Wine the
// system's file source makes, sets and closes an event for every read,
// three server round trips each. A request is read as it is made and waits,
// done, until the parser takes it back with WaitForNext.
class CFileReaderPin : public IPin, public IAsyncReader {
  public:
    // References are counted on the owning filter.
    CFileReaderPin(IBaseFilter& owner, CKernelHandle file, LONGLONG size,
                   const AM_MEDIA_TYPE& type);
    CFileReaderPin(const CFileReaderPin&) = delete;
    CFileReaderPin& operator=(const CFileReaderPin&) = delete;
    virtual ~CFileReaderPin() = default;

    static constexpr const wchar_t* Name = L"Output";
    const AM_MEDIA_TYPE& Type() const { return type.Get(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return owner.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner.Release(); }

    // IPin
    HRESULT STDMETHODCALLTYPE Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) override;
    HRESULT STDMETHODCALLTYPE Disconnect() override;
    HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
    HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
    HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override;
    HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override;
    HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes** types) override;
    HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin**, ULONG*) override;
    HRESULT STDMETHODCALLTYPE EndOfStream() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override {
        return S_OK;
    }

    // IAsyncReader
    HRESULT STDMETHODCALLTYPE RequestAllocator(IMemAllocator* preferred,
                                               ALLOCATOR_PROPERTIES* properties,
                                               IMemAllocator** actual) override;
    HRESULT STDMETHODCALLTYPE Request(IMediaSample* sample, DWORD_PTR user) override;
    HRESULT STDMETHODCALLTYPE WaitForNext(DWORD timeoutMs, IMediaSample** sample,
                                          DWORD_PTR* user) override;
    HRESULT STDMETHODCALLTYPE SyncReadAligned(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE SyncRead(LONGLONG position, LONG length, BYTE* buffer) override;
    HRESULT STDMETHODCALLTYPE Length(LONGLONG* total, LONGLONG* available) override;
    // The reader's flush, which IPin's of the same name (never called on an
    // output pin) shares: while it lasts requests are refused and
    // WaitForNext hands back what is done without waiting.
    HRESULT STDMETHODCALLTYPE BeginFlush() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;

  private:
    struct Done {
        IMediaSample* sample;
        DWORD_PTR user;
        HRESULT result;
    };

    // Reads length bytes at position: S_OK, S_FALSE when the file ended first.
    HRESULT ReadAt(LONGLONG position, LONG length, BYTE* buffer, LONG* read);
    // Reads the span the sample's times name (bytes times 10,000,000), as
    // much of it as the sample holds: S_OK, or S_FALSE with what there was
    // when the file ended first; the end time then says where it ended.
    HRESULT ReadSample(IMediaSample* sample);

    IBaseFilter& owner;
    CKernelHandle file;
    const LONGLONG size;
    CMediaType type;
    SRWLOCK fileLock = SRWLOCK_INIT; // a seek and its read go together
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE doneChanged = CONDITION_VARIABLE_INIT;
    std::deque<Done> done;
    bool flushing = false;
    CComPtr<IPin> connected;
};
