#include "CFormDialog.h"
#include <gtest/gtest.h>

TEST(CComboBox, AddsSelectsAndReadsItems) {
    CFormDialog dialog([](CFormDialog& form) {
        CComboBox& list = form.list;
        EXPECT_EQ(3, list.GetCount());
        list.ResetContent();
        EXPECT_EQ(0, list.GetCount());
        EXPECT_EQ(0, list.AddString(L"WAV(ACM)"));
        EXPECT_EQ(1, list.AddString(L"mp3 (gogo.dll)"));
        list.SetItemData(1, 3);
        EXPECT_EQ(3u, list.GetItemData(1));
        EXPECT_EQ(-1, list.GetCurSel());
        EXPECT_EQ(1, list.SetCurSel(1));
        EXPECT_EQ(1, list.GetCurSel());
        EXPECT_EQ(L"mp3 (gogo.dll)", list.GetLBText(1));
        EXPECT_EQ(L"", list.GetLBText(5));
        EXPECT_EQ(-1, list.SetCurSel(-1));
        EXPECT_EQ(-1, list.GetCurSel());
        form.EndDialog(IDCANCEL);
    });
    dialog.DoModal();
}

TEST(CComboBox, WithoutAControlNothingHappens) {
    CComboBox list;
    EXPECT_EQ(CB_ERR, list.AddString(L"x"));
    EXPECT_EQ(CB_ERR, list.GetCurSel());
    EXPECT_EQ(L"", list.GetLBText(0));
}

TEST(CProgressCtrl, KeepsItsPositionWithinTheRange) {
    CFormDialog dialog([](CFormDialog& form) {
        CProgressCtrl& bar = form.progress;
        EXPECT_EQ(0, bar.GetPos());
        EXPECT_EQ(0, bar.SetPos(40));
        EXPECT_EQ(40, bar.SetPos(100));
        EXPECT_EQ(100, bar.GetPos());
        bar.SetRange(0, 50);
        bar.SetPos(70);
        EXPECT_EQ(50, bar.GetPos());
        form.EndDialog(IDCANCEL);
    });
    dialog.DoModal();
    CProgressCtrl unbound;
    EXPECT_EQ(0, unbound.SetPos(5));
    EXPECT_EQ(0, unbound.GetPos());
}
