#include "ui/CVolume.h"
#include "DialogTestSupport.h"
#include "SettingsTestSupport.h"
#include "resdll/Res.h"
#include "ui/EditSettings.h"

namespace {

// The volume dialog as EditVolume(100) runs it, driven by script; its answer.
INT_PTR EditVolumeWith(const std::function<void(HWND)>& script) {
    return RunDialogWithScript(
        IDC_VOLUME_LABEL, [] { return EditVolume(100, nullptr); }, script);
}

} // namespace

TEST(CVolume, ShowsTheVolumeAndOkReturnsTheTypedOne) {
    REQUIRE_RES_DLL();
    const INT_PTR answer = EditVolumeWith([&](HWND dialog) {
        EXPECT_EQ(InLanguage(L"音量", L"Volume"), ControlText(dialog));
        EXPECT_EQ(InLanguage(L"音量 (%): 100 で元の音量のままです",
                             L"Volume (%): 100 leaves the sound unchanged"),
                  ItemText(dialog, IDC_VOLUME_LABEL));
        EXPECT_EQ(L"100", ItemText(dialog, IDC_VOLUME));
        SaveScreenshot(dialog, L"volume-" + InLanguage(L"ja", L"en"));
        SetItemText(dialog, IDC_VOLUME, L"75");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(75, answer);
}

TEST(CVolume, LettersShowTheIntegerMessageAndKeepTheDialogOpen) {
    REQUIRE_RES_DLL();
    const INT_PTR answer = EditVolumeWith([&](HWND dialog) {
        SetItemText(dialog, IDC_VOLUME, L"loud");
        Click(dialog, IDOK);
        HWND message = WaitForOwnedDialog(dialog);
        ASSERT_NE(nullptr, message);
        // The framework's prompt is Japanese whatever the system language.
        EXPECT_EQ(L"整数を入力してください。", StaticTexts(message));
        Click(message, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(message); }));
        EXPECT_TRUE(IsDialogShown(dialog));
        // Any integer is taken, a negative one too.
        SetItemText(dialog, IDC_VOLUME, L"-20");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(-20, answer);
}

TEST(CVolume, EscapeDoesNothingAndTheCloseButtonKeepsATypedValue) {
    REQUIRE_RES_DLL();
    const INT_PTR answer = EditVolumeWith([&](HWND dialog) {
        SetItemText(dialog, IDC_VOLUME, L"42");
        // Escape reaches a dialog as the command IDCANCEL.
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(IsDialogShown(dialog));
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(42, answer);
}

TEST(CVolume, WithoutTheLibraryTheVolumeComesBackUnchanged) {
    REQUIRE_NO_RES_DLL();
    CVolume dialog(nullptr);
    EXPECT_EQ(-1, ResDllHandle.RunDialog(dialog, IDD_VOLUME));
    EXPECT_EQ(37, EditVolume(37, nullptr));
}
