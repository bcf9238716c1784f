#include "dshow/CMemAllocator.h"
#include "framework/CComPtr.h"
#include <cstdint>
#include <gtest/gtest.h>
#include <thread>

namespace {

CComPtr<IMemAllocator> Committed(long buffers, long size, long align) {
    CComPtr<IMemAllocator> allocator(CMemAllocator::Create());
    ALLOCATOR_PROPERTIES request{buffers, size, align, 0}, actual{};
    EXPECT_EQ(S_OK, allocator->SetProperties(&request, &actual));
    EXPECT_EQ(S_OK, allocator->Commit());
    return allocator;
}

} // namespace

// A lent sample comes back with nothing of its last user's: full length, no
// times, no flags; its buffer starts on the alignment asked for.
TEST(CMemAllocator, ASampleComesBackClearedAndAligned) {
    CComPtr<IMemAllocator> allocator = Committed(1, 100, 64);
    CComPtr<IMediaSample> sample;
    ASSERT_EQ(S_OK, allocator->GetBuffer(sample.Receive(), nullptr, nullptr, 0));
    BYTE* buffer = nullptr;
    ASSERT_EQ(S_OK, sample->GetPointer(&buffer));
    EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(buffer) % 64);
    REFERENCE_TIME start = 5, end = 9;
    sample->SetTime(&start, &end);
    sample->SetSyncPoint(TRUE);
    EXPECT_EQ(VFW_E_BUFFER_OVERFLOW, sample->SetActualDataLength(101));
    sample->SetActualDataLength(10);
    sample.Reset();
    ASSERT_EQ(S_OK, allocator->GetBuffer(sample.Receive(), nullptr, nullptr, 0));
    EXPECT_EQ(100, sample->GetActualDataLength());
    EXPECT_EQ(VFW_E_SAMPLE_TIME_NOT_SET, sample->GetTime(&start, &end));
    EXPECT_EQ(S_FALSE, sample->IsSyncPoint());
}

// With every buffer lent, a request waits for one to come back, and Decommit
// answers a waiting request at once; sizes change only with all buffers home.
TEST(CMemAllocator, ARequestWaitsForAReturnAndDecommitEndsTheWait) {
    CComPtr<IMemAllocator> allocator = Committed(1, 10, 1);
    CComPtr<IMediaSample> lent;
    ASSERT_EQ(S_OK, allocator->GetBuffer(lent.Receive(), nullptr, nullptr, 0));
    CComPtr<IMediaSample> second;
    EXPECT_EQ(VFW_E_TIMEOUT,
              allocator->GetBuffer(second.Receive(), nullptr, nullptr, AM_GBF_NOWAIT));
    HRESULT waited = E_FAIL;
    std::thread requester(
        [&] { waited = allocator->GetBuffer(second.Receive(), nullptr, nullptr, 0); });
    Sleep(100);
    lent.Reset();
    requester.join();
    EXPECT_EQ(S_OK, waited);
    std::thread blocked(
        [&] { waited = allocator->GetBuffer(lent.Receive(), nullptr, nullptr, 0); });
    Sleep(100);
    allocator->Decommit();
    blocked.join();
    EXPECT_EQ(VFW_E_NOT_COMMITTED, waited);
    ALLOCATOR_PROPERTIES request{2, 20, 1, 0}, actual{};
    EXPECT_EQ(VFW_E_BUFFERS_OUTSTANDING, allocator->SetProperties(&request, &actual));
    second.Reset();
    EXPECT_EQ(S_OK, allocator->SetProperties(&request, &actual));
    EXPECT_EQ(20, actual.cbBuffer);
}
