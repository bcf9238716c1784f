#include "CTestBaseDialog.h"
#include "TestEnvironment.h"
#include "UiTestIds.h"
#include "framework/CApplication.h"
#include "framework/WindowText.h"
#include "resources/resource.h"
#include "support/WindowTestSupport.h"
#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

namespace {

using Steps = std::deque<CTestBaseDialog::Step>;

void Close(CTestBaseDialog& dialog) {
    SendMessageW(dialog.GetSafeHwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

// A drop of these files as the shell hands it over: a DROPFILES block.
HDROP MakeDrop(const std::vector<std::wstring>& files) {
    size_t characters = 1;
    for (const auto& file : files)
        characters += file.size() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT,
                                 sizeof(DROPFILES) + characters * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* names = reinterpret_cast<wchar_t*>(drop + 1);
    for (const auto& file : files) {
        file.copy(names, file.size());
        names += file.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

LRESULT AskForTip(HWND dialog, HWND control, UINT flags, std::wstring& tip) {
    NMTTDISPINFOW request = {};
    request.hdr.hwndFrom = nullptr;
    request.hdr.idFrom = reinterpret_cast<UINT_PTR>(control);
    request.hdr.code = TTN_GETDISPINFOW;
    request.uFlags = flags;
    LRESULT answer = SendMessageW(dialog, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
    tip = request.lpszText ? request.lpszText : L"<null>";
    return answer;
}

class CRecordingApp : public CApplication {
  public:
    std::vector<UINT> commands;
    bool OnCommand(UINT id) override {
        commands.push_back(id);
        return true;
    }
};

bool Japanese() { return ExpectedLanguage() == "ja"; }

} // namespace

TEST(CBaseDialog, TheSystemMenuStartsWithHelpAboutAndASeparator) {
    std::vector<UINT> ids;
    std::vector<std::wstring> texts;
    CTestBaseDialog dialog({[&](CTestBaseDialog& self) {
        HMENU menu = GetSystemMenu(self.GetSafeHwnd(), FALSE);
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            ids.push_back(GetMenuItemID(menu, i));
            texts.push_back(MenuItemText(menu, i));
        }
        Close(self);
    }});
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    std::vector<UINT> expected = {ID_HELP_FINDER, ID_APP_ABOUT, 0, SC_MOVE, SC_MINIMIZE, SC_CLOSE};
    ASSERT_GE(ids.size(), expected.size());
    // Wine adds its own entries after Close.
    EXPECT_EQ(expected, std::vector<UINT>(ids.begin(), ids.begin() + expected.size()));
    EXPECT_EQ(L"Help\tF1", texts[0]);
    if (!ExpectedLanguage().empty()) {
        EXPECT_EQ(Japanese() ? L"バージョン情報...\tF10" : L"About...\tF10", texts[1]);
    }
    EXPECT_EQ(L"", texts[2]);
}

TEST(CBaseDialog, WithoutTheOptionTheSystemMenuStaysStandard) {
    UINT first = 0;
    CTestBaseDialog dialog({[&](CTestBaseDialog& self) {
                               first = GetMenuItemID(GetSystemMenu(self.GetSafeHwnd(), FALSE), 0);
                               Close(self);
                           }},
                           nullptr, 0);
    dialog.DoModal();
    EXPECT_EQ(SC_RESTORE, first);
}

TEST(CBaseDialog, SetsTheIconAcceptsFilesThemesAndTranslatesCancel) {
    CTestBaseDialog dialog({[](CTestBaseDialog& self) {
        HWND hwnd = self.GetSafeHwnd();
        HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
        EXPECT_EQ(icon, reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0)));
        EXPECT_EQ(icon, reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0)));
        EXPECT_TRUE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
        HMODULE uxtheme = LoadLibraryW(L"uxtheme.dll");
        auto enabled = reinterpret_cast<BOOL(WINAPI*)(HWND)>(
            reinterpret_cast<void (*)()>(GetProcAddress(uxtheme, "IsThemeDialogTextureEnabled")));
        ASSERT_NE(nullptr, enabled);
        EXPECT_TRUE(enabled(hwnd));
        FreeLibrary(uxtheme);
        if (!ExpectedLanguage().empty()) {
            EXPECT_EQ(Japanese() ? L"キャンセル" : L"Cancel", WindowText(self.Item(IDCANCEL)));
        }
        Close(self);
    }});
    dialog.DoModal();
    EXPECT_EQ(1, dialog.initDone);
}

TEST(CBaseDialog, DroppedFilesArriveOneByOneInOrderAndWhole) {
    std::wstring longPath = L"C:\\" + std::wstring(600, L'x') + L".wav";
    std::vector<std::wstring> files = {L"C:\\music\\b.mp3", L"C:\\音楽\\曲.ogg", longPath};
    CTestBaseDialog dialog({[&](CTestBaseDialog& self) {
        SendMessageW(self.GetSafeHwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files)),
                     0);
        Close(self);
    }});
    dialog.DoModal();
    EXPECT_EQ(files, dialog.dropped);
}

TEST(CBaseDialog, AToolTipRepeatsTheControlsTextAndNoneForAnEmptyControl) {
    CTestBaseDialog dialog({[](CTestBaseDialog& self) {
        HWND hwnd = self.GetSafeHwnd();
        std::wstring path = L"C:\\a rather long folder\\with a long file name.flac";
        SetWindowTextW(self.Item(IDC_BASE_PATH), path.c_str());
        std::wstring tip;
        EXPECT_EQ(1, AskForTip(hwnd, self.Item(IDC_BASE_PATH), TTF_IDISHWND, tip));
        EXPECT_EQ(path, tip);
        EXPECT_EQ(0, AskForTip(hwnd, self.Item(IDC_BASE_EMPTY), TTF_IDISHWND, tip));
        EXPECT_EQ(L"", tip);
        EXPECT_EQ(0, AskForTip(hwnd, self.Item(IDC_BASE_PATH), 0, tip));
        EXPECT_EQ(L"", tip);
        // Every control has a tip that asks the dialog for its text.
        HWND tips = nullptr;
        for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window && !tips;
             window = GetWindow(window, GW_HWNDNEXT))
            if (GetWindow(window, GW_OWNER) == hwnd && ClassNameOf(window) == TOOLTIPS_CLASSW)
                tips = window;
        ASSERT_NE(nullptr, tips);
        EXPECT_EQ(4, SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0));
        Close(self);
    }});
    dialog.DoModal();
}

TEST(CBaseDialog, CloseIsIgnoredWhileBusyAndEndsWithCancelAfterDataExchange) {
    bool openWhileBusy = false;
    int closesWhileBusy = -1;
    CTestBaseDialog dialog({[&](CTestBaseDialog& self) {
        SetWindowTextW(self.Item(IDC_BASE_PATH), L"C:\\typed.wav");
        self.SetIdle(0);
        EXPECT_EQ(0, self.IsIdle());
        Close(self);
        openWhileBusy = IsWindowVisible(self.GetSafeHwnd());
        closesWhileBusy = self.closes;
        self.SetIdle(1);
        Close(self);
    }});
    dialog.path = L"before";
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_TRUE(openWhileBusy);
    EXPECT_EQ(0, closesWhileBusy);
    EXPECT_EQ(1, dialog.closes);
    EXPECT_EQ(L"C:\\typed.wav", dialog.path);
}

TEST(CBaseDialog, EnterAndEscapeDoNotEndTheDialog) {
    bool stillOpen = false;
    CTestBaseDialog dialog({[](CTestBaseDialog& self) {
                                HWND edit = self.Item(IDC_BASE_PATH);
                                SetFocus(edit);
                                PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
                                PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
                                self.Next();
                            },
                            [&](CTestBaseDialog& self) {
                                stillOpen = IsWindowVisible(self.GetSafeHwnd());
                                Close(self);
                            }});
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(1, dialog.okCommands);
    EXPECT_EQ(1, dialog.cancelCommands);
}

TEST(CBaseDialog, MinimisingASubDialogHidesItsOwnerAndRestoringShowsIt) {
    bool hiddenWhileMinimised = false, shownWhenRestored = false, shownAfterClose = false;
    CTestBaseDialog owner({[&](CTestBaseDialog& self) {
        HWND ownerWindow = self.GetSafeHwnd();
        CTestBaseDialog sub({[&](CTestBaseDialog& child) {
                                ShowWindow(child.GetSafeHwnd(), SW_MINIMIZE);
                                hiddenWhileMinimised = !IsWindowVisible(ownerWindow);
                                ShowWindow(child.GetSafeHwnd(), SW_RESTORE);
                                shownWhenRestored = IsWindowVisible(ownerWindow);
                                ShowWindow(child.GetSafeHwnd(), SW_MINIMIZE);
                                Close(child);
                            }},
                            ownerWindow, 0);
        sub.DoModal();
        shownAfterClose = IsWindowVisible(ownerWindow);
        Close(self);
    }});
    owner.DoModal();
    EXPECT_TRUE(hiddenWhileMinimised);
    EXPECT_TRUE(shownWhenRestored);
    EXPECT_TRUE(shownAfterClose);
}

TEST(CBaseDialog, RightClickOpensTheSystemMenuOnlyWhenCustomised) {
    HMENU systemMenu = nullptr;
    CTestBaseDialog customised({[&](CTestBaseDialog& self) {
        systemMenu = GetSystemMenu(self.GetSafeHwnd(), FALSE);
        SendMessageW(self.GetSafeHwnd(), WM_CONTEXTMENU,
                     reinterpret_cast<WPARAM>(self.GetSafeHwnd()), MAKELPARAM(-1, -1));
        Close(self);
    }});
    customised.DoModal();
    EXPECT_NE(nullptr, systemMenu);
    EXPECT_EQ(systemMenu, customised.trackedMenu);

    CTestBaseDialog plain({[](CTestBaseDialog& self) {
                              SendMessageW(self.GetSafeHwnd(), WM_CONTEXTMENU,
                                           reinterpret_cast<WPARAM>(self.GetSafeHwnd()), 0);
                              Close(self);
                          }},
                          nullptr, 0);
    plain.DoModal();
    EXPECT_EQ(nullptr, plain.trackedMenu);
}

TEST(CBaseDialog, CloseChosenFromTheRightClickMenuKeepsToTheBusyRule) {
    CTestBaseDialog dialog({[](CTestBaseDialog& self) {
        // "&Close" is the entry whose mnemonic is C.
        self.menuAction = [&self](HWND) { PostMessageW(self.GetSafeHwnd(), WM_CHAR, L'c', 0); };
        SendMessageW(self.GetSafeHwnd(), WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1));
    }});
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(1, dialog.closes);
}

TEST(CBaseDialog, DraggingWithTheLeftButtonAloneMovesTheWindow) {
    int loopsWithShift = -1;
    CTestBaseDialog dialog({[](CTestBaseDialog& self) {
                                // Escape ends the move loop where it started.
                                PostMessageW(self.GetSafeHwnd(), WM_MOUSEMOVE, MK_LBUTTON, 0);
                                PostMessageW(self.GetSafeHwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
                                self.Next();
                            },
                            [&](CTestBaseDialog& self) {
                                loopsWithShift = self.moveLoops;
                                PostMessageW(self.GetSafeHwnd(), WM_MOUSEMOVE,
                                             MK_LBUTTON | MK_SHIFT, 0);
                                PostMessageW(self.GetSafeHwnd(), WM_MOUSEMOVE, 0, 0);
                                self.Next();
                            },
                            [](CTestBaseDialog& self) { Close(self); }});
    dialog.DoModal();
    EXPECT_EQ(1, loopsWithShift);
    EXPECT_EQ(1, dialog.moveLoops);
}

TEST(CBaseDialog, HelpAndAboutFromTheSystemMenuReachTheApplication) {
    CRecordingApp application;
    CTestBaseDialog dialog({[](CTestBaseDialog& self) {
                                SendMessageW(self.GetSafeHwnd(), WM_SYSCOMMAND, ID_HELP_FINDER, 0);
                                SendMessageW(self.GetSafeHwnd(), WM_SYSCOMMAND, ID_APP_ABOUT, 0);
                                self.Next();
                            },
                            [](CTestBaseDialog& self) { Close(self); }});
    dialog.DoModal();
    EXPECT_EQ((std::vector<UINT>{ID_HELP_FINDER, ID_APP_ABOUT}), application.commands);
}

TEST(CBaseDialog, SetItemTextFitsTheControlToItsTextWithinTheDialog) {
    CTestBaseDialog dialog({[](CTestBaseDialog& self) {
        HWND edit = self.Item(IDC_BASE_EMPTY);
        RECT before = {}, after = {}, frame = {};
        GetWindowRect(edit, &before);
        self.SetItemText(IDC_BASE_EMPTY, L"short", 1);
        GetWindowRect(edit, &after);
        EXPECT_EQ(before.right - before.left, after.right - after.left);
        self.SetItemText(IDC_BASE_EMPTY, std::wstring(200, L'W'), 1);
        GetWindowRect(edit, &after);
        GetWindowRect(self.GetSafeHwnd(), &frame);
        EXPECT_EQ(frame.right, after.right);
        EXPECT_EQ(std::wstring(200, L'W'), WindowText(edit));
        self.SetItemText(IDC_BASE_PATH, std::wstring(200, L'W'), 0);
        GetWindowRect(self.Item(IDC_BASE_PATH), &after);
        EXPECT_EQ(before.right - before.left, after.right - after.left);
        self.SetItemText(4242, L"no such control", 1);
        Close(self);
    }});
    dialog.DoModal();
}

TEST(CBaseDialog, AMenuFromTheResourcesReplacesAndDestroysTheOldOne) {
    CTestBaseDialog dialog({[](CTestBaseDialog& self) {
        HWND hwnd = self.GetSafeHwnd();
        self.SetMenuFromResource(IDR_MENU_JAPANESE);
        HMENU japanese = GetMenu(hwnd);
        EXPECT_EQ(L"バッチ処理(&B)", MenuItemText(japanese, 0));
        self.SetMenuFromResource(IDR_MENU_ENGLISH);
        EXPECT_EQ(L"Bat(&B)", MenuItemText(GetMenu(hwnd), 0));
        EXPECT_FALSE(IsMenu(japanese));
        self.SetMenuFromResource(4242);
        EXPECT_EQ(L"Help...(F1)", MenuItemText(GetMenu(hwnd), 1));
        Close(self);
    }});
    dialog.DoModal();
}
