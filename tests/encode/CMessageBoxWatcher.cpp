#include "CMessageBoxWatcher.h"
#include "support/WindowTestSupport.h"
#include <algorithm>

namespace {
BOOL CALLBACK CountButton(HWND child, LPARAM buttons) {
    if (ClassNameOf(child) == L"Button" && IsWindowVisible(child))
        ++*reinterpret_cast<int*>(buttons);
    return TRUE;
}
} // namespace

CMessageBoxWatcher::CMessageBoxWatcher()
    : watchedThread(GetCurrentThreadId()), watcher([this] { Watch(); }) {}

CMessageBoxWatcher::~CMessageBoxWatcher() {
    stop = true;
    watcher.join();
}

std::vector<CMessageBoxWatcher::Box> CMessageBoxWatcher::Boxes() {
    std::lock_guard<std::mutex> guard(lock);
    return boxes;
}

void CMessageBoxWatcher::Watch() {
    while (!stop) {
        EnumThreadWindows(watchedThread, &OnWindow, reinterpret_cast<LPARAM>(this));
        Sleep(20);
    }
}

BOOL CALLBACK CMessageBoxWatcher::OnWindow(HWND window, LPARAM self) {
    if (IsDialogShown(window))
        reinterpret_cast<CMessageBoxWatcher*>(self)->Close(window);
    return TRUE;
}

void CMessageBoxWatcher::Close(HWND box) {
    std::lock_guard<std::mutex> guard(lock);
    if (std::find(closed.begin(), closed.end(), box) != closed.end())
        return;
    Box seen{StaticTexts(box), 0};
    EnumChildWindows(box, &CountButton, reinterpret_cast<LPARAM>(&seen.buttons));
    boxes.push_back(seen);
    closed.push_back(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}
