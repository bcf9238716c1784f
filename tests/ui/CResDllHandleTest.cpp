#include "ui/CResDllHandle.h"
#include "TestEnvironment.h"
#include "framework/PathSplit.h"
#include <gtest/gtest.h>

namespace {

// Ends itself with OK as soon as it is shown, remembering its owner.
class SelfClosingDialog : public CDialog {
  public:
    SelfClosingDialog() : CDialog(0) {}
    bool initialised = false;
    HWND owner = reinterpret_cast<HWND>(1);

  protected:
    BOOL OnInitDialog() override {
        initialised = true;
        owner = GetWindow(GetSafeHwnd(), GW_OWNER);
        PostMessageW(GetSafeHwnd(), WM_COMMAND, IDOK, 0);
        return TRUE;
    }
};

std::wstring TestLibraryPath() { return ExecutableFolder() + L"testres.dll"; }

} // namespace

TEST(CResDllHandle, TheProcessWideLibraryIsLoadedFromBesideTheExecutable) {
    if (ExpectedResDll().empty())
        GTEST_SKIP() << "ZEP_TEST_RES_DLL is not set";
    EXPECT_EQ(ExpectedResDll() == "present", ResDllHandle.GetModule() != nullptr);
}

TEST(CResDllHandle, WithoutALibraryEverythingIsEmpty) {
    CResDllHandle library(L"no-such-library.dll");
    EXPECT_EQ(nullptr, library.GetModule());
    EXPECT_EQ(L"", library.LoadString(501));
    EXPECT_EQ(nullptr, library.LoadIcon(600));
    SelfClosingDialog dialog;
    EXPECT_EQ(-1, library.RunDialog(dialog, 700));
    EXPECT_FALSE(dialog.initialised);
}

TEST(CResDllHandle, StringsAreCutTo259Characters) {
    CResDllHandle library(TestLibraryPath().c_str());
    ASSERT_NE(nullptr, library.GetModule());
    std::wstring cut = library.LoadString(500);
    ASSERT_EQ(259u, cut.size());
    EXPECT_EQ(L"0123456789", cut.substr(0, 10));
    EXPECT_EQ(L'8', cut.back()); // character 259 of "0123456789..." is '8'
    EXPECT_EQ(L"短い日本語", library.LoadString(501));
    EXPECT_EQ(L"", library.LoadString(503));
}

TEST(CResDllHandle, IconsComeFromTheLibrary) {
    CResDllHandle library(TestLibraryPath().c_str());
    EXPECT_NE(nullptr, library.LoadIcon(600));
    EXPECT_EQ(nullptr, library.LoadIcon(601));
}

TEST(CResDllHandle, RunDialogShowsTheLibrarysTemplateWithoutParent) {
    CResDllHandle library(TestLibraryPath().c_str());
    SelfClosingDialog dialog;
    EXPECT_EQ(IDOK, library.RunDialog(dialog, 700));
    EXPECT_TRUE(dialog.initialised);
    EXPECT_EQ(nullptr, dialog.owner);

    SelfClosingDialog missing;
    EXPECT_EQ(-1, library.RunDialog(missing, 701));
    EXPECT_FALSE(missing.initialised);
}

TEST(CResDllHandle, LoadReplacesAndFreeReleasesTheLibrary) {
    CResDllHandle library(TestLibraryPath().c_str());
    EXPECT_FALSE(library.Load(L"no-such-library.dll"));
    EXPECT_EQ(L"", library.LoadString(502));
    EXPECT_TRUE(library.Load(TestLibraryPath().c_str()));
    EXPECT_EQ(L"Short English", library.LoadString(502));
    library.Free();
    EXPECT_EQ(nullptr, library.GetModule());
    EXPECT_EQ(L"", library.LoadString(502));
}
