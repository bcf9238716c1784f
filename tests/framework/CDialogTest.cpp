#include "CFormDialog.h"
#include "FrameworkTestIds.h"
#include "framework/CApplication.h"
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// Keeps the commands that reach the application.
class CRecordingApp : public CApplication {
  public:
    std::vector<UINT> commands;
    bool OnCommand(UINT id) override {
        commands.push_back(id);
        return id == 40001;
    }
};

bool Saw(const CFormDialog& dialog, UINT message) {
    return std::find(dialog.messages.begin(), dialog.messages.end(), message) !=
           dialog.messages.end();
}

} // namespace

TEST(CDialog, CommandsTheDialogDoesNotHandleGoOnToTheApplication) {
    CRecordingApp application;
    CFormDialog dialog([](CFormDialog& form) {
        HWND hwnd = form.GetSafeHwnd();
        SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(40001, 0), 0); // a menu item
        SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(40002, 1), 0); // an accelerator
        // A control's notification is no command.
        SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_FORM_TEXT, EN_CHANGE),
                     reinterpret_cast<LPARAM>(form.GetDlgItem(IDC_FORM_TEXT)));
        SendMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ((std::vector<UINT>{40001, 40002}), application.commands);
}

TEST(CDialog, WithoutAnApplicationUnhandledCommandsAreIgnored) {
    ASSERT_EQ(nullptr, CApplication::Current());
    CFormDialog dialog([](CFormDialog& form) {
        SendMessageW(form.GetSafeHwnd(), WM_COMMAND, 40001, 0);
        SendMessageW(form.GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
}

TEST(CDialog, AHandlerThatFailsDoesNotEndTheDialog) {
    CFormDialog dialog([](CFormDialog& form) {
        SendMessageW(form.GetSafeHwnd(), WM_COMMAND, 40003, 0);
        EXPECT_TRUE(IsWindowVisible(form.GetSafeHwnd()));
        SendMessageW(form.GetSafeHwnd(), WM_COMMAND, IDOK, 0);
    });
    dialog.throwingCommand = 40003;
    EXPECT_EQ(IDOK, dialog.DoModal());
}

TEST(CDialog, AMissingTemplateIsNotShown) {
    CDialog dialog(4321);
    EXPECT_EQ(-1, dialog.DoModal());
    EXPECT_EQ(nullptr, dialog.GetSafeHwnd());
}

TEST(CDialog, TheWindowHandleIsKnownOnlyWhileTheDialogLives) {
    HWND during = nullptr;
    CFormDialog dialog([&](CFormDialog& form) {
        during = form.GetSafeHwnd();
        form.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(nullptr, dialog.GetSafeHwnd());
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_TRUE(during != nullptr);
    EXPECT_EQ(nullptr, dialog.GetSafeHwnd());
    EXPECT_EQ(nullptr, dialog.GetDlgItem(IDC_FORM_TEXT));
    EXPECT_TRUE(Saw(dialog, WM_INITDIALOG));
}
