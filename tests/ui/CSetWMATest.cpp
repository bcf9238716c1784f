#include "ui/CSetWMA.h"
#include "DialogTestSupport.h"
#include "SettingsTestSupport.h"
#include "encode/CEncWMV.h"
#include "resdll/Res.h"
#include "settings/CAudioInfo.h"
#include "ui/EditSettings.h"

#include <commctrl.h>

namespace {

const std::vector<std::wstring> kVersion4Texts = {
    L"  6.5kbps Mono", L" 16kbps Mono",   L" 20kbps Mono",   L" 20kbps Stereo",
    L" 32kbps Stereo", L" 64kbps Stereo", L" 96kbps Stereo", L"128kbps Stereo"};
const std::vector<DWORD_PTR> kVersion4Numbers = {4, 5, 6, 7, 8, 9, 10, 11};
const std::vector<std::wstring> kVersion7Texts = {
    L"  6.5kbps Mono", L" 20kbps Mono",   L" 20kbps Stereo", L" 32kbps Stereo",
    L" 48kbps Stereo", L" 64kbps Stereo", L" 96kbps Stereo", L"128kbps Stereo"};
const std::vector<DWORD_PTR> kVersion7Numbers = {17, 18, 19, 20, 21, 22, 23, 24};

// The WMA dialog with the system profile counts a Windows Media installation reports.
class CSetWMAWithProfiles : public CSetWMA {
  public:
    CSetWMAWithProfiles(int version4, int version7)
        : CSetWMA(nullptr), version4(version4), version7(version7) {}

  protected:
    int SystemProfileCount(DWORD version) const override {
        return version == 0x40000 ? version4 : version == 0x70000 ? version7 : 0;
    }

  private:
    int version4;
    int version7;
};

// The dialog run as EditWmaSettings runs its own, driven by script; its answer.
INT_PTR RunWmaDialog(CSetWMA& dialog, const CAudioInfo& settings,
                     const std::function<void(HWND)>& script) {
    dialog.settings.CopyFrom(settings);
    return RunDialogWithScript(
        IDC_WMA_SOURCE, [&] { return ResDllHandle.RunDialog(dialog, IDD_SET_WMA); }, script);
}

// The WMA dialog as EditWmaSettings runs it, driven by script; its answer.
INT_PTR EditWmaWith(CAudioInfo& settings, const std::function<void(HWND)>& script) {
    return RunDialogWithScript(
        IDC_WMA_SOURCE, [&] { return EditWmaSettings(settings, nullptr); }, script);
}

struct SourceEntry {
    std::wstring text;
    int image;
};

SourceEntry SourceAt(HWND dialog, int index) {
    wchar_t text[32] = {};
    COMBOBOXEXITEMW item = {};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE;
    item.iItem = index;
    item.pszText = text;
    item.cchTextMax = 32;
    SendMessageW(GetDlgItem(dialog, IDC_WMA_SOURCE), CBEM_GETITEMW, 0,
                 reinterpret_cast<LPARAM>(&item));
    return {text, item.iImage};
}

int SourceImageCount(HWND dialog) {
    auto images = reinterpret_cast<HIMAGELIST>(
        SendMessageW(GetDlgItem(dialog, IDC_WMA_SOURCE), CBEM_GETIMAGELIST, 0, 0));
    return images ? ImageList_GetImageCount(images) : -1;
}

const int kVersion4Controls[] = {IDC_WMA_V4, IDC_WMA_V4_LABEL};
const int kVersion7Controls[] = {IDC_WMA_V7, IDC_WMA_V7_LABEL};
const int kFileControls[] = {IDC_WMA_PRX_LABEL, IDC_WMA_PRX, IDC_WMA_BROWSE_PRX, IDC_WMA_TWO_PASS};

void ExpectSourceEnabling(HWND dialog, int source) {
    for (int id : kVersion4Controls)
        EXPECT_EQ(source == 0, IsItemEnabled(dialog, id)) << "control " << id;
    for (int id : kVersion7Controls)
        EXPECT_EQ(source == 1, IsItemEnabled(dialog, id)) << "control " << id;
    for (int id : kFileControls)
        EXPECT_EQ(source == 2, IsItemEnabled(dialog, id)) << "control " << id;
}

} // namespace

TEST(CSetWMA, OpensWithTheDefaultsInTheSystemLanguage) {
    REQUIRE_RES_DLL();
    TestRegistryBranch branch;
    CAudioInfo settings;
    CSetWMAWithProfiles dialog(8, 8);
    const INT_PTR answer = RunWmaDialog(dialog, settings, [&](HWND window) {
        EXPECT_EQ(InLanguage(L"WMA 設定", L"WMA Settings"), ControlText(window));
        EXPECT_EQ(InLanguage(L"プロファイルの種類:", L"Profile source:"),
                  ItemText(window, IDC_WMA_SOURCE_LABEL));
        EXPECT_EQ(InLanguage(L"2 パス エンコードを行う", L"Use two-pass encoding"),
                  ItemText(window, IDC_WMA_TWO_PASS));
        EXPECT_EQ(3, static_cast<int>(
                         SendMessageW(GetDlgItem(window, IDC_WMA_SOURCE), CB_GETCOUNT, 0, 0)));
        const wchar_t* sources[] = {L"V4", L"V7", L"PRX"};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(sources[i], SourceAt(window, i).text);
            EXPECT_EQ(i, SourceAt(window, i).image);
        }
        EXPECT_EQ(3, SourceImageCount(window));
        EXPECT_EQ(1, SelectedIndex(window, IDC_WMA_SOURCE));
        EXPECT_EQ(kVersion4Texts, Entries(window, IDC_WMA_V4));
        EXPECT_EQ(kVersion4Numbers, EntryData(window, IDC_WMA_V4));
        EXPECT_EQ(kVersion7Texts, Entries(window, IDC_WMA_V7));
        EXPECT_EQ(kVersion7Numbers, EntryData(window, IDC_WMA_V7));
        EXPECT_EQ(L"128kbps Stereo", ItemText(window, IDC_WMA_V7));
        EXPECT_EQ(24u, SelectedData(window, IDC_WMA_V7));
        EXPECT_EQ(11u, SelectedData(window, IDC_WMA_V4));
        EXPECT_FALSE(IsItemChecked(window, IDC_WMA_TWO_PASS));
        EXPECT_EQ(L"", ItemText(window, IDC_WMA_PRX));
        ExpectSourceEnabling(window, 1);
        SaveScreenshot(window, L"wma-settings-" + InLanguage(L"ja", L"en"));
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, answer);
}

TEST(CSetWMA, EachSourceEnablesOnlyItsOwnControls) {
    REQUIRE_RES_DLL();
    TestRegistryBranch branch;
    CAudioInfo settings;
    CSetWMAWithProfiles dialog(8, 8);
    const INT_PTR answer = RunWmaDialog(dialog, settings, [&](HWND window) {
        SelectEntry(window, IDC_WMA_SOURCE, 2);
        ExpectSourceEnabling(window, 2);
        SelectEntry(window, IDC_WMA_SOURCE, 0);
        ExpectSourceEnabling(window, 0);
        SelectEntry(window, IDC_WMA_SOURCE, 1);
        ExpectSourceEnabling(window, 1);
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, answer);
}

TEST(CSetWMA, OkWritesEveryChoiceBack) {
    REQUIRE_RES_DLL();
    TestRegistryBranch branch;
    CAudioInfo settings;
    {
        CSetWMAWithProfiles dialog(8, 8);
        const INT_PTR answer = RunWmaDialog(dialog, settings, [&](HWND window) {
            SelectEntry(window, IDC_WMA_SOURCE, 2);
            SetItemText(window, IDC_WMA_PRX, L"C:\\profiles\\voice.prx");
            SetCheck(window, IDC_WMA_TWO_PASS, true);
            SelectEntry(window, IDC_WMA_V4, 2);
            SelectEntry(window, IDC_WMA_V7, 0);
            Click(window, IDOK);
        });
        ASSERT_EQ(IDOK, answer);
        EXPECT_EQ(2, dialog.settings.wmaSelect);
        EXPECT_EQ(L"C:\\profiles\\voice.prx", dialog.settings.wmaPRX);
        EXPECT_EQ(1, dialog.settings.wma2Pass);
        EXPECT_EQ(6, dialog.settings.wma4);
        EXPECT_EQ(17, dialog.settings.wma7);
    }
    EXPECT_EQ(2, StoredInt(L"wmaSelect"));
    EXPECT_EQ(6, StoredInt(L"wma4"));
    EXPECT_EQ(17, StoredInt(L"wma7"));
}

TEST(CSetWMA, TheFileChooserAndDroppedFilesSetTheProfilePath) {
    REQUIRE_RES_DLL();
    TestRegistryBranch branch;
    TestFolder folder;
    folder.WriteFile(L"music.prx", "<profile/>");
    CAudioInfo settings;
    settings.wmaSelect = 2;
    settings.wmaPRX = L"C:\\old.prx";
    CSetWMAWithProfiles dialog(8, 8);
    const INT_PTR answer = RunWmaDialog(dialog, settings, [&](HWND window) {
        EXPECT_EQ(L"C:\\old.prx", ItemText(window, IDC_WMA_PRX));
        // Typed text that the chooser's answer replaces, even a cancel.
        SetItemText(window, IDC_WMA_PRX, L"typed");
        Click(window, IDC_WMA_BROWSE_PRX);
        HWND chooser = WaitForOwnedDialog(window);
        ASSERT_NE(nullptr, chooser);
        Click(chooser, IDCANCEL);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }));
        ASSERT_TRUE(WaitUntil([&] { return ItemText(window, IDC_WMA_PRX) == L"C:\\old.prx"; }));

        Click(window, IDC_WMA_BROWSE_PRX);
        chooser = WaitForOwnedDialog(window);
        ASSERT_NE(nullptr, chooser);
        SetItemText(chooser, 0x47C, folder.path + L"music.prx");
        Click(chooser, IDOK);
        EXPECT_TRUE(
            WaitUntil([&] { return ItemText(window, IDC_WMA_PRX) == folder.path + L"music.prx"; }));

        DropFiles(window, {L"C:\\first.prx", L"C:\\last.prx"});
        EXPECT_TRUE(WaitUntil([&] { return ItemText(window, IDC_WMA_PRX) == L"C:\\last.prx"; }));
        Click(window, IDOK);
    });
    EXPECT_EQ(IDOK, answer);
    EXPECT_EQ(L"C:\\last.prx", dialog.settings.wmaPRX);
}

TEST(CSetWMA, AVersionWithoutSystemProfilesHasAnEmptyListAndOkKeepsItsNumber) {
    REQUIRE_RES_DLL();
    TestRegistryBranch branch;
    CAudioInfo settings;
    settings.wmaSelect = 0;
    settings.wma4 = 9;
    settings.wma7 = 22;
    CSetWMAWithProfiles dialog(0, 0);
    const INT_PTR answer = RunWmaDialog(dialog, settings, [&](HWND window) {
        EXPECT_TRUE(Entries(window, IDC_WMA_V4).empty());
        EXPECT_TRUE(Entries(window, IDC_WMA_V7).empty());
        // Version 4.0 cannot be the source without its profiles.
        EXPECT_EQ(1, SelectedIndex(window, IDC_WMA_SOURCE));
        Click(window, IDOK);
    });
    EXPECT_EQ(IDOK, answer);
    EXPECT_EQ(1, dialog.settings.wmaSelect);
    EXPECT_EQ(9, dialog.settings.wma4);
    EXPECT_EQ(22, dialog.settings.wma7);
}

TEST(CSetWMA, EditWmaSettingsListsWhatTheSystemProfileManagerReports) {
    REQUIRE_RES_DLL();
    TestRegistryBranch branch;
    CAudioInfo settings;
    settings.wmaSelect = 2;
    const size_t version7 = CEncWMV::GetSystemProfileCount(0x70000) ? 8 : 0;
    const size_t version4 = CEncWMV::GetSystemProfileCount(0x40000) ? 8 : 0;
    const INT_PTR answer = EditWmaWith(settings, [&](HWND window) {
        EXPECT_EQ(version7, Entries(window, IDC_WMA_V7).size());
        EXPECT_EQ(version4, Entries(window, IDC_WMA_V4).size());
        SetCheck(window, IDC_WMA_TWO_PASS, true);
        Click(window, IDOK);
    });
    EXPECT_EQ(0, answer);
    EXPECT_EQ(1, settings.wma2Pass);
    EXPECT_EQ(2, settings.wmaSelect);
    EXPECT_EQ(24, settings.wma7);
    EXPECT_EQ(11, settings.wma4);
}

TEST(CSetWMA, CancelHandsNothingBack) {
    REQUIRE_RES_DLL();
    TestRegistryBranch branch;
    CAudioInfo settings;
    const INT_PTR answer = EditWmaWith(settings, [&](HWND window) {
        SelectEntry(window, IDC_WMA_SOURCE, 2);
        SetCheck(window, IDC_WMA_TWO_PASS, true);
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(-2, answer);
    EXPECT_EQ(1, settings.wmaSelect);
    EXPECT_EQ(0, settings.wma2Pass);
}

TEST(CSetWMA, WithoutTheLibraryNoDialogAppearsAndTheAnswerIsCancel) {
    REQUIRE_NO_RES_DLL();
    TestRegistryBranch branch;
    CAudioInfo settings;
    settings.wmaSelect = 2;
    CSetWMA dialog(nullptr);
    EXPECT_EQ(-1, ResDllHandle.RunDialog(dialog, IDD_SET_WMA));
    EXPECT_EQ(-2, EditWmaSettings(settings, nullptr));
    EXPECT_EQ(2, settings.wmaSelect);
}
