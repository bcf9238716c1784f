#include "CFormDialog.h"
#include "FrameworkTestIds.h"
#include "framework/WindowText.h"
#include "support/WindowTestSupport.h"
#include <gtest/gtest.h>

namespace {

void PressOK(CFormDialog& dialog) { SendMessageW(dialog.GetSafeHwnd(), WM_COMMAND, IDOK, 0); }

} // namespace

TEST(CDataExchange, FieldsReachTheControlsAtStartAndComeBackOnOK) {
    CFormDialog dialog([](CFormDialog& form) {
        EXPECT_EQ(L"before", WindowText(form.GetDlgItem(IDC_FORM_TEXT)));
        EXPECT_EQ(L"-12", WindowText(form.GetDlgItem(IDC_FORM_NUMBER)));
        EXPECT_EQ(BST_CHECKED, SendMessageW(form.GetDlgItem(IDC_FORM_CHECK), BM_GETCHECK, 0, 0));
        EXPECT_EQ(2, SendMessageW(form.GetDlgItem(IDC_FORM_LIST), CB_GETCURSEL, 0, 0));
        form.SetControlText(IDC_FORM_TEXT, L"日本語の後");
        form.SetControlText(IDC_FORM_NUMBER, L"  +42\t");
        SendMessageW(form.GetDlgItem(IDC_FORM_CHECK), BM_SETCHECK, BST_UNCHECKED, 0);
        SendMessageW(form.GetDlgItem(IDC_FORM_LIST), CB_SETCURSEL, 0, 0);
        PressOK(form);
    });
    dialog.text = L"before";
    dialog.number = -12;
    dialog.check = 1;
    dialog.choice = 2;
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(L"日本語の後", dialog.text);
    EXPECT_EQ(42, dialog.number);
    EXPECT_EQ(0, dialog.check);
    EXPECT_EQ(0, dialog.choice);
}

TEST(CDataExchange, CancelLeavesTheFieldsAlone) {
    CFormDialog dialog([](CFormDialog& form) {
        form.SetControlText(IDC_FORM_TEXT, L"typed");
        SendMessageW(form.GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
    });
    dialog.text = L"kept";
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(L"kept", dialog.text);
}

TEST(CDataExchange, ANonIntegerIsRefusedInJapaneseAndTheDialogStaysOpen) {
    CMessageBoxAnswerer answerer;
    bool visibleAfterRefusal = false, focusOnNumber = false;
    CFormDialog dialog([&](CFormDialog& form) {
        form.SetControlText(IDC_FORM_NUMBER, L"12a");
        SendMessageW(form.GetDlgItem(IDC_FORM_CHECK), BM_SETCHECK, BST_CHECKED, 0);
        PressOK(form);
        visibleAfterRefusal = IsWindowVisible(form.GetSafeHwnd());
        focusOnNumber = GetFocus() == form.GetDlgItem(IDC_FORM_NUMBER);
        form.SetControlText(IDC_FORM_NUMBER, L"-2147483648");
        PressOK(form);
    });
    dialog.number = 7;
    EXPECT_EQ(IDOK, dialog.DoModal());
    ASSERT_EQ(1u, answerer.Texts().size());
    EXPECT_EQ(L"整数を入力してください。", answerer.Texts()[0]);
    EXPECT_TRUE(visibleAfterRefusal);
    EXPECT_TRUE(focusOnNumber);
    // The refused exchange changed nothing and skipped the check box after it.
    ASSERT_EQ(2u, dialog.afterOK.size());
    EXPECT_EQ(std::make_pair(7, 0), dialog.afterOK[0]);
    EXPECT_EQ(std::make_pair(-2147483647 - 1, 1), dialog.afterOK[1]);
}

TEST(CDataExchange, OnlyWholeNumbersWithinRangeAreIntegers) {
    CMessageBoxAnswerer answerer;
    std::vector<std::pair<std::wstring, bool>> accepted;
    CFormDialog dialog([&](CFormDialog& form) {
        for (const wchar_t* text :
             {L"", L" ", L"-", L"1.5", L"1e3", L"0x10", L"2147483648", L"-2147483649",
              L"99999999999999999999", L"１２", L"2147483647", L" -0 ", L"007"}) {
            form.SetControlText(IDC_FORM_NUMBER, text);
            accepted.emplace_back(text, form.UpdateData(true));
        }
        SendMessageW(form.GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
    });
    dialog.DoModal();
    size_t refused = 0;
    for (const auto& [text, ok] : accepted) {
        bool expected = text == L"2147483647" || text == L" -0 " || text == L"007";
        EXPECT_EQ(expected, ok) << "\"" << std::string(text.begin(), text.end()) << "\"";
        refused += ok ? 0 : 1;
    }
    EXPECT_EQ(7, dialog.number);
    EXPECT_EQ(refused, answerer.Texts().size());
}

TEST(CDataExchange, HelpersAreBoundToTheirControlsOnce) {
    HWND boundList = nullptr, boundProgress = nullptr;
    CFormDialog dialog([&](CFormDialog& form) {
        boundList = form.list.GetHwnd();
        boundProgress = form.progress.GetHwnd();
        EXPECT_EQ(form.GetDlgItem(IDC_FORM_LIST), boundList);
        EXPECT_EQ(form.GetDlgItem(IDC_FORM_PROGRESS), boundProgress);
        form.list.Attach(nullptr);
        form.progress.Attach(form.GetDlgItem(IDC_FORM_TEXT));
        form.UpdateData(true);
        EXPECT_EQ(boundList, form.list.GetHwnd());
        EXPECT_EQ(form.GetDlgItem(IDC_FORM_TEXT), form.progress.GetHwnd());
        SendMessageW(form.GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
    });
    dialog.DoModal();
    EXPECT_NE(nullptr, boundList);
    EXPECT_NE(nullptr, boundProgress);
}
