#include "dshow/CFileReaderFilter.h"
#include "encode/TempFile.h"
#include "framework/CComPtr.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// A reader over 1000 known bytes, and its pin's reader interface.
class FileReader : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int n = 0; n < 1000; ++n)
            bytes.push_back(static_cast<BYTE>(n * 7));
        file = std::make_unique<TempFile>(bytes, L"zep-reader-test.bin");
        AM_MEDIA_TYPE type = {};
        type.majortype = MEDIATYPE_Stream;
        ASSERT_EQ(S_OK, CFileReaderFilter::Create(file->path, type, filter.Receive()));
        CComPtr<IPin> pin;
        ASSERT_EQ(S_OK, filter->FindPin(L"Output", pin.Receive()));
        ASSERT_EQ(S_OK, pin->QueryInterface(IID_IAsyncReader, reader.ReceiveVoid()));
    }

    // The pool the reader hands out for samples of the given count and size, committed.
    CComPtr<IMemAllocator> CommittedPool(LONG count, LONG size) {
        ALLOCATOR_PROPERTIES wanted = {count, size, 1, 0};
        CComPtr<IMemAllocator> pool;
        EXPECT_EQ(S_OK, reader->RequestAllocator(nullptr, &wanted, pool.Receive()));
        EXPECT_EQ(S_OK, pool->Commit());
        return pool;
    }

    // The sample now asks for the bytes from..to.
    static void Ask(IMediaSample* sample, LONGLONG from, LONGLONG to) {
        REFERENCE_TIME start = from * 10000000, end = to * 10000000;
        sample->SetTime(&start, &end);
    }

    // A sample of the reader's own pool asking for the bytes from..to.
    CComPtr<IMediaSample> Asking(IMemAllocator& pool, LONGLONG from, LONGLONG to) {
        CComPtr<IMediaSample> sample;
        EXPECT_EQ(S_OK, pool.GetBuffer(sample.Receive(), nullptr, nullptr, 0));
        Ask(sample.Get(), from, to);
        return sample;
    }

    std::vector<BYTE> Held(IMediaSample* sample) {
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        return std::vector<BYTE>(data, data + sample->GetActualDataLength());
    }

    std::vector<BYTE> bytes;
    std::unique_ptr<TempFile> file;
    CComPtr<IBaseFilter> filter;
    CComPtr<IAsyncReader> reader;
};

} // namespace

// Both synchronous reads give what the file holds; one reaching its end, or
// starting at or past it, answers S_FALSE with the bytes there were.
TEST_F(FileReader, SynchronousReadsGiveWhatTheFileHoldsAndSayWhenItEnded) {
    LONGLONG total = 0, available = 0;
    ASSERT_EQ(S_OK, reader->Length(&total, &available));
    EXPECT_EQ(1000, total);
    CComPtr<IMemAllocator> pool = CommittedPool(1, 400);
    CComPtr<IMediaSample> sample = Asking(*pool.Get(), 0, 0);
    struct Case {
        LONG from, to;
        HRESULT result;
    };
    for (const Case& c : {Case{500, 600, S_OK}, Case{950, 1050, S_FALSE}, Case{1000, 1100, S_FALSE},
                          Case{1100, 1200, S_FALSE}}) {
        SCOPED_TRACE(c.from);
        const std::vector<BYTE> held(bytes.begin() + std::min(c.from, 1000L),
                                     bytes.begin() + std::min(c.to, 1000L));
        std::vector<BYTE> read(c.to - c.from, 0);
        EXPECT_EQ(c.result, reader->SyncRead(c.from, c.to - c.from, read.data()));
        EXPECT_EQ(held, std::vector<BYTE>(read.begin(), read.begin() + held.size()));
        Ask(sample.Get(), c.from, c.to);
        EXPECT_EQ(c.result, reader->SyncReadAligned(sample.Get()));
        EXPECT_EQ(held, Held(sample.Get()));
    }
}

// Requests come back in order with their spans (the last cut at the end of
// the file, which it answers S_FALSE); one starting past the end is refused;
// in a flush none is taken and no wait blocks.
TEST_F(FileReader, RequestsComeBackInOrderAndAFlushEndsTheWaiting) {
    CComPtr<IMemAllocator> pool = CommittedPool(2, 400);
    CComPtr<IMediaSample> first = Asking(*pool.Get(), 0, 400),
                          last = Asking(*pool.Get(), 800, 1200);
    ASSERT_EQ(S_OK, reader->Request(first.Get(), 1));
    ASSERT_EQ(S_OK, reader->Request(last.Get(), 2));
    struct Expected {
        IMediaSample* sample;
        int from;
        HRESULT result;
    };
    for (const Expected& expected :
         {Expected{first.Get(), 0, S_OK}, Expected{last.Get(), 800, S_FALSE}}) {
        IMediaSample* sample = nullptr;
        DWORD_PTR user = 0;
        ASSERT_EQ(expected.result, reader->WaitForNext(0, &sample, &user));
        EXPECT_EQ(expected.sample, sample);
        const int from = expected.from;
        EXPECT_EQ(
            std::vector<BYTE>(bytes.begin() + from, bytes.begin() + std::min(from + 400, 1000)),
            Held(sample));
    }
    IMediaSample* none = nullptr;
    DWORD_PTR user = 0;
    EXPECT_EQ(VFW_E_TIMEOUT, reader->WaitForNext(0, &none, &user));
    Ask(last.Get(), 1100, 1200);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_HANDLE_EOF), reader->Request(last.Get(), 3));
    ASSERT_EQ(S_OK, reader->BeginFlush());
    EXPECT_EQ(VFW_E_WRONG_STATE, reader->Request(first.Get(), 3));
    EXPECT_EQ(VFW_E_WRONG_STATE, reader->WaitForNext(INFINITE, &none, &user));
    EXPECT_EQ(nullptr, none);
    ASSERT_EQ(S_OK, reader->EndFlush());
    EXPECT_EQ(S_OK, reader->SyncReadAligned(first.Get()));
    EXPECT_EQ(std::vector<BYTE>(bytes.begin(), bytes.begin() + 400), Held(first.Get()));
}

// Driven as Windows' own parsers pull a file: requests for whole blocks,
// two ahead, up to the length the reader told, collected in order. The
// last block runs past the end; its request answers S_FALSE with the bytes
// there were, and the flush that stops the parser finds nothing waiting.
TEST_F(FileReader, APullingParserGetsTheWholeFileAndAShortLastBlock) {
    constexpr LONG kBlock = 256;
    CComPtr<IMemAllocator> pool = CommittedPool(2, kBlock);
    LONGLONG total = 0, available = 0;
    ASSERT_EQ(S_OK, reader->Length(&total, &available));
    LONGLONG next = 0;
    int pending = 0;
    auto request = [&] {
        CComPtr<IMediaSample> sample = Asking(*pool.Get(), next, next + kBlock);
        next += kBlock;
        ++pending;
        EXPECT_EQ(S_OK, reader->Request(sample.Get(), 0));
        sample.Detach(); // the reader holds it until WaitForNext hands it back
    };
    while (pending < 2 && next < total)
        request();
    std::vector<BYTE> got;
    HRESULT result = S_OK;
    LONG lastLength = 0;
    while (pending > 0 && result == S_OK) {
        IMediaSample* done = nullptr;
        DWORD_PTR user = 0;
        result = reader->WaitForNext(1000, &done, &user);
        CComPtr<IMediaSample> sample(done);
        --pending;
        ASSERT_TRUE(sample) << std::hex << result;
        const std::vector<BYTE> held = Held(sample.Get());
        got.insert(got.end(), held.begin(), held.end());
        lastLength = sample->GetActualDataLength();
        sample.Reset(); // back to the pool for the next request
        if (next < total)
            request();
    }
    EXPECT_EQ(S_FALSE, result);
    EXPECT_EQ(total % kBlock, lastLength);
    EXPECT_EQ(bytes, got);
    ASSERT_EQ(S_OK, reader->BeginFlush());
    IMediaSample* none = nullptr;
    DWORD_PTR user = 0;
    EXPECT_EQ(VFW_E_WRONG_STATE, reader->WaitForNext(INFINITE, &none, &user));
    EXPECT_EQ(S_OK, reader->EndFlush());
}
