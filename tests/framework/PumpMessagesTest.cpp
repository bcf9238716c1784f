#include "framework/PumpMessages.h"
#include "framework/CApplication.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<UINT> received;

LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_APP)
        received.push_back(message);
    return DefWindowProcW(window, message, wParam, lParam);
}

// A message-only window that keeps the application messages it is sent.
class CReceiver {
  public:
    CReceiver() {
        WNDCLASSW type = {};
        type.lpfnWndProc = Record;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = L"PumpMessagesTestReceiver";
        RegisterClassW(&type);
        window = CreateWindowW(type.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               type.hInstance, nullptr);
        received.clear();
    }
    ~CReceiver() { DestroyWindow(window); }
    HWND window;
};

class CIdleApp : public CApplication {
  public:
    std::vector<LONG> counts;
    bool OnIdle(LONG count) override {
        counts.push_back(count);
        return count < 3;
    }
};

bool QuitIsWaiting(WPARAM* code) {
    MSG message;
    if (!PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return false;
    *code = message.wParam;
    return true;
}

} // namespace

TEST(PumpMessages, HandlesWaitingMessagesThenTheIdleWork) {
    CReceiver receiver;
    CIdleApp application;
    PostMessageW(receiver.window, WM_APP + 1, 0, 0);
    PostMessageW(receiver.window, WM_APP + 2, 0, 0);
    EXPECT_EQ(0, PumpMessages());
    EXPECT_EQ((std::vector<UINT>{WM_APP + 1, WM_APP + 2}), received);
    EXPECT_EQ((std::vector<LONG>{0, 1, 2, 3}), application.counts);
    MSG left;
    EXPECT_FALSE(PeekMessageW(&left, nullptr, 0, 0, PM_NOREMOVE));
}

TEST(PumpMessages, ReturnsOneAndPostsTheQuitMessageAgain) {
    CReceiver receiver;
    CIdleApp application;
    PostQuitMessage(3);
    PostMessageW(receiver.window, WM_APP + 1, 0, 0);
    EXPECT_EQ(1, PumpMessages());
    EXPECT_EQ(std::vector<UINT>{WM_APP + 1}, received);
    EXPECT_TRUE(application.counts.empty());
    WPARAM code = 99;
    EXPECT_TRUE(QuitIsWaiting(&code));
    EXPECT_EQ(0u, code);
}

TEST(PumpMessages, WorksWithoutAnApplication) {
    CReceiver receiver;
    ASSERT_EQ(nullptr, CApplication::Current());
    PostMessageW(receiver.window, WM_APP + 4, 0, 0);
    EXPECT_EQ(0, PumpMessages());
    EXPECT_EQ(std::vector<UINT>{WM_APP + 4}, received);
    PostQuitMessage(0);
    EXPECT_EQ(1, PumpMessages());
    WPARAM code = 99;
    EXPECT_TRUE(QuitIsWaiting(&code));
}
