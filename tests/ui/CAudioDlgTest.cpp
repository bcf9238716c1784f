#include "ui/CAudioDlg.h"
#include "DialogTestSupport.h"
#include "SettingsTestSupport.h"
#include "TestEnvironment.h"
#include "resdll/Res.h"
#include "resources/resource.h"
#include "settings/CAudioInfo.h"
#include <memory>

namespace {

// What the main dialog's Setting button does with its record: a copy in,
// the copy back only on OK, then the record saved whatever the answer; the
// dialog's own copy saves itself last, when the dialog is destroyed.
INT_PTR EditLikeTheMainDialog(CAudioInfo& settings) {
    auto dialog = std::make_unique<CAudioDlg>(nullptr);
    dialog->settings.CopyFrom(settings);
    INT_PTR result = dialog->DoModal();
    if (result == IDOK)
        settings.CopyFrom(dialog->settings);
    settings.Save();
    dialog.reset();
    return result;
}

// The "Setting" dialog run as the main dialog runs it, driven by script; its answer.
INT_PTR EditSettingWith(CAudioInfo& settings, const std::function<void(HWND)>& script) {
    return RunDialogWithScript(
        IDC_SETTING_VOLUME, [&] { return EditLikeTheMainDialog(settings); }, script);
}

// Opens the volume dialog from "Setting" and confirms text there.
void EditVolumeIn(HWND setting, const std::wstring& text) {
    Click(setting, IDC_SETTING_VOLUME);
    HWND volume = WaitForDialogWith(ThreadOf(setting), IDC_VOLUME_LABEL);
    ASSERT_NE(nullptr, volume);
    SetItemText(volume, IDC_VOLUME, text);
    Click(volume, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(volume); }));
}

// Opens a settings dialog with a button of "Setting" and confirms an entry of its list there.
void ChooseIn(HWND setting, int button, int list, int index) {
    Click(setting, button);
    HWND dialog = WaitForDialogWith(ThreadOf(setting), list);
    ASSERT_NE(nullptr, dialog) << "no dialog with the list " << list;
    SelectEntry(dialog, list, index);
    Click(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
}

// Opens the MP3 dialog from "Setting" and confirms a constant bit rate there.
void EditMp3In(HWND setting, int cbrIndex) {
    ChooseIn(setting, IDC_SETTING_MP3, IDC_GOGO_CBR_BPS, cbrIndex);
}

} // namespace

// The tests that need the library, or its absence, skip themselves: the
// run must really be the one it claims to be.
TEST(CAudioDlg, TheRunHasTheResourceLibraryExactlyWhenItSaysSo) {
    ASSERT_FALSE(ExpectedResDll().empty()) << "ZEP_TEST_RES_DLL is not set";
    EXPECT_EQ(ExpectedResDll() == "present", ResDllHandle.GetModule() != nullptr);
}

TEST(CAudioDlg, ShowsItsTextsInTheSystemLanguage) {
    TestRegistryBranch branch;
    CAudioInfo settings;
    const INT_PTR answer = EditSettingWith(settings, [&](HWND dialog) {
        EXPECT_EQ(InLanguage(L"設定", L"Setting"), ControlText(dialog));
        EXPECT_EQ(
            InLanguage(L"午後のこ～だ設定(MP3/Layer-3 WAV)", L"Setting Gogo(MP3/Layer-3 WAV)"),
            ItemText(dialog, IDC_SETTING_MP3_GROUP));
        EXPECT_EQ(InLanguage(L"午後設定画面...(&G)", L"Gogo Setting Dlg...(&G)"),
                  ItemText(dialog, IDC_SETTING_MP3));
        EXPECT_EQ(InLanguage(L"WMA(MS-AUDIO)設定", L"Setting WMA(MS-AUDIO)"),
                  ItemText(dialog, IDC_SETTING_WMA_GROUP));
        EXPECT_EQ(InLanguage(L"WMA設定画面...(&W)", L"WMA Setting Dlg...(&W)"),
                  ItemText(dialog, IDC_SETTING_WMA));
        EXPECT_EQ(InLanguage(L"FLAC設定", L"Setting FLAC"),
                  ItemText(dialog, IDC_SETTING_FLAC_GROUP));
        EXPECT_EQ(InLanguage(L"FLAC設定画面...(&F)", L"FLAC Setting Dlg...(&F)"),
                  ItemText(dialog, IDC_SETTING_FLAC));
        EXPECT_EQ(InLanguage(L"Opus設定", L"Setting Opus"),
                  ItemText(dialog, IDC_SETTING_OPUS_GROUP));
        EXPECT_EQ(InLanguage(L"Opus設定画面...(&O)", L"Opus Setting Dlg...(&O)"),
                  ItemText(dialog, IDC_SETTING_OPUS));
        EXPECT_EQ(InLanguage(L"ボリューム設定", L"Setting Volume"),
                  ItemText(dialog, IDC_SETTING_VOLUME_GROUP));
        EXPECT_EQ(InLanguage(L"ボリューム設定画面...(&V)", L"Volume Setting Dlg...(&V)"),
                  ItemText(dialog, IDC_SETTING_VOLUME));
        EXPECT_EQ(InLanguage(L"キャンセル", L"Cancel"), ItemText(dialog, IDCANCEL));
        EXPECT_EQ(InLanguage(L"タグとカバー画像をコピーする", L"Copy tags"),
                  ItemText(dialog, IDC_SETTING_COPY_TAGS));
        if (ResDllHandle.GetModule())
            SaveScreenshot(dialog, L"setting-" + InLanguage(L"ja", L"en"));
        Click(dialog, IDOK);
    });
    EXPECT_EQ(IDOK, answer);
}

TEST(CAudioDlg, AVolumeEditIsStoredAtOnceAndCancelKeepsTheMainRecord) {
    REQUIRE_RES_DLL();
    TestRegistryBranch branch;
    {
        CAudioInfo settings; // the main dialog's record, destroyed at program exit
        const INT_PTR answer = EditSettingWith(settings, [&](HWND dialog) {
            EditVolumeIn(dialog, L"50");
            // Saved right after the volume dialog, while "Setting" is still open.
            EXPECT_TRUE(WaitUntil([] { return StoredInt(L"VOL") == 50; }));
            Click(dialog, IDCANCEL);
        });
        EXPECT_EQ(IDCANCEL, answer);
        EXPECT_EQ(100, settings.VOL);
        // The main record was saved first, the dialog's copy last.
        EXPECT_EQ(50, StoredInt(L"VOL"));
    }
    EXPECT_EQ(100, StoredInt(L"VOL"));
}

TEST(CAudioDlg, OkHandsTheSubDialogsChoicesToTheMainRecord) {
    REQUIRE_RES_DLL();
    TestRegistryBranch branch;
    {
        CAudioInfo settings;
        const INT_PTR answer = EditSettingWith(settings, [&](HWND dialog) {
            EditMp3In(dialog, 13); // 320
            ChooseIn(dialog, IDC_SETTING_FLAC, IDC_FLAC_LEVEL, 8);
            ChooseIn(dialog, IDC_SETTING_OPUS, IDC_OPUS_BITRATE, 0); // 6
            EditVolumeIn(dialog, L"80");
            Click(dialog, IDOK);
        });
        EXPECT_EQ(IDOK, answer);
        EXPECT_EQ(320, settings.cbr_bps);
        EXPECT_EQ(8, settings.flacLevel);
        EXPECT_EQ(6, settings.opusKbps);
        EXPECT_EQ(80, settings.VOL);
        EXPECT_EQ(320, StoredInt(L"cbr_bps"));
    }
    EXPECT_EQ(320, StoredInt(L"cbr_bps"));
    EXPECT_EQ(8, StoredInt(L"FlacLevel"));
    EXPECT_EQ(6, StoredInt(L"OpusBitrate"));
    EXPECT_EQ(80, StoredInt(L"VOL"));
}

// "Copy tags" shows the record's choice, and OK takes the box into it.
TEST(CAudioDlg, TheCopyTagsBoxIsTheRecordsAndOkTakesIt) {
    TestRegistryBranch branch;
    CAudioInfo settings;
    LRESULT shown = BST_UNCHECKED;
    EditSettingWith(settings, [&](HWND dialog) {
        shown = SendDlgItemMessageW(dialog, IDC_SETTING_COPY_TAGS, BM_GETCHECK, 0, 0);
        SetCheck(dialog, IDC_SETTING_COPY_TAGS, false);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(BST_CHECKED, shown);
    EXPECT_EQ(0, settings.copyTags);
    EXPECT_EQ(0, StoredInt(L"CopyTags"));
}

TEST(CAudioDlg, CancelAfterAnMp3EditLeavesTheDialogsCopyInTheStoreUntilExit) {
    REQUIRE_RES_DLL();
    TestRegistryBranch branch;
    {
        CAudioInfo settings;
        const INT_PTR answer = EditSettingWith(settings, [&](HWND dialog) {
            EditMp3In(dialog, 13); // 320
            // The MP3 dialog's copy saved itself when that dialog was destroyed.
            EXPECT_TRUE(WaitUntil([] { return StoredInt(L"cbr_bps") == 320; }));
            Click(dialog, IDCANCEL);
        });
        EXPECT_EQ(IDCANCEL, answer);
        EXPECT_EQ(160, settings.cbr_bps);
        EXPECT_EQ(320, StoredInt(L"cbr_bps"));
    }
    EXPECT_EQ(160, StoredInt(L"cbr_bps"));
}

TEST(CAudioDlg, WithoutTheLibraryTheButtonsOpenNothingAndChangeNothing) {
    REQUIRE_NO_RES_DLL();
    TestRegistryBranch branch;
    CAudioInfo settings;
    settings.VOL = 60;
    const INT_PTR answer = EditSettingWith(settings, [&](HWND dialog) {
        for (int button : {IDC_SETTING_MP3, IDC_SETTING_WMA, IDC_SETTING_FLAC, IDC_SETTING_OPUS,
                           IDC_SETTING_VOLUME})
            Click(dialog, button);
        // The volume button's save shows that all the clicks were handled.
        EXPECT_TRUE(WaitUntil([] { return StoredInt(L"VOL") == 60; }));
        auto anotherDialog = [&](HWND w) { return IsDialogShown(w) && w != dialog; };
        EXPECT_EQ(nullptr, WaitForWindow(ThreadOf(dialog), anotherDialog, 500));
        Click(dialog, IDOK);
    });
    EXPECT_EQ(IDOK, answer);
    EXPECT_EQ(60, settings.VOL);
    EXPECT_EQ(160, settings.cbr_bps);
}
