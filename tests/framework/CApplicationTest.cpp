#include "framework/CApplication.h"
#include "CFormDialog.h"
#include <gtest/gtest.h>

namespace {

constexpr UINT kSeen = WM_APP + 1;
constexpr UINT kSwallowed = WM_APP + 2;

// Runs a form dialog from its InitInstance and keeps what its filter saw.
class CFilteringApp : public CApplication {
  public:
    std::vector<std::pair<int, UINT>> filtered;
    CFormDialog::Script script;
    bool keepRunning = false;
    std::vector<LONG> idleCounts;

    bool ProcessMessageFilter(int code, MSG* message) override {
        if (message->message == kSeen || message->message == kSwallowed)
            filtered.emplace_back(code, message->message);
        return message->message == kSwallowed;
    }
    bool OnIdle(LONG count) override {
        idleCounts.push_back(count);
        if (count == 2)
            PostQuitMessage(5);
        return count < 2;
    }

  protected:
    bool InitInstance() override {
        if (script) {
            CFormDialog dialog(script);
            SetMainWnd(&dialog);
            dialog.DoModal();
            SetMainWnd(nullptr);
        }
        return keepRunning;
    }
};

} // namespace

TEST(CApplication, TheMostRecentApplicationIsTheCurrentOne) {
    EXPECT_EQ(nullptr, CApplication::Current());
    {
        CApplication outer;
        EXPECT_EQ(&outer, CApplication::Current());
        {
            CApplication inner;
            EXPECT_EQ(&inner, CApplication::Current());
        }
        EXPECT_EQ(&outer, CApplication::Current());
    }
    EXPECT_EQ(nullptr, CApplication::Current());
}

TEST(CApplication, TheFilterSeesTheMessagesOfADialogsOwnLoopAndMayConsumeThem) {
    CFilteringApp application;
    std::vector<UINT> dialogSaw;
    application.script = [&](CFormDialog& form) {
        EXPECT_EQ(&form, application.GetMainWnd());
        form.Post(kSeen);
        form.Post(kSwallowed);
        form.Post(WM_COMMAND, IDCANCEL);
    };
    EXPECT_EQ(0, application.Run());
    EXPECT_EQ(
        (std::vector<std::pair<int, UINT>>{{MSGF_DIALOGBOX, kSeen}, {MSGF_DIALOGBOX, kSwallowed}}),
        application.filtered);
    EXPECT_TRUE(application.idleCounts.empty()) << "no message loop after InitInstance false";
}

TEST(CApplication, WithoutInitInstanceFalseTheLoopRunsIdleWorkUntilQuit) {
    CFilteringApp application;
    application.keepRunning = true;
    EXPECT_EQ(5, application.Run());
    EXPECT_EQ((std::vector<LONG>{0, 1, 2}), application.idleCounts);
}

TEST(CApplication, TheFilterIsGoneWhenRunHasEnded) {
    CFilteringApp application;
    application.script = [](CFormDialog& form) { form.Post(WM_COMMAND, IDCANCEL); };
    application.Run();
    application.filtered.clear();
    CFormDialog dialog([](CFormDialog& form) {
        form.Post(kSwallowed);
        form.Post(WM_COMMAND, IDCANCEL);
    });
    dialog.DoModal();
    EXPECT_TRUE(application.filtered.empty());
    EXPECT_NE(dialog.messages.end(),
              std::find(dialog.messages.begin(), dialog.messages.end(), kSwallowed));
}
