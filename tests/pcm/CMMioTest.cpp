#include "pcm/CMMio.h"
#include "AcmTestSupport.h"
#include <gtest/gtest.h>

namespace {

// Writes a file the way its one user does: format record, data, frame count.
Bytes WriteWave(const Bytes& format, const Bytes& audio, DWORD factValue,
                DWORD announcedFormatSize = 0) {
    ScratchFile file(L"written.wav");
    CMMio mmio;
    const DWORD formatSize =
        announcedFormatSize ? announcedFormatSize : static_cast<DWORD>(format.size());
    EXPECT_EQ(1, mmio.OpenWrite(file.Path(), formatSize));
    EXPECT_EQ(static_cast<int>(format.size()),
              mmio.Write(format.data(), static_cast<int>(format.size())));
    EXPECT_EQ(1, mmio.BeginData(0));
    if (!audio.empty()) {
        EXPECT_EQ(static_cast<int>(audio.size()),
                  mmio.Write(audio.data(), static_cast<int>(audio.size())));
    }
    EXPECT_EQ(1, mmio.EndDataWithFact(factValue));
    mmio.Close();
    return ReadWholeFile(file.Path());
}

Bytes PcmRecord16() {
    WAVEFORMATEX pcm = Pcm(44100, 2, 16);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&pcm);
    return Bytes(bytes, bytes + 16);
}

// A RIFF file of the given chunks, each given whole (header included).
Bytes RiffFile(const char* form, const Bytes& chunks) {
    return ByteImage()
        .Tag("RIFF")
        .U32(static_cast<uint32_t>(chunks.size() + 4))
        .Tag(form)
        .Append(chunks)
        .Get();
}

Bytes Chunk(const char* id, const Bytes& content) {
    ByteImage chunk;
    chunk.Tag(id).U32(static_cast<uint32_t>(content.size())).Append(content);
    if (content.size() % 2)
        chunk.Append({0});
    return chunk.Get();
}

} // namespace

TEST(CMMio, WritesTheThousandBytePcmExampleByteForByte) {
    const Bytes audio = Pattern(1000);
    const Bytes file = WriteWave(PcmRecord16(), audio, 250);

    const Bytes header = ByteImage()
                             .Tag("RIFF")
                             .U32(1048)
                             .Tag("WAVE")
                             .Tag("fmt ")
                             .U32(16)
                             .U16(1)
                             .U16(2)
                             .U32(44100)
                             .U32(176400)
                             .U16(4)
                             .U16(16)
                             .Tag("fact")
                             .U32(4)
                             .U32(250)
                             .Tag("data")
                             .U32(1000)
                             .Get();
    ASSERT_EQ(1056u, file.size());
    EXPECT_EQ(header, Slice(file, 0, 56));
    EXPECT_EQ(audio, Slice(file, 56, 1000));
}

TEST(CMMio, PadsAnOddDataSizeAndCountsThePadInTheRiffSize) {
    const Bytes file = WriteWave(PcmRecord16(), Pattern(1001), 250);
    ASSERT_EQ(1058u, file.size());
    EXPECT_EQ(1050u, U32At(file, 4));
    EXPECT_EQ(1001u, U32At(file, 52));
    EXPECT_EQ(0, file[1057]);
}

TEST(CMMio, PadsANineteenByteFormatRecordSoFactStartsAt40) {
    const Bytes record = Pattern(19);
    const Bytes file = WriteWave(record, Pattern(8), 2);
    ASSERT_EQ(68u, file.size());
    EXPECT_EQ(19u, U32At(file, 16));
    EXPECT_EQ(record, Slice(file, 20, 19));
    EXPECT_EQ(0, file[39]);
    EXPECT_EQ(ByteImage().Tag("fact").U32(4).U32(2).Get(), Slice(file, 40, 12));
    EXPECT_EQ(ByteImage().Tag("data").U32(8).Get(), Slice(file, 52, 8));
    EXPECT_EQ(60u, U32At(file, 4));
}

TEST(CMMio, AThirtyByteFormatChunkPutsFactAt50AndAudioAt70) {
    const Bytes record = Record(WAVE_FORMAT_MPEGLAYER3, 12, 1);
    const Bytes audio = Pattern(100);
    const Bytes file = WriteWave(record, audio, 1152);
    ASSERT_EQ(170u, file.size());
    EXPECT_EQ(30u, U32At(file, 16));
    EXPECT_EQ(record, Slice(file, 20, 30));
    EXPECT_EQ(ByteImage().Tag("fact").U32(4).U32(1152).Tag("data").U32(100).Get(),
              Slice(file, 50, 20));
    EXPECT_EQ(audio, Slice(file, 70, 100));
}

TEST(CMMio, ClosingWithoutEndingKeepsTheSizesItWasCreatedWith) {
    ScratchFile file(L"unfinished.wav");
    {
        CMMio mmio;
        ASSERT_EQ(1, mmio.OpenWrite(file.Path(), 16));
        ASSERT_EQ(16, mmio.Write(PcmRecord16().data(), 16));
        ASSERT_EQ(1, mmio.BeginData(0));
        ASSERT_EQ(10, mmio.Write(Pattern(10).data(), 10));
        mmio.Close();
        EXPECT_FALSE(mmio.IsOpen());
    }
    const Bytes bytes = ReadWholeFile(file.Path());
    ASSERT_EQ(66u, bytes.size());
    EXPECT_EQ(0u, U32At(bytes, 4));
    EXPECT_EQ(0u, U32At(bytes, 44));
    EXPECT_EQ(0u, U32At(bytes, 52));
}

TEST(CMMio, FindsTheDataBehindAListChunkAndUnknownChunks) {
    ScratchFile file(L"list.wav");
    const Bytes audio = Pattern(6);
    const Bytes chunks = ByteImage()
                             .Append(Chunk("JUNK", Pattern(3)))
                             .Append(Chunk("fmt ", PcmRecord16()))
                             .Append(Chunk("LIST", Pattern(5)))
                             .Append(Chunk("fact", Pattern(4)))
                             .Append(Chunk("data", audio))
                             .Get();
    ASSERT_TRUE(WriteWholeFile(file.Path(), RiffFile("WAVE", chunks)));

    CMMio mmio;
    ASSERT_EQ(1, mmio.OpenRead(file.Path()));
    Bytes format(4);
    ASSERT_EQ(4, mmio.Read(format.data(), 4)); // the rest of the record is skipped
    ASSERT_EQ(1, mmio.FindData());
    EXPECT_EQ(6u, mmio.GetDataSize());
    Bytes data(6);
    ASSERT_EQ(6, mmio.Read(data.data(), 6));
    EXPECT_EQ(audio, data);
}

TEST(CMMio, RefusesAFourteenByteFormatChunk) {
    ScratchFile file(L"fmt14.wav");
    const Bytes chunks = ByteImage()
                             .Append(Chunk("fmt ", Slice(PcmRecord16(), 0, 14)))
                             .Append(Chunk("data", Pattern(4)))
                             .Get();
    ASSERT_TRUE(WriteWholeFile(file.Path(), RiffFile("WAVE", chunks)));
    CMMio mmio;
    EXPECT_EQ(0, mmio.OpenRead(file.Path()));
    EXPECT_EQ(14u, mmio.GetFormatSize());
}

TEST(CMMio, RefusesARiffFormThatIsNotWave) {
    ScratchFile file(L"avi.wav");
    const Bytes chunks =
        ByteImage().Append(Chunk("fmt ", PcmRecord16())).Append(Chunk("data", Pattern(4))).Get();
    ASSERT_TRUE(WriteWholeFile(file.Path(), RiffFile("AVI ", chunks)));
    CMMio mmio;
    EXPECT_EQ(0, mmio.OpenRead(file.Path()));
}

TEST(CMMio, AReadPastTheEndFailsInsteadOfReturningLess) {
    ScratchFile file(L"short.wav");
    ASSERT_TRUE(WriteWholeFile(file.Path(), WriteWave(PcmRecord16(), Pattern(10), 1)));
    CMMio mmio;
    ASSERT_EQ(1, mmio.OpenRead(file.Path()));
    Bytes format(16);
    ASSERT_EQ(16, mmio.Read(format.data(), 16));
    ASSERT_EQ(1, mmio.FindData());
    Bytes data(11);
    EXPECT_EQ(0, mmio.Read(data.data(), 11));
}
