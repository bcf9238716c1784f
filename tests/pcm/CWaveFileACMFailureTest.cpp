#include "AcmTestSupport.h"
#include "pcm/CMMio.h"
#include "pcm/CWaveFileACM.h"
#include <cstdlib>
#include <gtest/gtest.h>

// Writes that the system refuses, and the 4 GiB ceiling of the size fields.

namespace {

const WAVEFORMATEX Source = Pcm(44100, 2, 16);
const int BlockSize = 100000; // whole frames

uint64_t FileLimit() {
    const char* limit = std::getenv("ZEP_TEST_FILE_SIZE_LIMIT");
    return limit ? std::strtoull(limit, nullptr, 10) : 0;
}

// Writes blocks until a write fails; returns the bytes taken before that.
uint64_t WriteUntilRefused(CWaveFileACM& wave, const Bytes& block, uint64_t atMost) {
    uint64_t taken = 0;
    int result = 0;
    while (taken <= atMost && (result = wave.Write(block.data(), static_cast<int>(block.size()))) ==
                                  static_cast<int>(block.size()))
        taken += block.size();
    EXPECT_EQ(-1, result);
    return taken;
}

std::wstring LargeFilePath() {
    const char* folder = std::getenv("ZEP_TEST_LARGE_DIR");
    std::wstring path = L"Z:";
    for (const char* c = folder; c && *c; ++c)
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return path + L"\\zep-acm-4gib-" + std::to_wstring(GetCurrentProcessId()) + L".wav";
}

bool RoomForFourGiB(const std::wstring& path) {
    ULARGE_INTEGER free{};
    const std::wstring folder = path.substr(0, path.rfind(L'\\') + 1);
    return GetDiskFreeSpaceExW(folder.c_str(), &free, nullptr, nullptr) &&
           free.QuadPart > (4ull << 30) + (256ull << 20);
}

Bytes Header(const std::wstring& path, size_t count, uint64_t& fileSize) {
    Bytes bytes(count);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    LARGE_INTEGER size{};
    DWORD got = 0;
    if (file != INVALID_HANDLE_VALUE) {
        GetFileSizeEx(file, &size);
        ReadFile(file, bytes.data(), static_cast<DWORD>(count), &got, nullptr);
        CloseHandle(file);
    }
    fileSize = static_cast<uint64_t>(size.QuadPart);
    bytes.resize(got);
    return bytes;
}

} // namespace

TEST(DiskFull, AFailedWriteEndsTheConversionAndTheFileHoldsWhatWasWritten) {
    const uint64_t limit = FileLimit();
    if (limit == 0)
        GTEST_SKIP() << "needs the file-size limit of with-file-size-limit.sh";
    ScratchFile file(L"diskfull-pcm.wav");
    const Bytes block = Pattern(BlockSize);
    CWaveFileACM wave;
    wave.SetSourceFormat(&Source);
    ASSERT_EQ(1, wave.OpenWrite(file.Path()));
    const uint64_t taken = WriteUntilRefused(wave, block, limit);
    EXPECT_EQ(-1, wave.Write(block.data(), 4)) << "the conversion has ended";
    EXPECT_EQ(0, wave.Close()) << "the file is not whole";

    const Bytes bytes = ReadWholeFile(file.Path());
    EXPECT_LE(bytes.size(), limit);
    ASSERT_EQ(56 + taken, bytes.size());
    EXPECT_EQ(bytes.size() - 8, U32At(bytes, 4));
    EXPECT_EQ(taken / 4, FactValue(bytes));
    EXPECT_EQ(taken, DataSize(bytes));
    EXPECT_EQ(block, Slice(bytes, bytes.size() - BlockSize, BlockSize));
}

TEST(DiskFull, AFailedWriteOfConvertedBytesEndsTheConversionToo) {
    const uint64_t limit = FileLimit();
    if (limit == 0)
        GTEST_SKIP() << "needs the file-size limit of with-file-size-limit.sh";
    ScratchFile file(L"diskfull-alaw.wav");
    const Bytes alaw = SuggestedFormat(Source, WAVE_FORMAT_ALAW);
    CWaveFileACM wave;
    wave.SetSourceFormat(&Source);
    wave.SetDestFormat(AsFormat(alaw));
    ASSERT_EQ(1, wave.OpenWrite(file.Path()));
    WriteUntilRefused(wave, Pattern(BlockSize), 4 * limit);
    EXPECT_EQ(0, wave.Close());

    const Bytes bytes = ReadWholeFile(file.Path());
    const size_t header = 20 + alaw.size() + 12 + 8;
    ASSERT_GT(bytes.size(), header);
    EXPECT_LE(bytes.size(), limit);
    EXPECT_EQ(bytes.size() - 8, U32At(bytes, 4));
    EXPECT_EQ(bytes.size() - header, DataSize(bytes));
    EXPECT_EQ(DataSize(bytes), FactValue(bytes) * 2);
}

TEST(LargeFile, WritesUpToTheLargestSizeTheRiffFieldsHoldAndNoFurther) {
    const std::wstring path = LargeFilePath();
    if (!std::getenv("ZEP_TEST_LARGE_DIR") || !RoomForFourGiB(path))
        GTEST_SKIP() << "needs 4 GiB of room in ZEP_TEST_LARGE_DIR";
    const Bytes block(1u << 20, 0x55);
    CMMio mmio;
    ASSERT_EQ(1, mmio.OpenWrite(path, 16));
    ASSERT_EQ(16, mmio.Write(RecordOf(Source).data(), 16));
    ASSERT_EQ(1, mmio.BeginData(0));
    for (int i = 0; i < 4095; ++i)
        ASSERT_EQ(1 << 20, mmio.Write(block.data(), 1 << 20)) << "block " << i;
    // 56 header bytes and 4,294,967,246 data bytes end at 0xFFFFFFFF + 7:
    // one more byte would need a pad byte the size field cannot count.
    const int room = static_cast<int>(4294967246ull - (4095ull << 20));
    EXPECT_EQ(0, mmio.Write(block.data(), room + 1));
    ASSERT_EQ(room, mmio.Write(block.data(), room));
    EXPECT_EQ(0, mmio.Write(block.data(), 1));
    ASSERT_EQ(1, mmio.EndDataWithFact(1073741811));
    mmio.Close();

    uint64_t fileSize = 0;
    const Bytes header = Header(path, 56, fileSize);
    DeleteFileW(path.c_str());
    EXPECT_EQ(0xFFFFFFFFull + 7, fileSize);
    EXPECT_EQ(0xFFFFFFFEu, U32At(header, 4));
    EXPECT_EQ(4294967246u, U32At(header, 52));
    EXPECT_EQ(1073741811u, U32At(header, 44));
}

TEST(LargeFile, AConversionReaching4GiBStopsWithAFailureAndLeavesAValidFile) {
    const std::wstring path = LargeFilePath();
    if (!std::getenv("ZEP_TEST_LARGE_DIR") || !RoomForFourGiB(path))
        GTEST_SKIP() << "needs 4 GiB of room in ZEP_TEST_LARGE_DIR";
    const Bytes block(1u << 20, 0x33);
    CWaveFileACM wave;
    wave.SetSourceFormat(&Source);
    ASSERT_EQ(1, wave.OpenWrite(path));
    const uint64_t taken = WriteUntilRefused(wave, block, 5ull << 30);
    EXPECT_EQ(4095ull << 20, taken);
    EXPECT_EQ(0, wave.Close());

    uint64_t fileSize = 0;
    const Bytes header = Header(path, 56, fileSize);
    DeleteFileW(path.c_str());
    EXPECT_EQ(56 + taken, fileSize);
    EXPECT_EQ(fileSize - 8, U32At(header, 4));
    EXPECT_EQ(taken, U32At(header, 52));
    EXPECT_EQ(taken / 4, U32At(header, 44));
}
