#include "tags/TagWriter.h"
#include "TagTestSupport.h"
#include "TestMedia.h"
#include "resources/ErrorNumbers.h"
#include "tags/TagReader.h"
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <windows.h>

namespace {

using Writer = int (*)(const std::wstring&, const CTagRecord&, bool*);

std::wstring Copy(const std::string& name, const std::string& copy) {
    CopyFileW(MediaPath(name).c_str(), MediaPath(copy).c_str(), FALSE);
    return MediaPath(copy);
}

// The file's size and its RIFF size field, without reading the file.
std::pair<uint64_t, uint32_t> Sizes(const std::wstring& path) {
    LARGE_INTEGER size = {};
    uint32_t riffSize = 0;
    DWORD read = 0;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    GetFileSizeEx(file, &size);
    SetFilePointer(file, 4, nullptr, FILE_BEGIN);
    ReadFile(file, &riffSize, 4, &read, nullptr);
    CloseHandle(file);
    return {size.QuadPart, riffSize};
}

// pcm.wav's 44-byte header with sizes for a file of the given size, whose
// data the file system does not store.
void MakeSparseWave(const std::wstring& path, uint64_t size) {
    std::vector<unsigned char> header = FileBytes(MediaPath("pcm.wav"));
    const uint32_t riffSize = static_cast<uint32_t>(size - 8), dataSize = riffSize - 36;
    std::memcpy(&header[4], &riffSize, 4);
    std::memcpy(&header[40], &dataSize, 4);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, header.data(), 44, &written, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
}

} // namespace

// check-tags.py reads the tagged copies on the host.
TEST(TagWriter, AnInputsRecordGoesIntoMp3AndWaveOutputsAndReplacesTheirTags) {
    const CTagRecord record = ReadTags(MediaPath("tagged.flac"));
    ASSERT_FALSE(record.frontCover.data.empty());
    CTagRecord stored = record; // ID3v2.3 keeps the year of the date
    stored.date = record.Year();
    const std::pair<const char*, Writer> outputs[] = {{"plain.mp3", WriteMp3Tags},
                                                      {"pcm.wav", WriteWaveTags},
                                                      {"l3.wav", WriteWaveTags},
                                                      {"odd.wav", WriteWaveTags}};
    for (const auto& output : outputs) {
        const std::wstring path = Copy(output.first, std::string("tagged-") + output.first);
        ASSERT_EQ(0, output.second(path, record, nullptr)) << output.first;
        const uint64_t once = Sizes(path).first;
        ASSERT_EQ(0, output.second(path, record, nullptr)) << output.first;
        EXPECT_EQ(once, Sizes(path).first) << output.first;
        EXPECT_EQ(Describe(stored), Describe(ReadTags(path))) << output.first;
    }
}

TEST(TagWriter, AnEmptyRecordWritesNothingAndAFileOfAnotherKindFails) {
    const CTagRecord record = ReadTags(MediaPath("info.wav"));
    ASSERT_FALSE(record.Empty());
    for (Writer write : {WriteMp3Tags, WriteWaveTags}) {
        const std::wstring path = Copy("pcm.wav", "untouched.wav");
        EXPECT_EQ(0, write(path, CTagRecord(), nullptr));
        EXPECT_EQ(FileBytes(MediaPath("pcm.wav")), FileBytes(path));
        EXPECT_EQ(kTagWriteFailed, write(MediaPath("missing.wav"), record, nullptr));
    }
    const std::wstring mp3 = Copy("plain.mp3", "untouched.wav");
    EXPECT_EQ(kTagWriteFailed, WriteWaveTags(mp3, record));
    EXPECT_EQ(FileBytes(MediaPath("plain.mp3")), FileBytes(mp3));
    DeleteFileW(mp3.c_str());
}

TEST(TagWriter, NearFourGiBTheTagLosesItsPictureOrIsLeftOutRatherThanOverflowAndSaysSo) {
    const CTagRecord record = ReadTags(MediaPath("tagged.flac"));
    ASSERT_FALSE(record.frontCover.data.empty());
    CTagRecord withoutPicture = record;
    withoutPicture.frontCover = {};
    const std::wstring path = Copy("pcm.wav", "large.wav");
    const uint64_t plain = Sizes(path).first;
    WriteWaveTags(path, record);
    const uint64_t whole = Sizes(path).first - plain;
    WriteWaveTags(path, withoutPicture);
    const uint64_t small = Sizes(path).first - plain;
    const uint64_t largest = 0xFFFFFFFFull + 7; // the largest even file the size field describes
    const struct {
        uint64_t size, growth;
        bool coverLeftOut;
    } cases[] = {{largest - whole, whole, false},
                 {largest - whole + 2, small, true},
                 {largest - small + 2, 0, true}};
    for (const auto& c : cases) {
        MakeSparseWave(path, c.size);
        bool coverLeftOut = !c.coverLeftOut;
        EXPECT_EQ(0, WriteWaveTags(path, record, &coverLeftOut));
        EXPECT_EQ(c.coverLeftOut, coverLeftOut) << c.size;
        const uint64_t size = c.size + c.growth;
        EXPECT_EQ(std::make_pair(size, static_cast<uint32_t>(size - 8)), Sizes(path)) << c.size;
    }
    DeleteFileW(path.c_str());
}
