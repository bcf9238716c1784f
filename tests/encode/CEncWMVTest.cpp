#include "TempFile.h"
#include "WMFakes.h"
#include "encode/CEncWMVWMA.h"
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>

using ::testing::ElementsAre;

namespace {

class CEncWMVTest : public ::testing::Test {
  protected:
    void TearDown() override {
        encoder.reset();
        EXPECT_TRUE(wm.AllReleased());
    }
    int OpenStereo(const wchar_t* path = L"C:\\out.wma") {
        return encoder->Open(path, nullptr, 0, 44100, 2, 16);
    }

    FakeWM wm;
    std::unique_ptr<CEncWMVWMA> encoder = std::make_unique<CEncWMVWMA>(wm.Factory());
};

// Profile selection

struct SystemProfileCase {
    int selector;
    WMT_VERSION version;
    DWORD number;
};

class SystemProfileSelection : public CEncWMVTest,
                               public ::testing::WithParamInterface<SystemProfileCase> {};

TEST_P(SystemProfileSelection, LoadsTheSelectedVersionWithTheZeroBasedNumber) {
    const SystemProfileCase& expected = GetParam();
    EXPECT_EQ(0, encoder->LoadSystemProfile(expected.selector, 11, 24, 1));
    EXPECT_THAT(wm.manager.versionsSet, ElementsAre(expected.version));
    EXPECT_THAT(wm.manager.systemLoads, ElementsAre(expected.number));
    EXPECT_EQ(2, wm.manager.handedOut) << "the manager and its second interface";
    EXPECT_EQ(0, wm.manager.refs) << "both released after the load";
    EXPECT_EQ(1, wm.profile.refs);
}

INSTANTIATE_TEST_SUITE_P(Selectors, SystemProfileSelection,
                         ::testing::Values(SystemProfileCase{0, WMT_VER_4_0, 10},
                                           SystemProfileCase{1, WMT_VER_7_0, 23},
                                           SystemProfileCase{2, WMT_VER_8_0, 0}));

TEST_F(CEncWMVTest, AnUnknownSelectorLoadsNothingAndSucceeds) {
    EXPECT_EQ(0, encoder->LoadSystemProfile(3, 11, 24, 1));
    EXPECT_TRUE(wm.manager.versionsSet.empty());
    EXPECT_TRUE(wm.manager.systemLoads.empty());
    EXPECT_EQ(0, wm.manager.refs);
}

TEST_F(CEncWMVTest, AManagerThatCannotBeCreatedGives3001) {
    wm.createManagerResult = E_OUTOFMEMORY;
    EXPECT_EQ(3001, encoder->LoadSystemProfile(1, 11, 24, 1));
}

TEST_F(CEncWMVTest, AManagerWithoutItsSecondInterfaceGives3001) {
    wm.manager.offersVersion2 = false;
    EXPECT_EQ(3001, encoder->LoadSystemProfile(1, 11, 24, 1));
    EXPECT_EQ(0, wm.manager.refs);
}

TEST_F(CEncWMVTest, AFailedLoadGives3001) {
    wm.manager.loadResult = E_NOTIMPL;
    EXPECT_EQ(3001, encoder->LoadSystemProfile(0, 11, 24, 1));
}

TEST_F(CEncWMVTest, ARefusedVersionIsLeftForTheLoadToShow) {
    wm.manager.setVersionResult = E_NOTIMPL;
    EXPECT_EQ(0, encoder->LoadSystemProfile(1, 11, 24, 1));
}

TEST_F(CEncWMVTest, AStoredIndexOfZeroAsksForNoExistingProfile) {
    EXPECT_EQ(3001, encoder->LoadSystemProfile(0, 0, 24, 1));
    EXPECT_THAT(wm.manager.systemLoads, ElementsAre(0xFFFFFFFFu));
}

TEST_F(CEncWMVTest, LoadingAProfileReleasesTheWriterHeldBefore) {
    ASSERT_EQ(0, encoder->LoadSystemProfile(1, 11, 24, 1));
    ASSERT_EQ(0, OpenStereo());
    EXPECT_EQ(0, encoder->LoadSystemProfile(1, 11, 24, 1));
    EXPECT_EQ(0, wm.writer.refs);
    EXPECT_EQ(0, wm.audio.refs);
    EXPECT_EQ(1, wm.profile.refs);
}

TEST_F(CEncWMVTest, SystemProfilesAreCountedForTheVersionAsked) {
    wm.manager.profilesPerVersion = 14;
    EXPECT_EQ(14, CEncWMV::GetSystemProfileCount(0x70000, wm.Factory()));
    EXPECT_THAT(wm.manager.versionsSet, ElementsAre(WMT_VER_7_0));
    EXPECT_EQ(0, wm.manager.refs);
}

TEST_F(CEncWMVTest, SystemProfilesCountZeroWhenAnyStepFails) {
    wm.manager.setVersionResult = E_NOTIMPL;
    EXPECT_EQ(0, CEncWMV::GetSystemProfileCount(0x40000, wm.Factory()));
    wm.manager.setVersionResult = S_OK;
    wm.manager.offersVersion2 = false;
    EXPECT_EQ(0, CEncWMV::GetSystemProfileCount(0x40000, wm.Factory()));
    wm.createManagerResult = E_FAIL;
    EXPECT_EQ(0, CEncWMV::GetSystemProfileCount(0x40000, wm.Factory()));
    EXPECT_EQ(0, CEncWMV::GetSystemProfileCount(0x40000, WMFactory{}));
}

TEST_F(CEncWMVTest, WithoutTheLibraryEveryStepFailsWithItsNumber) {
    CEncWMVWMA bare{WMFactory{}};
    EXPECT_EQ(3001, bare.LoadSystemProfile(1, 11, 24, 1));
    EXPECT_EQ(3004, bare.LoadProfileFile(L"C:\\none.prx"));
    EXPECT_EQ(3002, bare.Open(L"C:\\out.wma", nullptr, 0, 44100, 2, 16));
    EXPECT_EQ(0, bare.Close());
}

// Profile files

TEST_F(CEncWMVTest, AnEmptyOrMissingProfilePathGives3004) {
    EXPECT_EQ(3004, encoder->LoadProfileFile(L""));
    EXPECT_EQ(3004, encoder->LoadProfileFile(nullptr));
    EXPECT_EQ(3004, encoder->LoadProfileFile(L"C:\\no such folder\\none.prx"));
    EXPECT_TRUE(wm.manager.texts.empty());
}

TEST_F(CEncWMVTest, AProfileFileReachesTheManagerWithItsByteOrderMark) {
    TempFile file({0xFF, 0xFE, '<', 0, 'p', 0});
    EXPECT_EQ(0, encoder->LoadProfileFile(file.path.c_str()));
    // The text ends at the two zero bytes after the file's own.
    EXPECT_THAT(wm.manager.texts, ElementsAre(std::wstring{0xFEFF, L'<', L'p'}));
    EXPECT_EQ(1, wm.profile.refs);
    EXPECT_EQ(0, wm.manager.refs);
}

TEST_F(CEncWMVTest, AnOddSizedProfileFileStillEndsInAWholeZeroCharacter) {
    TempFile file({'<', 'a', '>'});
    std::vector<wchar_t> text;
    ASSERT_EQ(S_OK, CEncWMV::ReadProfileText(file.path.c_str(), text));
    // Three bytes of the file, a zero byte to complete the character, two for the end.
    EXPECT_THAT(text, ElementsAre(wchar_t(0x613C), wchar_t(0x003E), wchar_t(0)));
    EXPECT_EQ(0, encoder->LoadProfileFile(file.path.c_str()));
    EXPECT_THAT(wm.manager.texts, ElementsAre(std::wstring{wchar_t(0x613C), wchar_t(0x003E)}));
}

TEST_F(CEncWMVTest, AnEvenSizedProfileFileGetsExactlyTwoZeroBytes) {
    TempFile file({0xFF, 0xFE, '<', 0});
    std::vector<wchar_t> text;
    ASSERT_EQ(S_OK, CEncWMV::ReadProfileText(file.path.c_str(), text));
    EXPECT_THAT(text, ElementsAre(wchar_t(0xFEFF), L'<', wchar_t(0)));
}

TEST_F(CEncWMVTest, ARejectedProfileTextGives3004) {
    TempFile file({0xFF, 0xFE, '<', 0});
    wm.manager.loadResult = E_INVALIDARG;
    EXPECT_EQ(3004, encoder->LoadProfileFile(file.path.c_str()));
    EXPECT_EQ(1u, wm.manager.texts.size());
}

TEST_F(CEncWMVTest, AnOversizedProfileFileNeverReachesTheManager) {
    TempFile file({0});
    HANDLE handle =
        CreateFileW(file.path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = 17 * 1024 * 1024;
    SetFilePointerEx(handle, size, nullptr, FILE_BEGIN);
    SetEndOfFile(handle);
    CloseHandle(handle);
    EXPECT_EQ(3004, encoder->LoadProfileFile(file.path.c_str()));
    EXPECT_TRUE(wm.manager.texts.empty());
}

TEST_F(CEncWMVTest, ADeviceIsNoProfileFile) {
    HANDLE device =
        CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, device);
    EXPECT_NE(static_cast<DWORD>(FILE_TYPE_DISK), GetFileType(device));
    CloseHandle(device);
    EXPECT_EQ(3004, encoder->LoadProfileFile(L"NUL"));
    EXPECT_TRUE(wm.manager.texts.empty());
}

// Opening and closing

TEST_F(CEncWMVTest, OpenGivesTheWriterTheProfileAndTheOutputAndBeginsWriting) {
    ASSERT_EQ(0, encoder->LoadSystemProfile(1, 11, 24, 1));
    EXPECT_EQ(0, OpenStereo(L"C:\\music\\out.wma"));
    EXPECT_EQ(static_cast<IWMProfile*>(&wm.profile), wm.writer.profileSet);
    EXPECT_EQ(L"C:\\music\\out.wma", wm.writer.outputName);
    EXPECT_EQ(1, wm.writer.begins);
    EXPECT_EQ(0, wm.writer.preprocessQueries) << "one pass needs no preprocessor";
    EXPECT_EQ(0, encoder->GetTwoPass());
}

TEST_F(CEncWMVTest, OpenDeletesAnExistingReadOnlyOutputFirst) {
    TempFile output({1, 2, 3}, L"zep-wma-test.wma");
    SetFileAttributesW(output.path.c_str(), FILE_ATTRIBUTE_READONLY);
    wm.outputToWatch = output.path;
    ASSERT_EQ(0, encoder->LoadSystemProfile(1, 11, 24, 1));
    EXPECT_EQ(0, OpenStereo(output.path.c_str()));
    EXPECT_FALSE(wm.outputExistedAtCreation);
    EXPECT_FALSE(output.Exists());
}

TEST_F(CEncWMVTest, OpeningTwiceKeepsTheFirstWriter) {
    ASSERT_EQ(0, encoder->LoadSystemProfile(1, 11, 24, 1));
    EXPECT_EQ(0, OpenStereo());
    EXPECT_EQ(0, OpenStereo());
    EXPECT_EQ(1, wm.writersCreated);
    EXPECT_EQ(1, wm.writer.begins);
    EXPECT_EQ(1, wm.writer.refs);
}

struct OpenFailure {
    const char* what;
    int number;
    void (*arrange)(FakeWM&, CEncWMVWMA&);
};

class OpenFailures : public CEncWMVTest, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(OpenFailures, GiveTheirNumberAndCloseLeavesTheObjectIdle) {
    GetParam().arrange(wm, *encoder);
    ASSERT_EQ(0, encoder->LoadSystemProfile(1, 11, 24, 1));
    EXPECT_EQ(GetParam().number, OpenStereo());
    EXPECT_EQ(0, encoder->Close());
    EXPECT_EQ(0, wm.writer.ends) << "writing never began";
    EXPECT_EQ(0, encoder->GetTwoPass());
    EXPECT_TRUE(wm.AllReleased());
}

INSTANTIATE_TEST_SUITE_P(
    Steps, OpenFailures,
    ::testing::Values(
        OpenFailure{"writer", 3002,
                    [](FakeWM& wm, CEncWMVWMA&) { wm.createWriterResult = E_OUTOFMEMORY; }},
        OpenFailure{"profile", 3002,
                    [](FakeWM& wm, CEncWMVWMA&) { wm.writer.profileResult = E_FAIL; }},
        OpenFailure{"output", 3002,
                    [](FakeWM& wm, CEncWMVWMA&) { wm.writer.outputResult = E_ACCESSDENIED; }},
        OpenFailure{"script", 3002,
                    [](FakeWM& wm, CEncWMVWMA&) {
                        wm.writer.inputs = {&wm.audio, &wm.script};
                    }},
        OpenFailure{"preprocessor", 3002,
                    [](FakeWM& wm, CEncWMVWMA& encoder) {
                        wm.writer.offersPreprocess = false;
                        encoder.SetTwoPass(1);
                    }},
        OpenFailure{"type", 3003,
                    [](FakeWM& wm, CEncWMVWMA&) { wm.audio.setResult = E_INVALIDARG; }},
        OpenFailure{"props", 3003,
                    [](FakeWM& wm, CEncWMVWMA&) { wm.writer.inputPropsResult = E_FAIL; }},
        OpenFailure{"begin", 3003, [](FakeWM& wm, CEncWMVWMA&) { wm.writer.beginResult = E_FAIL; }},
        OpenFailure{"video", 3003,
                    [](FakeWM& wm, CEncWMVWMA&) {
                        wm.writer.inputs = {&wm.video, &wm.audio};
                    }},
        OpenFailure{"no audio", 3003, [](FakeWM& wm, CEncWMVWMA&) { wm.writer.inputs = {}; }}),
    [](const ::testing::TestParamInfo<OpenFailure>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (c == ' ')
                c = '_';
        return name;
    });

TEST_F(CEncWMVTest, AFailedOpenStaysOpenUntilClose) {
    wm.writer.beginResult = E_FAIL;
    ASSERT_EQ(0, encoder->LoadSystemProfile(1, 11, 24, 1));
    EXPECT_EQ(3003, OpenStereo());
    EXPECT_EQ(0, OpenStereo()) << "the second call finds the object open";
    EXPECT_EQ(1, wm.writersCreated);
    EXPECT_EQ(0, encoder->Close());
    wm.writer.beginResult = S_OK;
    ASSERT_EQ(0, encoder->LoadSystemProfile(1, 11, 24, 1));
    EXPECT_EQ(0, OpenStereo());
    EXPECT_EQ(2, wm.writersCreated);
}

TEST_F(CEncWMVTest, CloseEndsWritingAndReleasesInItsOrder) {
    encoder->SetTwoPass(1);
    ASSERT_EQ(0, encoder->LoadSystemProfile(1, 11, 24, 1));
    ASSERT_EQ(0, OpenStereo());
    wm.releaseLog.clear();
    EXPECT_EQ(0, encoder->Close());
    EXPECT_EQ(1, wm.writer.ends);
    EXPECT_THAT(wm.releaseLog, ElementsAre("profile", "writer", "preprocessor", "audio"));
    EXPECT_EQ(0, encoder->GetTwoPass());
}

TEST_F(CEncWMVTest, AWriterThatCannotEndIsAnsweredAndKept) {
    ASSERT_EQ(0, encoder->LoadSystemProfile(1, 11, 24, 1));
    ASSERT_EQ(0, OpenStereo());
    wm.writer.endResult = E_FAIL;
    EXPECT_EQ(E_FAIL, encoder->Close());
    EXPECT_EQ(1, wm.writer.refs);
    wm.writer.endResult = S_OK;
    EXPECT_EQ(0, encoder->Close());
    EXPECT_EQ(2, wm.writer.ends);
    EXPECT_EQ(0, wm.writer.refs);
}

TEST_F(CEncWMVTest, NoVideoFrameIsWrittenWithoutAVideoInput) {
    ASSERT_EQ(0, encoder->LoadSystemProfile(1, 11, 24, 1));
    ASSERT_EQ(0, OpenStereo());
    const BYTE frame[4] = {};
    EXPECT_EQ(3008, encoder->WriteVideoFrame(frame));
}

} // namespace
