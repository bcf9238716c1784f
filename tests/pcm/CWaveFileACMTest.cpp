#include "pcm/CWaveFileACM.h"
#include "AcmTestSupport.h"
#include <cstring>
#include <gtest/gtest.h>

namespace {

const WAVEFORMATEX Source = Pcm(44100, 2, 16);

Bytes FirstBytes(const WAVEFORMATEX& format, size_t count) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&format);
    return Bytes(bytes, bytes + count);
}

Bytes ReadAll(CWaveFileACM& wave, int requestSize) {
    Bytes all, block(static_cast<size_t>(requestSize));
    for (;;) {
        const int got = wave.Read(block.data(), requestSize);
        if (got <= 0) {
            EXPECT_EQ(0, got);
            return all;
        }
        all.insert(all.end(), block.begin(), block.begin() + got);
    }
}

} // namespace

TEST(CWaveFileACM, AnIdenticalPcmTargetWritesTheBytesUnchanged) {
    ScratchFile file(L"same.wav");
    const Bytes audio = Pattern(1000);
    CWaveFileACM wave;
    wave.SetSourceFormat(&Source);
    wave.SetDestFormat(&Source);
    ASSERT_EQ(1, wave.OpenWrite(file.Path()));
    ASSERT_EQ(1000, wave.Write(audio.data(), 1000));
    EXPECT_EQ(1, wave.Close());

    const Bytes bytes = ReadWholeFile(file.Path());
    ASSERT_EQ(1056u, bytes.size());
    EXPECT_EQ(16u, U32At(bytes, 16));
    EXPECT_EQ(FirstBytes(Source, 16), Slice(bytes, 20, 16));
    EXPECT_EQ(250u, U32At(bytes, 44));
    EXPECT_EQ(audio, Slice(bytes, 56, 1000));
}

TEST(CWaveFileACM, APcmTargetOfAnotherRateWritesItsFirst16Bytes) {
    ScratchFile file(L"rate.wav");
    const WAVEFORMATEX target = Pcm(22050, 1, 16);
    CWaveFileACM wave;
    wave.SetSourceFormat(&Source);
    wave.SetDestFormat(&target);
    ASSERT_EQ(1, wave.OpenWrite(file.Path()));
    const Bytes silence(44100 * 4, 0);
    ASSERT_EQ(44100 * 4, wave.Write(silence.data(), 44100 * 4));
    EXPECT_EQ(1, wave.Close());

    const Bytes bytes = ReadWholeFile(file.Path());
    EXPECT_EQ(16u, U32At(bytes, 16));
    EXPECT_EQ(FirstBytes(target, 16), Slice(bytes, 20, 16));
    EXPECT_EQ(22050u, U32At(bytes, 44)); // "fact": frames at the file's rate
    EXPECT_EQ(22050u * 2, U32At(bytes, 52));
}

TEST(CWaveFileACM, ACompressedTargetWritesItsWholeRecord) {
    ScratchFile file(L"ima.wav");
    const Bytes ima = SuggestedFormat(Source, WAVE_FORMAT_IMA_ADPCM);
    CWaveFileACM wave;
    wave.SetSourceFormat(&Source);
    wave.SetDestFormat(AsFormat(ima));
    ASSERT_EQ(1, wave.OpenWrite(file.Path()));
    EXPECT_EQ(1, wave.Close());

    const Bytes bytes = ReadWholeFile(file.Path());
    ASSERT_EQ(60u, bytes.size());
    EXPECT_EQ(20u, U32At(bytes, 16));
    EXPECT_EQ(ima, Slice(bytes, 20, 20));
    EXPECT_EQ(ByteImage().Tag("fact").U32(4).U32(0).Tag("data").U32(0).Get(), Slice(bytes, 40, 20));
}

TEST(CWaveFileACM, CloseConsumesTheTargetAndKeepsTheSource) {
    ScratchFile file(L"consumed.wav");
    const Bytes alaw = SuggestedFormat(Source, WAVE_FORMAT_ALAW);
    CWaveFileACM wave;
    wave.SetSourceFormat(&Source);
    wave.SetDestFormat(AsFormat(alaw));
    ASSERT_EQ(1, wave.OpenWrite(file.Path()));
    wave.Close();
    EXPECT_EQ(0, std::memcmp(&Source, wave.GetDestFormat(), sizeof Source));
}

TEST(CWaveFileACM, OpensOnceAndWritesOnlyWhileOpenForWriting) {
    ScratchFile file(L"once.wav");
    CWaveFileACM wave;
    wave.SetSourceFormat(&Source);
    EXPECT_EQ(0, wave.Write(Pattern(4).data(), 4));
    ASSERT_EQ(1, wave.OpenWrite(file.Path()));
    EXPECT_EQ(0, wave.OpenWrite(file.Path()));
    EXPECT_EQ(0, wave.OpenRead(file.Path()));
    Bytes buffer(16);
    EXPECT_EQ(0, wave.Read(buffer.data(), 16));
    EXPECT_EQ(4, wave.Write(Pattern(4).data(), 4));
    wave.Close();
    EXPECT_FALSE(wave.IsOpen());
    EXPECT_EQ(0, wave.Write(Pattern(4).data(), 4));
}

TEST(CWaveFileACM, MsAdpcmFailsCleanlyWhereTheSystemCannotEncodeIt) {
    ScratchFile file(L"msadpcm.wav");
    const Bytes msadpcm = SuggestedFormat(Source, WAVE_FORMAT_ADPCM);
    ASSERT_FALSE(msadpcm.empty());
    CWaveFileACM wave;
    wave.SetSourceFormat(&Source);
    wave.SetDestFormat(AsFormat(msadpcm));
    if (!RunningOnWine())
        GTEST_SKIP() << "Windows encodes MS ADPCM; the conversion tests cover it there";
    // Wine's driver decodes only: its stream cannot be opened.
    EXPECT_EQ(0, wave.OpenWrite(file.Path()));
    EXPECT_FALSE(wave.IsOpen());
    EXPECT_EQ(0, wave.Write(Pattern(4).data(), 4));
    // What was written before the failure stays, with the sizes of a file
    // that was never finished.
    const Bytes bytes = ReadWholeFile(file.Path());
    EXPECT_EQ(ByteImage().Tag("RIFF").U32(0).Tag("WAVE").Tag("fmt ").U32(50).Get(),
              Slice(bytes, 0, 20));
}

TEST(CWaveFileACM, ReadsAPcmFileBack) {
    ScratchFile file(L"pcmback.wav");
    const Bytes audio = Pattern(4000);
    {
        CWaveFileACM writer;
        writer.SetSourceFormat(&Source);
        ASSERT_EQ(1, writer.OpenWrite(file.Path()));
        ASSERT_EQ(4000, writer.Write(audio.data(), 4000));
    } // destruction closes and finishes the file
    CWaveFileACM reader;
    ASSERT_EQ(1, reader.OpenRead(file.Path()));
    EXPECT_EQ(0, std::memcmp(&Source, &reader.GetSourceFormat(), 16));
    EXPECT_EQ(audio, ReadAll(reader, 999));
    EXPECT_EQ(1, reader.Close());
}

TEST(CWaveFileACM, RefusesAFormatRecordLongerThanItsChunk) {
    ScratchFile file(L"longrecord.wav");
    WAVEFORMATEX head = Pcm(8000, 1, 4);
    head.wFormatTag = WAVE_FORMAT_IMA_ADPCM;
    head.nBlockAlign = 256;
    head.cbSize = 200; // but the chunk holds 20 bytes
    Bytes record = FirstBytes(head, sizeof head);
    record.push_back(0xF9);
    record.push_back(0x01);
    const Bytes chunks = ByteImage()
                             .Tag("fmt ")
                             .U32(20)
                             .Append(record)
                             .Tag("data")
                             .U32(256)
                             .Append(Bytes(256, 0))
                             .Get();
    const Bytes bytes = ByteImage()
                            .Tag("RIFF")
                            .U32(static_cast<uint32_t>(chunks.size() + 4))
                            .Tag("WAVE")
                            .Append(chunks)
                            .Get();
    ASSERT_TRUE(WriteWholeFile(file.Path(), bytes));
    CWaveFileACM reader;
    EXPECT_EQ(0, reader.OpenRead(file.Path()));
    EXPECT_FALSE(reader.IsOpen());
}
