#include "ShellOpen.h"
#include "framework/CComInitialiser.h"
#include "framework/CHandleOwner.h"
#include <memory>

#include <shellapi.h>

namespace {

DWORD WINAPI OpenTarget(void* parameter) {
    std::unique_ptr<std::wstring> target(static_cast<std::wstring*>(parameter));
    // Some shell handlers need COM on the calling thread.
    CComInitialiser com;
    ShellExecuteW(nullptr, L"open", target->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return 0;
}

} // namespace

void OpenInBackground(const std::wstring& target) {
    auto copy = std::make_unique<std::wstring>(target);
    CKernelHandle thread(
        CreateThread(nullptr, 0, OpenTarget, copy.get(), CREATE_SUSPENDED, nullptr));
    if (!thread)
        return;
    // The thread frees the copy.
    copy.release();
    SetThreadPriority(thread.Get(), THREAD_PRIORITY_BELOW_NORMAL);
    ResumeThread(thread.Get());
}
