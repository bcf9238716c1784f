#include "ui/CSetGOGO.h"
#include "DialogTestSupport.h"
#include "SettingsTestSupport.h"
#include "TestEnvironment.h"
#include "resdll/Res.h"
#include "settings/CAudioInfo.h"
#include "ui/EditSettings.h"

namespace {

const std::vector<std::wstring> kCbrTexts = {
    L" 32kbps", L" 40kbps", L" 48kbps", L" 56kbps", L" 64kbps", L" 80kbps", L" 96kbps",
    L"112kbps", L"128kbps", L"160kbps", L"192kbps", L"224kbps", L"256kbps", L"320kbps"};
const std::vector<DWORD_PTR> kCbrRates = {32,  40,  48,  56,  64,  80,  96,
                                          112, 128, 160, 192, 224, 256, 320};
const std::vector<std::wstring> kVbrTexts = {
    L"  8kbps", L" 16kbps", L" 24kbps", L" 32kbps", L" 40kbps", L" 48kbps", L" 56kbps",
    L" 64kbps", L" 80kbps", L" 96kbps", L"112kbps", L"128kbps", L"144kbps", L"160kbps"};
const std::vector<DWORD_PTR> kVbrRates = {8,  16, 24, 32,  40,  48,  56,
                                          64, 80, 96, 112, 128, 144, 160};

// The MP3 dialog as EditMp3Settings runs it, driven by script; its answer.
INT_PTR EditMp3With(CAudioInfo& settings, const std::function<void(HWND)>& script) {
    return RunDialogWithScript(
        IDC_GOGO_VBR_BPS, [&] { return EditMp3Settings(settings, nullptr); }, script);
}

// The controls that only variable bit rate uses, and those only constant bit rate uses.
const int kVbrControls[] = {IDC_GOGO_QUALITY, IDC_GOGO_QUALITY_LABEL, IDC_GOGO_VBR_BPS_LABEL,
                            IDC_GOGO_QUALITY_SCALE, IDC_GOGO_VBR_BPS};
const int kCbrControls[] = {IDC_GOGO_CBR_BPS, IDC_GOGO_CBR_BPS_LABEL};

void ExpectVbrEnabling(HWND dialog, bool vbr) {
    for (int id : kVbrControls)
        EXPECT_EQ(vbr, IsItemEnabled(dialog, id)) << "control " << id;
    for (int id : kCbrControls)
        EXPECT_EQ(!vbr, IsItemEnabled(dialog, id)) << "control " << id;
}

} // namespace

TEST(CSetGOGO, OpensWithTheDefaultsInTheSystemLanguage) {
    REQUIRE_RES_DLL();
    TestRegistryBranch branch;
    CAudioInfo settings;
    const INT_PTR answer = EditMp3With(settings, [&](HWND dialog) {
        EXPECT_EQ(InLanguage(L"MP3 設定 (gogo.dll)", L"MP3 Settings (gogo.dll)"),
                  ControlText(dialog));
        EXPECT_EQ(InLanguage(L"チャンネル モード:", L"Channel mode:"),
                  ItemText(dialog, IDC_GOGO_MODE_LABEL));
        EXPECT_EQ(InLanguage(L"可変ビットレート (VBR) を使う", L"Use variable bit rate (VBR)"),
                  ItemText(dialog, IDC_GOGO_VBR));
        EXPECT_EQ(InLanguage(L"キャンセル", L"Cancel"), ItemText(dialog, IDCANCEL));
        std::vector<std::wstring> modes =
            ExpectedLanguage() == "ja"
                ? std::vector<std::wstring>{L"モノラル", L"ステレオ", L"ジョイント ステレオ",
                                            L"ミッド/サイド ステレオ", L"デュアル チャンネル"}
                : std::vector<std::wstring>{L"Mono", L"Stereo", L"Joint stereo", L"Mid/side stereo",
                                            L"Dual channel"};
        EXPECT_EQ(modes, Entries(dialog, IDC_GOGO_MODE));
        EXPECT_EQ(1, SelectedIndex(dialog, IDC_GOGO_MODE));
        EXPECT_FALSE(IsItemChecked(dialog, IDC_GOGO_VBR));
        EXPECT_EQ(kCbrTexts, Entries(dialog, IDC_GOGO_CBR_BPS));
        EXPECT_EQ(kCbrRates, EntryData(dialog, IDC_GOGO_CBR_BPS));
        EXPECT_EQ(L"160kbps", ItemText(dialog, IDC_GOGO_CBR_BPS));
        EXPECT_EQ(kVbrTexts, Entries(dialog, IDC_GOGO_VBR_BPS));
        EXPECT_EQ(kVbrRates, EntryData(dialog, IDC_GOGO_VBR_BPS));
        EXPECT_EQ(L"160kbps", ItemText(dialog, IDC_GOGO_VBR_BPS));
        EXPECT_EQ(10u, Entries(dialog, IDC_GOGO_QUALITY).size());
        EXPECT_EQ(L"9", Entries(dialog, IDC_GOGO_QUALITY).back());
        EXPECT_EQ(L"0", ItemText(dialog, IDC_GOGO_QUALITY));
        ExpectVbrEnabling(dialog, false);
        SaveScreenshot(dialog, L"mp3-settings-" + InLanguage(L"ja", L"en"));
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(-2, answer);
}

TEST(CSetGOGO, CheckingVbrSwitchesTheEnabledControlsBothWays) {
    REQUIRE_RES_DLL();
    TestRegistryBranch branch;
    CAudioInfo settings;
    const INT_PTR answer = EditMp3With(settings, [&](HWND dialog) {
        SetCheck(dialog, IDC_GOGO_VBR, true);
        ExpectVbrEnabling(dialog, true);
        SetCheck(dialog, IDC_GOGO_VBR, false);
        ExpectVbrEnabling(dialog, false);
        SetCheck(dialog, IDC_GOGO_VBR, true);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(0, answer);
    EXPECT_EQ(1, settings.vbr);
}

TEST(CSetGOGO, OkWritesEveryChoiceBackAndTheDialogsCopyReachesTheStore) {
    REQUIRE_RES_DLL();
    TestRegistryBranch branch;
    CAudioInfo settings;
    const INT_PTR answer = EditMp3With(settings, [&](HWND dialog) {
        SelectEntry(dialog, IDC_GOGO_MODE, 3);
        SelectEntry(dialog, IDC_GOGO_CBR_BPS, 12); // 256
        SetCheck(dialog, IDC_GOGO_VBR, true);
        SelectEntry(dialog, IDC_GOGO_VBR_BPS, 11); // 128
        SelectEntry(dialog, IDC_GOGO_QUALITY, 5);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(0, answer);
    EXPECT_EQ(3, settings.EncType);
    EXPECT_EQ(256, settings.cbr_bps);
    EXPECT_EQ(1, settings.vbr);
    EXPECT_EQ(128, settings.vbr_bps);
    EXPECT_EQ(5, settings.Qual);
    // The dialog's own record saved itself when the dialog was destroyed.
    EXPECT_EQ(3, StoredInt(L"EncType"));
    EXPECT_EQ(256, StoredInt(L"cbr_bps"));
    EXPECT_EQ(1, StoredInt(L"vbr"));
    EXPECT_EQ(128, StoredInt(L"vbr_bps"));
    EXPECT_EQ(5, StoredInt(L"Qual"));
}

TEST(CSetGOGO, CancelHandsNothingBackYetTheDialogsCopyIsSaved) {
    REQUIRE_RES_DLL();
    TestRegistryBranch branch;
    CAudioInfo settings;
    settings.cbr_bps = 192; // changed in memory only
    const INT_PTR answer = EditMp3With(settings, [&](HWND dialog) {
        EXPECT_EQ(L"192kbps", ItemText(dialog, IDC_GOGO_CBR_BPS));
        SelectEntry(dialog, IDC_GOGO_CBR_BPS, 0);
        SetCheck(dialog, IDC_GOGO_VBR, true);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(-2, answer);
    EXPECT_EQ(192, settings.cbr_bps);
    EXPECT_EQ(0, settings.vbr);
    // The copy the dialog received, untouched by its controls, was written.
    EXPECT_EQ(192, StoredInt(L"cbr_bps"));
    EXPECT_EQ(0, StoredInt(L"vbr"));
}

TEST(CSetGOGO, AnUnlistedRateOpensWithoutSelectionAndSurvivesOk) {
    REQUIRE_RES_DLL();
    TestRegistryBranch branch;
    CAudioInfo settings;
    settings.cbr_bps = 150;
    settings.vbr_bps = 150;
    const INT_PTR answer = EditMp3With(settings, [&](HWND dialog) {
        EXPECT_EQ(-1, SelectedIndex(dialog, IDC_GOGO_CBR_BPS));
        EXPECT_EQ(-1, SelectedIndex(dialog, IDC_GOGO_VBR_BPS));
        EXPECT_EQ(L"", ItemText(dialog, IDC_GOGO_CBR_BPS));
        Click(dialog, IDOK);
    });
    EXPECT_EQ(0, answer);
    EXPECT_EQ(150, settings.cbr_bps);
    EXPECT_EQ(150, settings.vbr_bps);
}

TEST(CSetGOGO, WithoutTheLibraryNoDialogAppearsAndTheAnswerIsCancel) {
    REQUIRE_NO_RES_DLL();
    TestRegistryBranch branch;
    CAudioInfo settings;
    settings.cbr_bps = 320;
    CSetGOGO dialog(nullptr);
    EXPECT_EQ(-1, ResDllHandle.RunDialog(dialog, IDD_SET_GOGO));
    EXPECT_EQ(-2, EditMp3Settings(settings, nullptr));
    EXPECT_EQ(320, settings.cbr_bps);
}
