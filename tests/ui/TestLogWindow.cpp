#include "TestLogWindow.h"

namespace {
const wchar_t kClassName[] = L"ZepTestLogRecorder";
}

TestLogWindow::TestLogWindow(const std::wstring& title) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    window = CreateWindowW(kClassName, title.c_str(), WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TestLogWindow::~TestLogWindow() { DestroyWindow(window); }

LRESULT CALLBACK TestLogWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TestLogWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message != WM_COPYDATA || !self)
        return DefWindowProcW(window, message, wParam, lParam);
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    const auto* text = static_cast<const wchar_t*>(data->lpData);
    self->lines.emplace_back(text, wcsnlen(text, data->cbData / sizeof(wchar_t)));
    return TRUE;
}
