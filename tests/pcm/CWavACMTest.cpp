#include "pcm/CWavACM.h"
#include "AcmTestSupport.h"
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace {

const WAVEFORMATEX Source = Pcm(44100, 2, 16);

// Collects what the converter hands on, as the file would receive it.
struct Collector {
    Bytes bytes;
    int calls = 0;
    static int Take(const void* data, int count, void* owner) {
        auto* self = static_cast<Collector*>(owner);
        const auto* first = static_cast<const uint8_t*>(data);
        self->bytes.insert(self->bytes.end(), first, first + count);
        ++self->calls;
        return count;
    }
    static int Refuse(const void*, int, void*) { return -1; }
};

Bytes Sine(DWORD frames) {
    Bytes bytes(frames * 4);
    for (DWORD i = 0; i < frames * 2; ++i) {
        const auto sample = static_cast<int16_t>(8000.0 * std::sin(i * 0.013));
        std::memcpy(&bytes[i * 2], &sample, 2);
    }
    return bytes;
}

} // namespace

TEST(CWavACM, OutputPortionsHoldWholeTargetBlocks) {
    EXPECT_EQ(12122u, CWavACM::OutputCapacityFor(418));
    EXPECT_EQ(12288u, CWavACM::OutputCapacityFor(2048));
    EXPECT_EQ(12285u, CWavACM::OutputCapacityFor(65));
    EXPECT_EQ(12288u, CWavACM::OutputCapacityFor(4));
    EXPECT_EQ(0u, CWavACM::OutputCapacityFor(0));
    EXPECT_EQ(0u, CWavACM::OutputCapacityFor(20000));
}

TEST(CWavACM, KeepsATargetRecordLongerThan256BytesWhole) {
    const Bytes record = Record(0x1234, 300, 100);
    CWavACM converter;
    ASSERT_EQ(1, converter.SetDestFormat(AsFormat(record)));
    const auto* kept = reinterpret_cast<const uint8_t*>(converter.GetDestFormat());
    EXPECT_EQ(record, Bytes(kept, kept + record.size()));
    EXPECT_EQ(318u, converter.GetFormatChunkSize());
}

TEST(CWavACM, ACodecRunsOneStreamWhenItsPcmIsTheSourceElseTwoStages) {
    const Bytes ima = SuggestedFormat(Source, WAVE_FORMAT_IMA_ADPCM);
    const Bytes gsm = DriverFormat(WAVE_FORMAT_GSM610, 8000, 1);
    ASSERT_FALSE(ima.empty() || gsm.empty());
    for (const Bytes* target : {&ima, &gsm}) {
        CWavACM converter;
        converter.SetSourceFormat(&Source);
        converter.SetDestFormat(AsFormat(*target));
        ASSERT_EQ(1, converter.PrepareWrite());
        EXPECT_EQ(target == &gsm, converter.HasIntermediate());
        EXPECT_EQ(20u, converter.GetFormatChunkSize());
        ASSERT_EQ(1, converter.OpenWriteStreams());
        EXPECT_EQ(CWavACM::OutputCapacityFor(AsFormat(*target)->nBlockAlign),
                  converter.GetOutputCapacity());
    }
}

TEST(CWavACM, RefusesANonPcmSourceAndFormatsWithoutBlockSize) {
    WAVEFORMATEX noBlocks = Pcm(8000, 1, 16);
    noBlocks.nBlockAlign = 0;
    const Bytes alaw = SuggestedFormat(Source, WAVE_FORMAT_ALAW);
    const WAVEFORMATEX* refusedPairs[][2] = {{AsFormat(alaw), nullptr},
                                             {AsFormat(alaw), &Source},
                                             {&Source, &noBlocks},
                                             {&noBlocks, nullptr}};
    for (const auto& pair : refusedPairs) {
        CWavACM converter;
        converter.SetSourceFormat(pair[0]);
        converter.SetDestFormat(pair[1]);
        EXPECT_EQ(0, converter.PrepareWrite());
    }
}

TEST(CWavACM, FewerBytesThanTheStagingBufferWaitForTheFlush) {
    const Bytes alaw = SuggestedFormat(Source, WAVE_FORMAT_ALAW);
    CWavACM converter;
    converter.SetSourceFormat(&Source);
    converter.SetDestFormat(AsFormat(alaw));
    ASSERT_EQ(1, converter.PrepareWrite());
    ASSERT_EQ(1, converter.OpenWriteStreams());
    Collector file;
    ASSERT_EQ(4000, converter.Convert(Sine(1000).data(), 4000, Collector::Take, &file));
    EXPECT_EQ(0, file.calls);
    ASSERT_EQ(1, converter.Flush(Collector::Take, &file));
    EXPECT_EQ(2000u, file.bytes.size());
    EXPECT_EQ(1000u, converter.GetFrameCount());
}

TEST(CWavACM, ConvertsStraightFromTheCallersBytesInWholePortions) {
    const Bytes alaw = SuggestedFormat(Source, WAVE_FORMAT_ALAW);
    CWavACM converter;
    converter.SetSourceFormat(&Source);
    converter.SetDestFormat(AsFormat(alaw));
    ASSERT_EQ(1, converter.PrepareWrite());
    ASSERT_EQ(1, converter.OpenWriteStreams());
    const DWORD staging = converter.GetStagingCapacity();
    const Bytes input = Sine(staging * 3 / 4 + 10);
    Collector file;
    ASSERT_EQ(
        static_cast<int>(input.size()),
        converter.Convert(input.data(), static_cast<DWORD>(input.size()), Collector::Take, &file));
    EXPECT_EQ(3, file.calls);
    EXPECT_EQ(3u * converter.GetOutputCapacity(), file.bytes.size());
    ASSERT_EQ(1, converter.Flush(Collector::Take, &file));
    EXPECT_EQ(input.size() / 2, file.bytes.size());
}

TEST(CWavACM, EndsTheLastPartialBlockWithSilenceInsteadOfDroppingIt) {
    const Bytes ima = SuggestedFormat(Source, WAVE_FORMAT_IMA_ADPCM);
    CWavACM converter;
    converter.SetSourceFormat(&Source);
    converter.SetDestFormat(AsFormat(ima));
    ASSERT_EQ(1, converter.PrepareWrite());
    ASSERT_EQ(1, converter.OpenWriteStreams());
    const DWORD blockAlign = AsFormat(ima)->nBlockAlign;
    const DWORD framesPerBlock = converter.GetStagingCapacity() /
                                 (converter.GetOutputCapacity() / blockAlign) / Source.nBlockAlign;
    const DWORD frames = framesPerBlock * 2 + 100;
    Collector file;
    ASSERT_EQ(static_cast<int>(frames * 4),
              converter.Convert(Sine(frames).data(), frames * 4, Collector::Take, &file));
    ASSERT_EQ(1, converter.Flush(Collector::Take, &file));
    EXPECT_EQ(3u * blockAlign, file.bytes.size());
    EXPECT_EQ(3u * framesPerBlock, converter.GetFrameCount());
}

namespace {

// What the ACM makes of the whole input in one call.
Bytes ConvertAtOnce(const WAVEFORMATEX& from, const WAVEFORMATEX& to, const Bytes& input) {
    CAcmStream stream;
    if (!stream.Open(&from, &to))
        return {};
    Bytes output(stream.DestSizeFor(static_cast<DWORD>(input.size())) + 4096);
    CAcmStream::Result result;
    if (!stream.Convert(input.data(), static_cast<DWORD>(input.size()), output.data(),
                        static_cast<DWORD>(output.size()), 0, result))
        return {};
    output.resize(result.produced);
    return output;
}

// Hands the input over in blocks of 1, 3, 1001, 40000, 7 and 100000 frames.
Bytes ConvertInBlocks(CWavACM& converter, const Bytes& input) {
    const DWORD frames[] = {1, 3, 1001, 40000, 7, 100000};
    Collector file;
    DWORD offset = 0;
    for (size_t i = 0; offset < input.size(); ++i) {
        const DWORD count = std::min<DWORD>(frames[i % std::size(frames)] * 4,
                                            static_cast<DWORD>(input.size()) - offset);
        EXPECT_EQ(static_cast<int>(count),
                  converter.Convert(input.data() + offset, count, Collector::Take, &file));
        offset += count;
    }
    EXPECT_EQ(1, converter.Flush(Collector::Take, &file));
    return file.bytes;
}

} // namespace

TEST(CWavACM, ResamplingInBlocksOfAnySizeGivesWhatOneWholeConversionGives) {
    const Bytes input = Sine(200000);
    for (const WAVEFORMATEX& target : {Pcm(22050, 1, 16), Pcm(48000, 2, 16), Pcm(32000, 2, 8)}) {
        CWavACM converter;
        converter.SetSourceFormat(&Source);
        converter.SetDestFormat(&target);
        ASSERT_EQ(1, converter.PrepareWrite());
        ASSERT_EQ(1, converter.OpenWriteStreams());
        const Bytes expected = ConvertAtOnce(Source, target, input);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(expected, ConvertInBlocks(converter, input)) << target.nSamplesPerSec << " Hz";
    }
}

TEST(CWavACM, TwoStagesInBlocksOfAnySizeGiveWhatOneWholeConversionGives) {
    const WAVEFORMATEX pcm8k = Pcm(8000, 1, 16);
    const Bytes alaw = SuggestedFormat(pcm8k, WAVE_FORMAT_ALAW);
    const Bytes input = Sine(200000);
    CWavACM converter;
    converter.SetSourceFormat(&Source);
    converter.SetDestFormat(AsFormat(alaw));
    ASSERT_EQ(1, converter.PrepareWrite());
    ASSERT_TRUE(converter.HasIntermediate());
    ASSERT_EQ(1, converter.OpenWriteStreams());
    const Bytes expected =
        ConvertAtOnce(pcm8k, *AsFormat(alaw), ConvertAtOnce(Source, pcm8k, input));
    ASSERT_FALSE(expected.empty());
    const Bytes written = ConvertInBlocks(converter, input);
    EXPECT_EQ(expected.size(), written.size());
    EXPECT_EQ(expected, written);
}
