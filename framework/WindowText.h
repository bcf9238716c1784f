#pragma once
#include <string>
#include <windows.h>

// The whole current text of a window or control, however long.
std::wstring WindowText(HWND window);
