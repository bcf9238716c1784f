#include "encode/CEncWMVWMA.h"
#include "TempFile.h"
#include "WMFakes.h"
#include "encode/CWmaEncoder.h"
#include "resources/ErrorNumbers.h"
#include <cstring>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>
#include <nserror.h>

using ::testing::ElementsAre;

namespace {

// The identifiers the writer expects, written out here as they are published.
const GUID kAudio = {0x73647561, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
const GUID kPcm = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
const GUID kWaveFormat = {
    0x05589F81, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};

class CEncWMVWMATest : public ::testing::Test {
  protected:
    void TearDown() override {
        encoder.reset();
        EXPECT_TRUE(wm.AllReleased());
    }
    void OpenWith(int rate, int channels, int bits) {
        ASSERT_EQ(0, encoder->LoadSystemProfile(1, 11, 24, 1));
        ASSERT_EQ(0, encoder->Open(L"C:\\out.wma", nullptr, 0, rate, channels, bits));
    }
    // A block whose bytes count up from a seed, so blocks differ.
    static std::vector<BYTE> Block(size_t size, BYTE seed = 0) {
        std::vector<BYTE> block(size);
        for (size_t i = 0; i < size; ++i)
            block[i] = static_cast<BYTE>(seed + i);
        return block;
    }
    int Write(const std::vector<BYTE>& block) {
        return encoder->WriteAudio(block.data(), static_cast<int>(block.size()));
    }
    std::vector<QWORD> Times() const {
        std::vector<QWORD> times;
        for (const WrittenSample& sample : wm.written)
            times.push_back(sample.time);
        return times;
    }

    FakeWM wm;
    std::unique_ptr<CEncWMVWMA> encoder = std::make_unique<CEncWMVWMA>(wm.Factory());
};

TEST_F(CEncWMVWMATest, TheAudioInputGetsThePcmTypeFieldByField) {
    OpenWith(44100, 2, 16);
    ASSERT_TRUE(wm.audio.typeSet);
    const WM_MEDIA_TYPE& type = wm.audio.typeGiven;
    EXPECT_TRUE(IsEqualGUID(kAudio, type.majortype));
    EXPECT_TRUE(IsEqualGUID(kPcm, type.subtype));
    EXPECT_EQ(1, type.bFixedSizeSamples);
    EXPECT_EQ(0, type.bTemporalCompression);
    EXPECT_EQ(44100u, type.lSampleSize) << "the rate, not the block size";
    EXPECT_TRUE(IsEqualGUID(kWaveFormat, type.formattype));
    EXPECT_EQ(nullptr, type.pUnk);
    EXPECT_EQ(18u, type.cbFormat);
    ASSERT_EQ(18u, wm.audio.formatGiven.size());
    WAVEFORMATEX format;
    std::memcpy(&format, wm.audio.formatGiven.data(), sizeof format);
    EXPECT_EQ(1, format.wFormatTag);
    EXPECT_EQ(2, format.nChannels);
    EXPECT_EQ(44100u, format.nSamplesPerSec);
    EXPECT_EQ(176400u, format.nAvgBytesPerSec);
    EXPECT_EQ(4, format.nBlockAlign);
    EXPECT_EQ(16, format.wBitsPerSample);
    EXPECT_EQ(0, format.cbSize);
    ASSERT_EQ(1u, wm.writer.inputPropsSet.size());
    EXPECT_EQ(0u, wm.writer.inputPropsSet[0].first);
    EXPECT_EQ(static_cast<IWMInputMediaProps*>(&wm.audio), wm.writer.inputPropsSet[0].second);
}

TEST_F(CEncWMVWMATest, MonoEightBitHasOneByteBlocks) {
    OpenWith(22050, 1, 8);
    WAVEFORMATEX format;
    std::memcpy(&format, wm.audio.formatGiven.data(), sizeof format);
    EXPECT_EQ(1, format.nBlockAlign);
    EXPECT_EQ(22050u, format.nAvgBytesPerSec);
    EXPECT_EQ(22050u, wm.audio.typeGiven.lSampleSize);
}

TEST_F(CEncWMVWMATest, TheLastAudioInputIsKeptWithItsNumber) {
    wm.writer.inputs = {&wm.audio, &wm.secondAudio};
    OpenWith(44100, 2, 16);
    EXPECT_EQ(0, wm.audio.refs);
    EXPECT_FALSE(wm.audio.typeSet);
    ASSERT_EQ(1u, wm.writer.inputPropsSet.size());
    EXPECT_EQ(1u, wm.writer.inputPropsSet[0].first);
    ASSERT_EQ(0, Write(Block(8)));
    EXPECT_EQ(1u, wm.written.at(0).input);
}

TEST_F(CEncWMVWMATest, BlocksAreTimedByTheBytesBeforeThem) {
    OpenWith(44100, 2, 16);
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(0, Write(Block(44100, static_cast<BYTE>(i))));
    ASSERT_EQ(0, Write(Block(100, 9)));
    EXPECT_THAT(Times(), ElementsAre(0u, 2500000u, 5000000u, 7500000u, 10000000u));
    for (const WrittenSample& sample : wm.written) {
        EXPECT_FALSE(sample.preprocessed);
        EXPECT_EQ(0u, sample.input);
        EXPECT_EQ(0u, sample.flags);
    }
    EXPECT_EQ(Block(44100, 3), wm.written[3].bytes);
    EXPECT_EQ(Block(100, 9), wm.written[4].bytes);
}

TEST_F(CEncWMVWMATest, SampleTimesAreTruncated) {
    OpenWith(44100, 1, 16);
    ASSERT_EQ(0, Write(Block(1)));
    ASSERT_EQ(0, Write(Block(1)));
    EXPECT_THAT(Times(), ElementsAre(0u, 113u)) << "10,000,000 / 88,200 = 113.4";
}

TEST_F(CEncWMVWMATest, NoSampleIsAskedForAnEmptyBlockOrWithoutAnAudioInput) {
    const BYTE data[4] = {};
    EXPECT_EQ(0, encoder->WriteAudio(data, 4)) << "not open";
    OpenWith(44100, 2, 16);
    EXPECT_EQ(0, encoder->WriteAudio(data, 0));
    EXPECT_EQ(0, encoder->WriteAudio(data, -4));
    EXPECT_TRUE(wm.samples.empty());
}

TEST_F(CEncWMVWMATest, RejectedSamplesGiveTheirNumbersAndStillCount) {
    OpenWith(44100, 2, 16);
    wm.writer.sampleResult = NS_E_INVALID_NUM_PASSES;
    EXPECT_EQ(814, Write(Block(44100)));
    wm.writer.sampleResult = E_FAIL;
    EXPECT_EQ(809, Write(Block(44100)));
    wm.writer.sampleResult = S_OK;
    EXPECT_EQ(0, Write(Block(4)));
    EXPECT_THAT(Times(), ElementsAre(0u, 2500000u, 5000000u));
}

TEST_F(CEncWMVWMATest, AFormatWithoutAByteRateGives809WithoutDividingByZero) {
    OpenWith(44100, 2, 4);
    EXPECT_EQ(809, Write(Block(16)));
    EXPECT_TRUE(wm.samples.empty());
}

TEST_F(CEncWMVWMATest, ASampleThatCannotBeAllocatedGives809) {
    OpenWith(44100, 2, 16);
    wm.writer.allocateResult = E_OUTOFMEMORY;
    EXPECT_EQ(809, Write(Block(16)));
    EXPECT_TRUE(wm.written.empty());
}

TEST_F(CEncWMVWMATest, ASampleTooShortForTheBlockGives809AndWritesNothing) {
    OpenWith(44100, 2, 16);
    wm.writer.sampleSlack = -4;
    EXPECT_EQ(809, Write(Block(16)));
    EXPECT_TRUE(wm.written.empty());
}

TEST_F(CEncWMVWMATest, ARoomierSampleGetsOnlyTheBlock) {
    OpenWith(44100, 2, 16);
    wm.writer.sampleSlack = 64;
    ASSERT_EQ(0, Write(Block(44100)));
    ASSERT_EQ(0, Write(Block(4)));
    EXPECT_EQ(44100u, wm.samples.at(0)->lengthSet);
    EXPECT_EQ(Block(44100), wm.written.at(0).bytes);
    EXPECT_THAT(Times(), ElementsAre(0u, 2500000u));
}

TEST_F(CEncWMVWMATest, TwoPassesPreprocessFirstThenWriteFromTimeZero) {
    TempFile profileFile({0xFF, 0xFE, '<', 0});
    wm.preprocessor.maxPasses = 2;
    encoder->SetTwoPass(1);
    ASSERT_EQ(0, encoder->LoadProfileFile(profileFile.path.c_str()));
    ASSERT_EQ(0, encoder->Open(L"C:\\out.wma", nullptr, 0, 44100, 2, 16));
    EXPECT_THAT(wm.preprocessor.calls, ElementsAre("GetMax(0,0)", "SetNum(0,0)2", "Begin(0,0)"));
    ASSERT_EQ(0, Write(Block(44100)));
    ASSERT_EQ(0, Write(Block(44100)));
    EXPECT_EQ(0, encoder->EndPass());
    EXPECT_EQ("End(0,0)", wm.preprocessor.calls.back());
    EXPECT_EQ(0, encoder->GetTwoPass());
    ASSERT_EQ(0, Write(Block(44100)));
    ASSERT_EQ(0, Write(Block(44100)));
    ASSERT_EQ(4u, wm.written.size());
    EXPECT_TRUE(wm.written[0].preprocessed && wm.written[1].preprocessed);
    EXPECT_FALSE(wm.written[2].preprocessed || wm.written[3].preprocessed);
    EXPECT_THAT(Times(), ElementsAre(0u, 2500000u, 0u, 2500000u));
}

TEST_F(CEncWMVWMATest, EndPassInOnePassTouchesNoPreprocessorAndKeepsTheTime) {
    OpenWith(44100, 2, 16);
    ASSERT_EQ(0, Write(Block(44100)));
    EXPECT_EQ(0, encoder->EndPass());
    ASSERT_EQ(0, Write(Block(4)));
    EXPECT_TRUE(wm.preprocessor.calls.empty());
    EXPECT_THAT(Times(), ElementsAre(0u, 2500000u));
}

TEST_F(CEncWMVWMATest, APreprocessingPassThatCannotEndGives813) {
    encoder->SetTwoPass(1);
    OpenWith(44100, 2, 16);
    wm.preprocessor.endResult = E_FAIL;
    EXPECT_EQ(813, encoder->EndPass());
    EXPECT_EQ(1, encoder->GetTwoPass());
}

TEST_F(CEncWMVWMATest, APreprocessorRejectingASampleGives809Or814) {
    encoder->SetTwoPass(1);
    OpenWith(44100, 2, 16);
    wm.preprocessor.sampleResult = NS_E_INVALID_NUM_PASSES;
    EXPECT_EQ(814, Write(Block(4)));
    wm.preprocessor.sampleResult = E_UNEXPECTED;
    EXPECT_EQ(809, Write(Block(4)));
}

// The writer holds the output file open: when it cannot end (a full disk),
// the conversion's encoder still lets go of it, so the file can be removed.
TEST_F(CEncWMVWMATest, AConversionWhoseWriterCannotEndLetsGoOfTheWriter) {
    OpenWith(44100, 2, 16);
    wm.writer.endResult = E_FAIL;
    CWmaEncoder conversion(*encoder);
    EXPECT_EQ(kWmaFinishFailed, conversion.Finish());
    EXPECT_EQ(0, wm.writer.refs);
    EXPECT_TRUE(wm.AllReleased());
}

// The tags go into the header before writing begins; a refused one keeps
// the file from being written.
TEST_F(CEncWMVWMATest, TheTagsAreTheHeadersAttributesBeforeWritingBegins) {
    CTagRecord record;
    record.title = L"夜明け";
    record.track = 3;
    record.frontCover = {"image/png", L"", {1, 2, 3}};
    CWmaEncoder conversion(*encoder);
    EXPECT_TRUE(conversion.TakeTags(record));
    OpenWith(44100, 2, 16);
    const auto& attributes = wm.writer.header.attributes;
    const std::wstring title(L"夜明け");
    const auto* bytes = reinterpret_cast<const BYTE*>(title.c_str());
    EXPECT_EQ(std::vector<BYTE>(bytes, bytes + 2 * (title.size() + 1)),
              attributes.at(L"Title").second);
    EXPECT_EQ(WMT_TYPE_DWORD, attributes.at(L"WM/TrackNumber").first);
    EXPECT_EQ(WMT_TYPE_BINARY, attributes.at(L"WM/Picture").first);
    EXPECT_EQ(attributes.size(), wm.writer.headerAtBegin);
    EXPECT_EQ(0, conversion.Finish());

    wm.writer.header.setResult = E_FAIL;
    conversion.TakeTags(record);
    ASSERT_EQ(0, encoder->LoadSystemProfile(1, 11, 24, 1));
    EXPECT_EQ(kTagWriteFailed, encoder->Open(L"C:\\out.wma", nullptr, 0, 44100, 2, 16));
    EXPECT_EQ(1, wm.writer.begins);
}

// An attribute is stored with a 16-bit length: a larger cover goes in
// through IWMHeaderInfo3, and a writer without it leaves the cover out,
// says so, and takes the other tags.
TEST_F(CEncWMVWMATest, ACoverOver64KBGoesInAsALargeAttributeOrIsLeftOutAndSaid) {
    CTagRecord record;
    record.title = L"Large";
    record.frontCover = {"image/png", L"", std::vector<unsigned char>(100000, 7)};
    FakeHeaderInfo& header = wm.writer.header;
    for (bool large : {true, false}) {
        SCOPED_TRACE(large ? "with IWMHeaderInfo3" : "without");
        header.offersLarge = large;
        header.attributes.clear();
        CWmaEncoder conversion(*encoder);
        conversion.TakeTags(record);
        OpenWith(44100, 2, 16);
        EXPECT_EQ(1u, header.attributes.count(L"Title"));
        EXPECT_EQ(0u, header.attributes.count(L"WM/Picture"));
        EXPECT_EQ(large, header.added.count(L"WM/Picture") == 1);
        EXPECT_EQ(0, conversion.Finish());
        EXPECT_EQ(!large, conversion.CoverLeftOut());
        header.added.clear();
    }
}

class PassSetupFailures : public CEncWMVWMATest,
                          public ::testing::WithParamInterface<HRESULT FakePreprocessor::*> {};

TEST_P(PassSetupFailures, Give810) {
    wm.preprocessor.*GetParam() = E_FAIL;
    encoder->SetTwoPass(1);
    ASSERT_EQ(0, encoder->LoadSystemProfile(1, 11, 24, 1));
    EXPECT_EQ(810, encoder->Open(L"C:\\out.wma", nullptr, 0, 44100, 2, 16));
    EXPECT_EQ(0, encoder->Close());
    EXPECT_EQ(0, encoder->GetTwoPass());
}

INSTANTIATE_TEST_SUITE_P(Steps, PassSetupFailures,
                         ::testing::Values(&FakePreprocessor::maxResult,
                                           &FakePreprocessor::setResult,
                                           &FakePreprocessor::beginResult));

} // namespace
