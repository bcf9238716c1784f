#include "ui/Language.h"
#include "TestEnvironment.h"
#include "ui/CResDllHandle.h"
#include "ui/ErrorMessages.h"
#include <gtest/gtest.h>
#include <set>

namespace {

bool HasJapanese(const std::wstring& text) {
    for (wchar_t c : text)
        if (c >= 0x3000)
            return true;
    return false;
}

bool IsPlainAscii(const std::wstring& text) {
    for (wchar_t c : text)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

class LanguageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (ExpectedLanguage().empty())
            GTEST_SKIP() << "ZEP_TEST_LANGUAGE is not set";
        japanese = ExpectedLanguage() == "ja";
    }
    bool japanese = false;
};

// The error texts are the odd/even pairs 10101 .. 10272; the last pair is
// the text for a number the program does not know.
constexpr UINT kFirstErrorText = 10101;
constexpr UINT kLastErrorText = 10271;

} // namespace

TEST_F(LanguageTest, TheSystemDefaultLanguageDecides) {
    EXPECT_EQ(japanese, IsJapanese());
    EXPECT_EQ(japanese ? L"日本語" : L"English", PickLanguage(L"日本語", L"English"));
}

TEST_F(LanguageTest, OwnStringsComeInTheSystemLanguage) {
    EXPECT_EQ(japanese ? L"入力ファイル名[音源ファイル]" : L"Input Path[Audio File]",
              LoadPairedString(10041, 10042));
    // Stored texts are kept exactly, trailing blanks included.
    EXPECT_EQ(japanese ? L"入力ファイルと出力ファイル名を入れ、変換を押して下さい"
                       : L"Please Input and  Output, and push conversion. ",
              LoadPairedString(10047, 10048));
    EXPECT_EQ(L" ", LoadPairedString(10017, 10018));
    EXPECT_EQ(L"", LoadPairedString(20001, 20002));
}

TEST_F(LanguageTest, LibraryStringsFollowTheLanguageOrAreEmptyWithoutTheLibrary) {
    if (ExpectedResDll() == "absent") {
        EXPECT_EQ(L"", LoadResPairedString(10009, 10010));
        EXPECT_EQ(L"", LoadResPairedString(10065, 10066));
        EXPECT_EQ(L"", LoadResPairedString(10101, 10102));
        return;
    }
    ASSERT_EQ("present", ExpectedResDll());
    EXPECT_FALSE(LoadResPairedString(10009, 10010).empty());
    std::wstring separator = LoadResPairedString(10065, 10066);
    EXPECT_EQ(japanese, HasJapanese(separator));
    EXPECT_EQ(japanese, HasJapanese(LoadResPairedString(10001, 10002)));
}

TEST(ResDllContent, EveryErrorNumberHasItsOwnTextInBothLanguages) {
    if (ExpectedResDll() != "present")
        GTEST_SKIP() << "needs Res.dll beside the executable";
    std::set<std::wstring> english;
    for (UINT id = kFirstErrorText; id <= kLastErrorText; id += 2) {
        std::wstring ja = ResDllHandle.LoadString(id);
        std::wstring en = ResDllHandle.LoadString(id + 1);
        EXPECT_TRUE(HasJapanese(ja)) << id;
        EXPECT_TRUE(IsPlainAscii(en) && en.size() > 20) << id + 1;
        EXPECT_TRUE(english.insert(en).second) << "same text twice: " << id + 1;
    }
}

TEST(ResDllContent, SettingsDialogLabelsExistInBothLanguages) {
    if (ExpectedResDll() != "present")
        GTEST_SKIP() << "needs Res.dll beside the executable";
    const UINT ranges[][2] = {{10541, 10557}, {10571, 10573}, {10671, 10693}};
    for (const auto& range : ranges) {
        for (UINT id = range[0]; id <= range[1]; id += 2) {
            EXPECT_TRUE(HasJapanese(ResDllHandle.LoadString(id))) << id;
            std::wstring en = ResDllHandle.LoadString(id + 1);
            EXPECT_TRUE(!en.empty() && IsPlainAscii(en)) << id + 1;
        }
    }
}

TEST_F(LanguageTest, ErrorTextsComeFromTheLibraryInTheSystemLanguage) {
    if (ExpectedResDll() == "absent") {
        EXPECT_EQ(L"", GetErrorText(915));
        EXPECT_EQ(L"", GetErrorText(12345));
        return;
    }
    std::wstring decoding = GetErrorText(915);
    EXPECT_EQ(LoadResPairedString(10269, 10270), decoding);
    EXPECT_EQ(japanese, HasJapanese(decoding));
    EXPECT_EQ(LoadResPairedString(10271, 10272), GetErrorText(12345));
    EXPECT_NE(GetErrorText(12345), GetErrorText(6001));
    EXPECT_EQ(L"", GetErrorText(-2));
}
