#include "TempFile.h"
#include "encode/CEncWMVWMA.h"
#include <gtest/gtest.h>

// Wine's wmvcore.dll hands out a profile manager and a writer whose
// profile and writing methods answer E_NOTIMPL: every step must fail with
// its number, and the object must close to idle.
namespace {

TEST(WineWMVCore, KnowsNoSystemProfiles) {
    EXPECT_EQ(0, CEncWMV::GetSystemProfileCount(0x40000));
    EXPECT_EQ(0, CEncWMV::GetSystemProfileCount(0x70000));
}

TEST(WineWMVCore, ASystemProfileGives3001) {
    CEncWMVWMA encoder;
    EXPECT_EQ(3001, encoder.LoadSystemProfile(0, 11, 24, 1));
    EXPECT_EQ(3001, encoder.LoadSystemProfile(1, 11, 24, 1));
}

TEST(WineWMVCore, AProfileFileGives3004) {
    TempFile file({0xFF, 0xFE, '<', 0, '/', 0, '>', 0}, L"zep-wine-test.prx");
    CEncWMVWMA encoder;
    EXPECT_EQ(3004, encoder.LoadProfileFile(file.path.c_str()));
}

TEST(WineWMVCore, AWriterWithoutAProfileGives3002AndClosesToIdle) {
    CEncWMVWMA encoder;
    EXPECT_EQ(3001, encoder.LoadSystemProfile(1, 11, 24, 1));
    EXPECT_EQ(3002, encoder.Open(L"C:\\zep-wine-test.wma", nullptr, 0, 44100, 2, 16));
    const BYTE block[4] = {};
    EXPECT_EQ(0, encoder.WriteAudio(block, 4)) << "no audio input to write to";
    EXPECT_EQ(0, encoder.Close());
    EXPECT_EQ(3002, encoder.Open(L"C:\\zep-wine-test.wma", nullptr, 0, 44100, 2, 16))
        << "a closed object opens afresh";
    EXPECT_EQ(0, encoder.Close());
}

} // namespace
