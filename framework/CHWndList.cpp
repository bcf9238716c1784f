#include "CHWndList.h"
#include <cwctype>

namespace {

std::wstring TrimmedTitle(HWND window) {
    wchar_t title[520] = {};
    GetWindowTextW(window, title, 520);
    std::wstring text = title;
    size_t first = 0, last = text.size();
    while (first < last && std::iswspace(text[first]))
        ++first;
    while (last > first && std::iswspace(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

} // namespace

BOOL CALLBACK CHWndList::AddWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

HWND CHWndList::FindByTitle(const std::wstring& prefix) {
    windows.clear();
    EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
        std::wstring title = TrimmedTitle(window);
        if (!title.empty() && title.compare(0, prefix.size(), prefix) == 0)
            return window;
    }
    return nullptr;
}
