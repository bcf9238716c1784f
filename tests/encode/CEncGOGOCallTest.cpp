// CEncGOGO as a library sees it: a recording fake gogo.dll, found through the
// DLL search path or the registry value that locates it.
#include "CMessageBoxWatcher.h"
#include "FakeGoGoHost.h"
#include "encode/CEncGOGO.h"
#include "framework/PathSplit.h"
#include "settings/TestRegistryBranch.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {
FakeGoGoHost host;
const wchar_t* const kGoGoKey = L"Software\\MarineCat\\GOGO_DLL";

// The registry value that locates gogo.dll, removed again afterwards.
class GoGoRegistryValue {
  public:
    explicit GoGoRegistryValue(const std::wstring& path) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kGoGoKey, L"INSTPATH", REG_SZ, path.c_str(),
                        static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    }
    ~GoGoRegistryValue() { Remove(); }
    static void Remove() {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kGoGoKey, L"INSTPATH");
        RegDeleteKeyW(HKEY_CURRENT_USER, kGoGoKey);
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\MarineCat");
    }
};

std::vector<unsigned char> Pattern(size_t size) {
    std::vector<unsigned char> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + i / 251 + 1);
    return bytes;
}
} // namespace

extern "C" __declspec(dllexport) FakeGoGoHost* FakeGoGoHostState() { return &host; }

class CEncGOGOCalls : public ::testing::Test {
  protected:
    void SetUp() override {
        host = FakeGoGoHost{};
        host.frameBytes = 4608;
        host.watchedPath = path.c_str();
        UseLibrary(L"fake-full");
        settings.vbr = 0;
        settings.cbrKbps = 128;
    }
    void TearDown() override {
        encoder.reset();
        SetDllDirectoryW(nullptr);
    }
    static void UseLibrary(const wchar_t* folder) {
        SetDllDirectoryW(folder ? (ExecutableFolder() + folder).c_str() : L"");
    }
    int Start(int riff = 0) { return encoder->Start(format, path, riff, settings); }
    int Write(const std::vector<unsigned char>& bytes) {
        return encoder->Write(bytes.data(), static_cast<int>(bytes.size()));
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int i = 0; i < host.callCount; ++i)
            names.push_back(host.calls[i].name);
        return names;
    }
    std::vector<int> Items() const {
        std::vector<int> items;
        for (int i = 0; i < host.callCount; ++i)
            if (host.calls[i].item)
                items.push_back(host.calls[i].item);
        return items;
    }
    const FakeGoGoCall& Item(int item) const {
        for (int i = 0; i < host.callCount; ++i)
            if (host.calls[i].item == item)
                return host.calls[i];
        return host.calls[63];
    }
    int Count(const std::string& name) const {
        auto names = Names();
        return static_cast<int>(std::count(names.begin(), names.end(), name));
    }

    TestRegistryBranch branch; // before every settings record
    TestFolder folder;
    std::wstring path = folder.path + L"out.mp3";
    CMp3Options settings;
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    std::unique_ptr<CEncGOGO> encoder = std::make_unique<CEncGOGO>();
};

TEST_F(CEncGOGOCalls, ConstantBitRateSetsInputModeBitRateAndOutputInOrder) {
    settings.channelMode = 2;
    ASSERT_EQ(0, Start());
    EXPECT_EQ((std::vector<int>{1, 3, 4, 2, 32}), Items());
    EXPECT_EQ("initializeWork", Names().front());
    EXPECT_EQ("detectConfigure", Names().back());
    const FakeGoGoCall& input = Item(1);
    EXPECT_EQ(2u, input.value1);
    EXPECT_EQ(0xFFFFFFFFu, input.input.length);
    EXPECT_EQ(16u, input.input.bitsPerSample);
    EXPECT_EQ(44100u, input.input.samplesPerSecond);
    EXPECT_EQ(2u, input.input.channels);
    EXPECT_EQ(2u, Item(3).value1);
    EXPECT_EQ(128u, Item(4).value1);
    EXPECT_EQ(3u, Item(2).value1);
    EXPECT_NE(0u, Item(2).value2);
}

TEST_F(CEncGOGOCalls, VariableBitRateSetsQualityBitRateAndLimits) {
    settings.vbr = 1;
    settings.vbrQuality = 3;
    settings.vbrKbps = 64;
    ASSERT_EQ(0, Start());
    EXPECT_EQ((std::vector<int>{1, 3, 18, 4, 30, 2, 32}), Items());
    EXPECT_EQ(3u, Item(18).value1);
    EXPECT_EQ(64u, Item(4).value1);
    EXPECT_EQ(64u, Item(30).value1);
    EXPECT_EQ(160u, Item(30).value2);
}

TEST_F(CEncGOGOCalls, Layer3WaveAddsItem26BeforeTheOutputFileIsOpened) {
    ASSERT_EQ(0, Start(1));
    EXPECT_EQ((std::vector<int>{1, 3, 4, 26, 2, 32}), Items());
    EXPECT_EQ(1u, Item(26).value1);
    EXPECT_FALSE(Item(26).outputFileFound);
    EXPECT_TRUE(Item(2).outputFileFound);
}

TEST_F(CEncGOGOCalls, FramesAreEncodedOnlyAbove10000QueuedBytes) {
    ASSERT_EQ(0, Start());
    EXPECT_EQ(0, Write(Pattern(10000)));
    EXPECT_EQ(0, Count("processFrame"));
    EXPECT_EQ(0, Write(Pattern(1)));
    EXPECT_EQ(1, Count("processFrame"));
}

TEST_F(CEncGOGOCalls, FrameResultOneIsSuccessAndOthersAreReturned) {
    ASSERT_EQ(0, Start());
    host.frameResult = 1;
    EXPECT_EQ(0, Write(Pattern(20000)));
    host.frameResult = 7;
    EXPECT_EQ(7, Write(Pattern(20000)));
}

TEST_F(CEncGOGOCalls, InputFunctionZeroFillsWhatIsMissingAndReportsTheEnd) {
    std::vector<unsigned char> sink(16000);
    host.sink = sink.data();
    host.sinkCapacity = sink.size();
    host.frameBytes = 16000;
    ASSERT_EQ(0, Start());
    auto block = Pattern(12000);
    ASSERT_EQ(0, Write(block));
    ASSERT_EQ(1, Count("processFrame"));
    EXPECT_EQ(1, host.lastInputResult);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), sink.begin()));
    EXPECT_TRUE(std::all_of(sink.begin() + 12000, sink.end(), [](unsigned char b) { return !b; }));
}

TEST_F(CEncGOGOCalls, ABlockOfSeveralMegabytesReachesTheLibraryWholeAndInOrder) {
    auto block = Pattern(6 * 1024 * 1024 + 123);
    std::vector<unsigned char> sink(block.size() + host.frameBytes);
    host.sink = sink.data();
    host.sinkCapacity = sink.size();
    ASSERT_EQ(0, Start());
    ASSERT_EQ(0, Write(block));
    ASSERT_EQ(0, encoder->Finish());
    ASSERT_GE(host.sinkSize, block.size());
    EXPECT_TRUE(std::equal(block.begin(), block.end(), sink.begin()));
    EXPECT_EQ(1, host.lastInputResult);
}

TEST_F(CEncGOGOCalls, OutputFunctionWritesAndRewindsToRewriteTheStart) {
    host.frameOutput = 100;
    ASSERT_EQ(0, Start());
    ASSERT_EQ(0, Write(Pattern(20000)));
    ASSERT_EQ(0, encoder->Finish());
    EXPECT_EQ(500, host.rewindResult); // five frames written before the rewind
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    char head[8] = {};
    DWORD read = 0;
    ReadFile(file, head, 7, &read, nullptr);
    EXPECT_EQ(500u, GetFileSize(file, nullptr));
    CloseHandle(file);
    EXPECT_STREQ("HEADe", head) << "HEAD over the first frame's \"frame\"";
}

TEST_F(CEncGOGOCalls, FileErrorsReachTheLibraryAs24) {
    ASSERT_EQ(0, Start());
    encoder->Close();
    char bytes[4] = {};
    EXPECT_EQ(24, host.output(bytes, 4));
    EXPECT_EQ(24, host.output(nullptr, 0));
}

TEST_F(CEncGOGOCalls, RefusedSettingsAndFailedStepsGiveTheirNumbers) {
    host.detectResult = 13;
    EXPECT_EQ(-5, Start());
    host.detectResult = 4;
    EXPECT_EQ(-3, Start());
    host.detectResult = 0;
    host.initializeResult = 5;
    EXPECT_EQ(-2, Start());
    host.initializeResult = 0;
    host.callCount = 0;
    path = folder.path + L"missing\\out.mp3";
    host.watchedPath = path.c_str();
    EXPECT_EQ(6001, Start());
    EXPECT_EQ((std::vector<int>{1, 3, 4}), Items());
    EXPECT_EQ(0, Count("detectConfigure"));
}

TEST_F(CEncGOGOCalls, FinishEncodesTheRestClosesTheCoderAndReportsItsFailure) {
    host.closeResult = 24;
    ASSERT_EQ(0, Start());
    ASSERT_EQ(0, Write(Pattern(5000)));
    EXPECT_EQ(24, encoder->Finish());
    EXPECT_EQ(2, Count("processFrame")); // 5000 bytes in frames of 4608
    EXPECT_EQ(1, Count("closeCoder"));
    EXPECT_EQ(501, Write(Pattern(1))) << "no queue after Finish";
}

TEST_F(CEncGOGOCalls, ALibraryWithoutUnitStatesIsRefusedAndReleased) {
    UseLibrary(L"fake-no-unit-states");
    CMessageBoxWatcher boxes;
    EXPECT_EQ(-2, Start());
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(L"Gogo.DLL was not correct.", boxes.Boxes()[0].text);
    EXPECT_EQ(1, boxes.Boxes()[0].buttons);
    EXPECT_EQ(nullptr, GetModuleHandleW(L"gogo.dll"));
    EXPECT_EQ(0, encoder->Finish());
    EXPECT_EQ(0, host.callCount);
}

TEST_F(CEncGOGOCalls, ALibraryWithoutOnlyCloseCoderLoadsAndFinishSkipsTheClose) {
    UseLibrary(L"fake-no-close");
    ASSERT_EQ(0, Start());
    ASSERT_EQ(0, Write(Pattern(20000)));
    EXPECT_EQ(0, encoder->Finish());
    EXPECT_GT(Count("processFrame"), 0);
    EXPECT_EQ(0, Count("closeCoder"));
}

TEST_F(CEncGOGOCalls, NoLibraryAndNoRegistryValueTellsTheUser) {
    UseLibrary(nullptr);
    GoGoRegistryValue::Remove();
    CMessageBoxWatcher boxes;
    EXPECT_EQ(-2, Start());
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(L"It failed in reading GOGO.DLL", boxes.Boxes()[0].text);
    EXPECT_EQ(0, encoder->Finish());
    EXPECT_EQ(0, host.callCount);
}

TEST_F(CEncGOGOCalls, TheRegistryValueLocatesALibraryOutsideTheSearchPath) {
    UseLibrary(nullptr);
    GoGoRegistryValue value(ExecutableFolder() + L"fake-full\\gogo.dll");
    CMessageBoxWatcher boxes;
    EXPECT_EQ(0, Start());
    EXPECT_EQ("initializeWork", Names().front());
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(CEncGOGOCalls, TheLibraryStaysLoadedAcrossConversionsAndLeavesWhenTheCoderEnds) {
    ASSERT_EQ(0, Start());
    encoder->Finish();
    ASSERT_EQ(0, Start());
    encoder->Finish();
    EXPECT_EQ(1, host.attachCount);
    EXPECT_EQ(2, Count("initializeWork"));
    encoder.reset();
    EXPECT_EQ(1, Count("endCoder"));
    EXPECT_EQ(nullptr, GetModuleHandleW(L"gogo.dll"));
}

TEST_F(CEncGOGOCalls, ALibraryWhoseCoderCannotEndStaysLoaded) {
    host.endResult = 1;
    ASSERT_EQ(0, Start());
    encoder.reset();
    HMODULE library = GetModuleHandleW(L"gogo.dll");
    EXPECT_NE(nullptr, library);
    FreeLibrary(library); // for the tests after this one
}

TEST_F(CEncGOGOCalls, CallbacksAfterTheEncoderIsGoneTouchNothing) {
    ASSERT_EQ(0, Start());
    encoder.reset();
    unsigned char buffer[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(1, host.input(buffer, 8));
    EXPECT_TRUE(std::all_of(buffer, buffer + 8, [](unsigned char b) { return !b; }));
    EXPECT_EQ(24, host.output(buffer, 8));
}

// A library that does not know our item (answering it, but not with 1) is
// asked to run one conversion at a time.
TEST_F(CEncGOGOCalls, ALibraryWithoutThreadEncodersIsNotTakenForOne) {
    CGoGoStab library;
    ASSERT_EQ(0, library.Load());
    EXPECT_FALSE(library.HasThreadEncoders());
}
