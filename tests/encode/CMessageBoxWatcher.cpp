#include "CMessageBoxWatcher.h"
#include <algorithm>

namespace {
std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

BOOL CALLBACK ReadChild(HWND child, LPARAM box) {
    auto* seen = reinterpret_cast<CMessageBoxWatcher::Box*>(box);
    std::wstring kind = ClassOf(child);
    if (kind == L"Static" && !TextOf(child).empty())
        seen->text += TextOf(child);
    if (kind == L"Button" && IsWindowVisible(child))
        ++seen->buttons;
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
    if (ClassOf(window) == L"#32770" && IsWindowVisible(window))
        reinterpret_cast<CMessageBoxWatcher*>(self)->Close(window);
    return TRUE;
}

void CMessageBoxWatcher::Close(HWND box) {
    std::lock_guard<std::mutex> guard(lock);
    if (std::find(closed.begin(), closed.end(), box) != closed.end())
        return;
    Box seen{L"", 0};
    EnumChildWindows(box, &ReadChild, reinterpret_cast<LPARAM>(&seen));
    boxes.push_back(seen);
    closed.push_back(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}
