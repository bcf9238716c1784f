#include "MainDialogDriver.h"
#include "DialogTestSupport.h"
#include "TestMedia.h"
#include "resources/resource.h"
#include "ui/CZEPApp.h"
#include <cstdlib>
#include <memory>

void CTestZEPDlg::RememberBatchFormat(const WAVEFORMATEX& format) {
    int size = static_cast<int>(sizeof(WAVEFORMATEX)) + format.cbSize;
    batchFormat.Resize(size);
    batchFormat.CopyFrom(reinterpret_cast<const unsigned char*>(&format), size);
}

bool CTestZEPDlg::OnCommand(WORD id, WORD code, HWND control) {
    bool handled = CZEPDlg::OnCommand(id, code, control);
    if (id == IDC_CONVERT && code <= 1)
        ++jobsDone;
    return handled;
}

bool CTestZEPDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    if (message == ShowErrorMessage) {
        ShowError(static_cast<int>(wParam));
        ++jobsDone;
        return true;
    }
    bool handled = CZEPDlg::HandleMessage(message, wParam, lParam, result);
    if (message == WM_BATSTART_AUDIO)
        ++jobsDone;
    return handled;
}

std::wstring MainOutputPath(const std::string& name) {
    const char* folder = std::getenv("ZEP_TEST_MAIN_OUT");
    return HostPathInWine(std::string(folder ? folder : "/tmp") + "/" + name);
}

void RunMainDialog(CTestZEPDlg& dialog, const std::function<void(HWND)>& script) {
    const DWORD thread = GetCurrentThreadId();
    CDialogScript driver([&] {
        HWND window = WaitForDialogWith(thread, IDC_CONVERT);
        if (!window)
            return;
        script(window);
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    dialog.DoModal();
}

bool WaitForJobs(CTestZEPDlg& dialog, int count, DWORD timeoutMs) {
    return WaitUntil([&] { return dialog.jobsDone >= count; }, timeoutMs);
}

bool Convert(CTestZEPDlg& dialog, HWND window, DWORD timeoutMs) {
    int before = dialog.jobsDone;
    Click(window, IDC_CONVERT);
    return WaitForJobs(dialog, before + 1, timeoutMs);
}

bool AnswerFormatChooser(DWORD thread, const wchar_t* tag, const wchar_t* attributes) {
    // Found by its two lists: its title follows the system language.
    HWND chooser = WaitForWindow(
        thread, [](HWND window) { return GetDlgItem(window, 101) && GetDlgItem(window, 102); },
        20000);
    if (!chooser)
        return false;
    SelectEntryByPrefix(chooser, 101, tag);
    SelectEntryByPrefix(chooser, 102, attributes);
    Click(chooser, IDOK);
    return true;
}

ShownBox AnswerMessageBox(DWORD thread, HWND owner, DWORD timeoutMs) {
    ShownBox shown;
    HWND box = WaitForOwnedDialog(thread, owner, timeoutMs);
    if (!box)
        return shown;
    shown.caption = ControlText(box);
    shown.text = StaticTexts(box);
    Click(box, IDOK);
    return shown;
}

std::wstring CTestZEPDlg::DecoderFor(const std::wstring& path, int saved) {
    settings.decoder = saved;
    std::unique_ptr<CDecAudio> decoder(CZEPDlg::CreateDecoder());
    return decoder->Open(path.c_str()) == 0 ? decoder->Describe() : std::wstring();
}
