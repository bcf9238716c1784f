#include "WindowTestSupport.h"
#include "framework/WindowText.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <commctrl.h>

std::wstring ClassNameOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring ControlText(HWND control) {
    LRESULT length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    LRESULT copied =
        SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::wstring MenuItemText(HMENU menu, UINT position) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return text;
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

DWORD ThreadOf(HWND window) { return GetWindowThreadProcessId(window, nullptr); }

bool IsDialogClass(HWND window) { return ClassNameOf(window) == L"#32770"; }

bool IsDialogShown(HWND window) {
    return IsWindow(window) && IsWindowVisible(window) && IsDialogClass(window);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() > end)
            return false;
        Sleep(20);
    }
}

namespace {

struct Search {
    const std::function<bool(HWND)>* match;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    if (IsWindowVisible(window) && (*search->match)(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// One search for both kinds of enumeration: enumerate passes its LPARAM on to Visit.
HWND WaitForVisited(const std::function<void(LPARAM)>& enumerate,
                    const std::function<bool(HWND)>& match, DWORD timeoutMs) {
    Search search = {&match, nullptr};
    WaitUntil(
        [&] {
            enumerate(reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM texts) {
    if (ClassNameOf(child) == L"Static")
        *reinterpret_cast<std::wstring*>(texts) += ControlText(child);
    return TRUE;
}

} // namespace

HWND WaitForWindow(const std::function<bool(HWND)>& match, DWORD timeoutMs) {
    return WaitForVisited([](LPARAM search) { EnumWindows(Visit, search); }, match, timeoutMs);
}

HWND WaitForWindow(DWORD thread, const std::function<bool(HWND)>& match, DWORD timeoutMs) {
    return WaitForVisited([thread](LPARAM search) { EnumThreadWindows(thread, Visit, search); },
                          match, timeoutMs);
}

HWND WaitForThreadDialog(DWORD threadId, const std::wstring& caption, DWORD timeoutMs) {
    return WaitForWindow(
        threadId, [&](HWND w) { return IsDialogClass(w) && WindowText(w) == caption; }, timeoutMs);
}

HWND WaitForDialogWith(DWORD thread, int controlId, DWORD timeoutMs) {
    return WaitForWindow(
        thread, [&](HWND w) { return IsDialogShown(w) && GetDlgItem(w, controlId); }, timeoutMs);
}

HWND WaitForOwnedDialog(DWORD thread, HWND owner, DWORD timeoutMs) {
    return WaitForWindow(
        thread, [&](HWND w) { return IsDialogShown(w) && GetWindow(w, GW_OWNER) == owner; },
        timeoutMs);
}

HWND WaitForOwnedDialog(HWND owner, DWORD timeoutMs) {
    return WaitForOwnedDialog(ThreadOf(owner), owner, timeoutMs);
}

std::wstring ItemText(HWND dialog, int id) { return ControlText(GetDlgItem(dialog, id)); }

std::wstring SelectedTreeItemText(HWND window) {
    HWND tree = FindWindowExW(window, nullptr, WC_TREEVIEWW, nullptr);
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    wchar_t text[MAX_PATH] = {};
    TVITEMW request = {};
    request.mask = TVIF_TEXT;
    request.hItem = item;
    request.pszText = text;
    request.cchTextMax = MAX_PATH;
    if (!tree || !item || !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&request)))
        return L"";
    return text;
}

std::wstring StaticTexts(HWND dialog) {
    std::wstring texts;
    EnumChildWindows(dialog, CollectStatic, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

bool IsItemEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

bool IsItemChecked(HWND dialog, int id) { return SendTo(dialog, id, BM_GETCHECK) == BST_CHECKED; }

int SelectedIndex(HWND dialog, int id) {
    return static_cast<int>(SendTo(dialog, id, CB_GETCURSEL));
}

DWORD_PTR SelectedData(HWND dialog, int id) {
    LRESULT selected = SendTo(dialog, id, CB_GETCURSEL);
    return static_cast<DWORD_PTR>(
        SendTo(dialog, id, CB_GETITEMDATA, static_cast<WPARAM>(selected)));
}

std::vector<std::wstring> Entries(HWND dialog, int id) {
    std::vector<std::wstring> entries;
    const int count = static_cast<int>(SendTo(dialog, id, CB_GETCOUNT));
    for (int i = 0; i < count; ++i) {
        LRESULT length = SendTo(dialog, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(i));
        std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        LRESULT copied = SendTo(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(i),
                                reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        entries.push_back(text);
    }
    return entries;
}

std::vector<DWORD_PTR> EntryData(HWND dialog, int id) {
    std::vector<DWORD_PTR> data;
    const int count = static_cast<int>(SendTo(dialog, id, CB_GETCOUNT));
    for (int i = 0; i < count; ++i)
        data.push_back(
            static_cast<DWORD_PTR>(SendTo(dialog, id, CB_GETITEMDATA, static_cast<WPARAM>(i))));
    return data;
}

CMessageBoxAnswerer::CMessageBoxAnswerer() : watcher([this] { Watch(); }) {}

CMessageBoxAnswerer::~CMessageBoxAnswerer() {
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    watcher.join();
}

void CMessageBoxAnswerer::Watch() {
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(lock);
            if (stopping)
                return;
        }
        // A message box is a dialog with its text in the static control 0xFFFF.
        HWND box = ::WaitForWindow(
            [&](HWND window) {
                std::lock_guard<std::mutex> guard(lock);
                return ProcessOf(window) == GetCurrentProcessId() && IsDialogClass(window) &&
                       GetDlgItem(window, 0xFFFF) &&
                       std::find(answered.begin(), answered.end(), window) == answered.end();
            },
            50);
        if (!box)
            continue;
        std::lock_guard<std::mutex> guard(lock);
        answered.push_back(box);
        texts.push_back(WindowText(GetDlgItem(box, 0xFFFF)));
        captions.push_back(WindowText(box));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
}

std::vector<std::wstring> CMessageBoxAnswerer::Texts() {
    std::lock_guard<std::mutex> guard(lock);
    return texts;
}

std::vector<std::wstring> CMessageBoxAnswerer::Captions() {
    std::lock_guard<std::mutex> guard(lock);
    return captions;
}

CTestProcess::CTestProcess(const std::wstring& program, const std::wstring& folder,
                           const std::wstring& arguments) {
    std::wstring line = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started))
        return;
    CloseHandle(started.hThread);
    process = started.hProcess;
    id = started.dwProcessId;
}

CTestProcess::~CTestProcess() {
    if (!process)
        return;
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
        TerminateProcess(process, 1);
    CloseHandle(process);
}

HWND CTestProcess::WaitForWindow(const std::wstring& titlePrefix, DWORD timeoutMs) const {
    return ::WaitForWindow(
        [&](HWND window) {
            return ProcessOf(window) == id && WindowText(window).rfind(titlePrefix, 0) == 0;
        },
        timeoutMs);
}

long CTestProcess::WaitForExit(DWORD timeoutMs) const {
    DWORD code = 0;
    if (!process || WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process, &code))
        return -1;
    return static_cast<long>(code);
}

LRESULT SendTo(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(GetDlgItem(dialog, id), message, wParam, lParam);
}

void Notify(HWND dialog, int id, WORD code) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

namespace {

bool IsJapaneseRun() {
    const char* language = std::getenv("ZEP_TEST_LANGUAGE");
    return language && std::strcmp(language, "ja") == 0;
}

std::wstring ScreenshotFolder() {
    const char* folder = std::getenv("ZEP_SCREENSHOT_DIR");
    if (!folder || !*folder)
        return std::wstring();
    std::wstring path(folder, folder + strlen(folder));
    // A host path reaches Wine through its drive Z:.
    if (path[0] == L'/')
        path = L"Z:" + path;
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path + L"\\";
}

void WriteBitmap(const std::wstring& path, HDC dc, HBITMAP bitmap, int width, int height) {
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    header.biSizeImage = stride * static_cast<DWORD>(height);
    std::vector<BYTE> pixels(header.biSizeImage);
    GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::unique_ptr<FILE, int (*)(FILE*)> out(_wfopen(path.c_str(), L"wb"), fclose);
    if (!out) {
        fwprintf(stderr, L"cannot write the screenshot %ls\n", path.c_str());
        return;
    }
    fwrite(&file, sizeof(file), 1, out.get());
    fwrite(&header, sizeof(header), 1, out.get());
    fwrite(pixels.data(), 1, pixels.size(), out.get());
}

// The language decides the corner, so the programs of one run never overlap.
void MoveToCorner(HWND window) {
    RECT frame = {};
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int x = GetSystemMetrics(SM_CXSCREEN) - width - 8;
    const int y = IsJapaneseRun() ? GetSystemMetrics(SM_CYSCREEN) - height - 8 : 8;
    SetWindowPos(window, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

} // namespace

void Click(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SetItemText(HWND dialog, int id, const std::wstring& text) {
    SendTo(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SetCheck(HWND dialog, int id, bool checked) {
    SendTo(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
    Notify(dialog, id, BN_CLICKED);
}

void SelectEntry(HWND dialog, int id, int index) {
    SendTo(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index));
    Notify(dialog, id, CBN_SELCHANGE);
}

bool SelectEntryByPrefix(HWND dialog, int id, const std::wstring& prefix) {
    const LRESULT index = SendTo(dialog, id, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(prefix.c_str()));
    if (index == CB_ERR)
        return false;
    SelectEntry(dialog, id, static_cast<int>(index));
    return true;
}

void SaveScreenshot(HWND window, const std::wstring& name) {
    const std::wstring folder = ScreenshotFolder();
    if (folder.empty())
        return;
    CreateDirectoryW(folder.c_str(), nullptr);
    MoveToCorner(window);
    Sleep(300); // Wine hands painted pixels to the display a little later
    RECT frame = {};
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
    SelectObject(memory, previous);
    WriteBitmap(folder + name + L".bmp", memory, bitmap, width, height);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}
