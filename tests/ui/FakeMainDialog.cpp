#include "FakeMainDialog.h"
#include "framework/CSendLogMsg.h"
#include "framework/PumpMessages.h"
#include "resources/ErrorNumbers.h"
#include "resources/resource.h"
#include "ui/CZEPApp.h"
#include "ui/ErrorMessages.h"
#include <fstream>

#include <commctrl.h>

namespace {

const wchar_t kClassName[] = L"ZepTestFakeMainDialog";

bool LooksLikeAudio(const std::wstring& path) {
    char head[4] = {};
    std::ifstream(path.c_str(), std::ios::binary).read(head, 4);
    const std::string start(head, 4);
    return start == "RIFF" || start.compare(0, 3, "ID3") == 0;
}

} // namespace

FakeMainDialog::FakeMainDialog(const std::wstring& logWindow) : logWindow(logWindow) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    window = CreateWindowW(kClassName, L"ZEP", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

FakeMainDialog::~FakeMainDialog() { DestroyWindow(window); }

LRESULT CALLBACK FakeMainDialog::Procedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    auto* self = reinterpret_cast<FakeMainDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_BATSTART_AUDIO) {
        self->OnBatchFile(reinterpret_cast<const wchar_t*>(wParam));
        return 0;
    }
    if (self && message == WM_COMMAND && LOWORD(wParam) == IDC_STOP) {
        ++self->stopCommands;
        self->stopRequested = true;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void FakeMainDialog::OnBatchFile(const wchar_t* path) {
    stopRequested = false;
    files.push_back(path);
    HWND progress = batch ? GetDlgItem(batch->GetSafeHwnd(), IDC_BAT_PROGRESS) : nullptr;
    progressAtStart.push_back(static_cast<int>(SendMessageW(progress, PBM_GETPOS, 0, 0)));
    ++filesStarted;
    if (duringFile)
        duringFile(files.size() - 1);
    if (!LooksLikeAudio(path))
        ReportFailure(path);
}

// Errors of a batch go to the log window, as the main dialog sends them.
void FakeMainDialog::ReportFailure(const std::wstring& path) {
    CSendLogMsg log;
    log.Send(path, logWindow);
    log.Send(ErrorHeading(kUndecodable) + L" - " + GetErrorText(kUndecodable), logWindow);
    log.Send(L"", logWindow);
}

bool FakeMainDialog::Convert(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!stopRequested && !condition()) {
        if (GetTickCount() - start > timeoutMs || PumpMessages())
            return false;
        Sleep(10);
    }
    return true;
}

bool FakeMainDialog::ConvertUntilStopped(DWORD timeoutMs) {
    return Convert([] { return false; }, timeoutMs) && stopRequested;
}
