#include "dshow/CFileReaderFilter.h"
#include "encode/TempFile.h"
#include "framework/CComPtr.h"
#include <gtest/gtest.h>

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

    // A sample of the reader's own pool asking for the bytes from..to.
    CComPtr<IMediaSample> Asking(IMemAllocator& pool, LONGLONG from, LONGLONG to) {
        CComPtr<IMediaSample> sample;
        EXPECT_EQ(S_OK, pool.GetBuffer(sample.Receive(), nullptr, nullptr, 0));
        REFERENCE_TIME start = from * 10000000, end = to * 10000000;
        sample->SetTime(&start, &end);
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

// Reads of a span, and of one running past the end, which gives what there is.
TEST_F(FileReader, ReadsWhatTheFileHoldsAtAnyPosition) {
    LONGLONG total = 0, available = 0;
    ASSERT_EQ(S_OK, reader->Length(&total, &available));
    EXPECT_EQ(1000, total);
    std::vector<BYTE> read(100, 0);
    EXPECT_EQ(S_OK, reader->SyncRead(500, 100, read.data()));
    EXPECT_EQ(std::vector<BYTE>(bytes.begin() + 500, bytes.begin() + 600), read);
    EXPECT_EQ(S_FALSE, reader->SyncRead(950, 100, read.data()));
    EXPECT_EQ(std::vector<BYTE>(bytes.begin() + 950, bytes.end()),
              std::vector<BYTE>(read.begin(), read.begin() + 50));
}

// Requests come back in order with their spans (the last cut at the end of
// the file); in a flush none is taken and no wait blocks.
TEST_F(FileReader, RequestsComeBackInOrderAndAFlushEndsTheWaiting) {
    ALLOCATOR_PROPERTIES wanted = {2, 400, 1, 0};
    CComPtr<IMemAllocator> pool;
    ASSERT_EQ(S_OK, reader->RequestAllocator(nullptr, &wanted, pool.Receive()));
    ASSERT_EQ(S_OK, pool->Commit());
    CComPtr<IMediaSample> first = Asking(*pool.Get(), 0, 400), last = Asking(*pool.Get(), 800, 1200);
    ASSERT_EQ(S_OK, reader->Request(first.Get(), 1));
    ASSERT_EQ(S_OK, reader->Request(last.Get(), 2));
    for (const auto& expected : {std::make_pair(first.Get(), 0), std::make_pair(last.Get(), 800)}) {
        IMediaSample* sample = nullptr;
        DWORD_PTR user = 0;
        ASSERT_EQ(S_OK, reader->WaitForNext(0, &sample, &user));
        EXPECT_EQ(expected.first, sample);
        const int from = expected.second;
        EXPECT_EQ(std::vector<BYTE>(bytes.begin() + from, bytes.begin() + std::min(from + 400, 1000)),
                  Held(sample));
    }
    IMediaSample* none = nullptr;
    DWORD_PTR user = 0;
    EXPECT_EQ(VFW_E_TIMEOUT, reader->WaitForNext(0, &none, &user));
    ASSERT_EQ(S_OK, reader->BeginFlush());
    EXPECT_EQ(VFW_E_WRONG_STATE, reader->Request(first.Get(), 3));
    EXPECT_EQ(VFW_E_WRONG_STATE, reader->WaitForNext(INFINITE, &none, &user));
    EXPECT_EQ(nullptr, none);
    ASSERT_EQ(S_OK, reader->EndFlush());
    EXPECT_EQ(S_OK, reader->SyncReadAligned(first.Get()));
    EXPECT_EQ(std::vector<BYTE>(bytes.begin(), bytes.begin() + 400), Held(first.Get()));
}
