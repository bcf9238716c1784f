#include "DialogTestSupport.h"
#include "SettingsTestSupport.h"
#include "TestEnvironment.h"
#include "resdll/Res.h"
#include "settings/CAudioInfo.h"
#include "ui/EditSettings.h"

namespace {

using EditFunction = int (*)(CAudioInfo&, HWND);

// A text of the dialog in both languages; control 0 is the caption.
struct Text {
    int control;
    const wchar_t* japanese;
    const wchar_t* english;
};

void ExpectTexts(HWND dialog, std::initializer_list<Text> texts) {
    for (const Text& text : texts)
        EXPECT_EQ(InLanguage(text.japanese, text.english),
                  text.control ? ItemText(dialog, text.control) : ControlText(dialog))
            << "control " << text.control;
}

// The dialog as its Edit function runs it, found by one of its controls and driven by script.
INT_PTR EditWith(EditFunction edit, int control, CAudioInfo& settings,
                 const std::function<void(HWND)>& script) {
    return RunDialogWithScript(
        control, [&] { return edit(settings, nullptr); }, script);
}

// One field of the record through its list or check box: what the dialog
// opens with for a saved value, and what a choice there becomes.
struct FieldCase {
    const char* what;
    EditFunction edit;
    int control;
    bool checkBox;
    int CAudioInfo::*field;
    const wchar_t* key; // its name in the store
    int saved;
    int shown;  // the list's selected index, or the check state
    int chosen; // the entry or check state chosen; -1 touches nothing
    int result; // the field after OK
};

const FieldCase kFieldCases[] = {
    {"FLAC level", EditFlacSettings, IDC_FLAC_LEVEL, false, &CAudioInfo::flacLevel, L"FlacLevel", 2,
     2, 8, 8},
    {"FLAC verify", EditFlacSettings, IDC_FLAC_VERIFY, true, &CAudioInfo::flacVerify, L"FlacVerify",
     1, 1, 0, 0},
    {"FLAC depth", EditFlacSettings, IDC_FLAC_BITS, false, &CAudioInfo::flacBits, L"FlacBits", 24,
     2, 1, 16},
    {"FLAC rate", EditFlacSettings, IDC_FLAC_RATE, false, &CAudioInfo::flacRate, L"FlacRate", 0, 0,
     2, 48000},
    {"Opus listed rate", EditOpusSettings, IDC_OPUS_BITRATE, false, &CAudioInfo::opusKbps,
     L"OpusBitrate", 96, 8, 16, 510},
    // 100 is not a common rate: it is listed in its place, after 96, and kept.
    {"Opus unlisted rate", EditOpusSettings, IDC_OPUS_BITRATE, false, &CAudioInfo::opusKbps,
     L"OpusBitrate", 100, 9, -1, 100},
    // Beyond what the encoder takes: not listed, nothing selected, kept.
    {"Opus rate out of range", EditOpusSettings, IDC_OPUS_BITRATE, false, &CAudioInfo::opusKbps,
     L"OpusBitrate", 600, -1, -1, 600},
    {"Opus mode", EditOpusSettings, IDC_OPUS_MODE, false, &CAudioInfo::opusMode, L"OpusMode", 2, 2,
     1, 1},
};

void Choose(HWND dialog, const FieldCase& field) {
    if (field.chosen < 0)
        return;
    if (field.checkBox)
        SetCheck(dialog, field.control, field.chosen != 0);
    else
        SelectEntry(dialog, field.control, field.chosen);
}

// Opens the dialog on the saved value, chooses, and ends with button.
void RunFieldCase(const FieldCase& field, int button) {
    TestRegistryBranch branch;
    CAudioInfo settings;
    settings.*field.field = field.saved;
    int shown = -2;
    const INT_PTR answer = EditWith(field.edit, field.control, settings, [&](HWND dialog) {
        shown = field.checkBox ? IsItemChecked(dialog, field.control)
                               : SelectedIndex(dialog, field.control);
        Choose(dialog, field);
        Click(dialog, button);
    });
    EXPECT_EQ(field.shown, shown);
    EXPECT_EQ(button == IDOK ? 0 : -2, answer);
    EXPECT_EQ(button == IDOK ? field.result : field.saved, settings.*field.field);
    // The dialog's own copy saved itself when the dialog was destroyed.
    EXPECT_EQ(button == IDOK ? field.result : field.saved, StoredInt(field.key));
}

} // namespace

TEST(CSetFLAC, OpensWithTheDefaultsInTheSystemLanguage) {
    REQUIRE_RES_DLL();
    TestRegistryBranch branch;
    CAudioInfo settings;
    const INT_PTR answer = EditWith(EditFlacSettings, IDC_FLAC_LEVEL, settings, [&](HWND dialog) {
        ExpectTexts(dialog, {{0, L"FLAC 設定", L"FLAC Settings"},
                             {IDC_FLAC_LEVEL_LABEL, L"圧縮レベル:", L"Compression level:"},
                             {IDC_FLAC_LEVEL_SCALE, L"0 = 最速、8 = 最小サイズ (標準は 5)",
                              L"0 = fastest, 8 = smallest file (5 is the default)"},
                             {IDC_FLAC_VERIFY, L"エンコード中に出力を検証する",
                              L"Verify the output while encoding"},
                             {IDC_FLAC_BITS_LABEL, L"ビット数:", L"Bit depth:"},
                             {IDC_FLAC_RATE_LABEL, L"サンプリング周波数:", L"Sample rate:"}});
        const std::wstring asSource = InLanguage(L"入力のまま", L"As the source");
        EXPECT_EQ((std::vector<std::wstring>{asSource, InLanguage(L"16 ビット", L"16-bit"),
                                             InLanguage(L"24 ビット", L"24-bit")}),
                  Entries(dialog, IDC_FLAC_BITS));
        EXPECT_EQ((std::vector<std::wstring>{asSource, L"44.1 kHz", L"48 kHz"}),
                  Entries(dialog, IDC_FLAC_RATE));
        EXPECT_EQ(0, SelectedIndex(dialog, IDC_FLAC_BITS));
        EXPECT_EQ((std::vector<std::wstring>{L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8"}),
                  Entries(dialog, IDC_FLAC_LEVEL));
        EXPECT_EQ(5, SelectedIndex(dialog, IDC_FLAC_LEVEL));
        EXPECT_TRUE(IsItemChecked(dialog, IDC_FLAC_VERIFY));
        SaveScreenshot(dialog, L"flac-settings-" + InLanguage(L"ja", L"en"));
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(-2, answer);
}

TEST(CSetOpus, OpensWithTheDefaultsInTheSystemLanguage) {
    REQUIRE_RES_DLL();
    TestRegistryBranch branch;
    CAudioInfo settings;
    const INT_PTR answer = EditWith(EditOpusSettings, IDC_OPUS_MODE, settings, [&](HWND dialog) {
        ExpectTexts(dialog, {{0, L"Opus 設定", L"Opus Settings"},
                             {IDC_OPUS_BITRATE_LABEL, L"ビットレート:", L"Bit rate:"},
                             {IDC_OPUS_MODE_LABEL, L"ビットレート モード:", L"Bit rate mode:"}});
        EXPECT_EQ((std::vector<DWORD_PTR>{6, 8, 12, 16, 24, 32, 48, 64, 96, 128, 160, 192, 256, 320,
                                          384, 450, 510}),
                  EntryData(dialog, IDC_OPUS_BITRATE));
        EXPECT_EQ(L"  6kbps", Entries(dialog, IDC_OPUS_BITRATE).front());
        EXPECT_EQ(L"160kbps", ItemText(dialog, IDC_OPUS_BITRATE));
        const std::vector<std::wstring> modes =
            ExpectedLanguage() == "ja"
                ? std::vector<std::wstring>{L"可変ビットレート (VBR)", L"制約付き可変ビットレート",
                                            L"固定ビットレート (CBR)"}
                : std::vector<std::wstring>{L"Variable (VBR)", L"Constrained variable",
                                            L"Constant (CBR)"};
        EXPECT_EQ(modes, Entries(dialog, IDC_OPUS_MODE));
        EXPECT_EQ(0, SelectedIndex(dialog, IDC_OPUS_MODE));
        SaveScreenshot(dialog, L"opus-settings-" + InLanguage(L"ja", L"en"));
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(-2, answer);
}

TEST(FlacOpusSettings, ASavedValueShowsAndOkTakesTheChoiceWhileCancelKeepsTheRecord) {
    REQUIRE_RES_DLL();
    for (const FieldCase& field : kFieldCases) {
        for (int button : {IDOK, IDCANCEL}) {
            SCOPED_TRACE(std::string(field.what) + (button == IDOK ? ", OK" : ", Cancel"));
            RunFieldCase(field, button);
        }
    }
}

TEST(FlacOpusSettings, WithoutTheLibraryNoDialogAppearsAndTheAnswerIsCancel) {
    REQUIRE_NO_RES_DLL();
    TestRegistryBranch branch;
    CAudioInfo settings;
    settings.flacLevel = 7;
    settings.opusKbps = 64;
    for (EditFunction edit : {EditFlacSettings, EditOpusSettings})
        EXPECT_EQ(-2, edit(settings, nullptr));
    EXPECT_EQ(7, settings.flacLevel);
    EXPECT_EQ(64, settings.opusKbps);
}
