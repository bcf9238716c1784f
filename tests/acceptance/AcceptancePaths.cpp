#include "AcceptancePaths.h"
#include "support/TestFiles.h"
#include <cstdlib>
#include <vector>
#include <windows.h>

namespace {

// A host folder named by the environment, UTF-8 on the host.
std::wstring HostFolder(const char* variable) {
    const char* value = std::getenv(variable);
    std::string host = value ? value : "";
    std::wstring wide(host.size(), L'\0');
    int length = MultiByteToWideChar(CP_UTF8, 0, host.data(), static_cast<int>(host.size()),
                                     wide.data(), static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<size_t>(length) : 0);
    for (wchar_t& c : wide)
        if (c == L'/')
            c = L'\\';
    return L"Z:" + wide;
}

// The branch this language's installations name in their Setting.ini.
std::wstring SettingsBranch() { return L"software\\ZEPAcceptance-" + Language(); }

} // namespace

std::wstring InstallFolder(const std::wstring& variant) {
    return HostFolder("ZEP_ACCEPT_INSTALLS") + L"\\" + Language() + L"\\" + variant;
}

std::wstring InputPath(const std::wstring& relative) {
    return HostFolder("ZEP_ACCEPT_MEDIA") + L"\\" + relative;
}

std::wstring OutputPath(const std::wstring& relative) {
    return HostFolder("ZEP_ACCEPT_OUT") + L"\\" + Language() + L"\\" + relative;
}

std::wstring Language() {
    const char* language = std::getenv("ZEP_TEST_LANGUAGE");
    return language && std::string(language) == "ja" ? L"ja" : L"en";
}

void ForgetSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, SettingsBranch().c_str()); }

void RememberBatchFolder(const std::wstring& folder) {
    RegSetKeyValueW(HKEY_CURRENT_USER, (SettingsBranch() + L"\\ZEP\\data").c_str(), L"LASTDIR",
                    REG_SZ, folder.c_str(),
                    static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
}

void RememberBatchJobs(int jobs) {
    const DWORD value = static_cast<DWORD>(jobs);
    RegSetKeyValueW(HKEY_CURRENT_USER, (SettingsBranch() + L"\\ZEP\\data").c_str(), L"BatchJobs",
                    REG_DWORD, &value, sizeof(value));
}

bool CopyFolder(const std::wstring& from, const std::wstring& to) {
    EmptyFolder(to);
    const std::vector<std::wstring> names = FilesIn(from);
    bool copied = !names.empty();
    for (const std::wstring& name : names)
        copied &=
            CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE) != FALSE;
    return copied;
}
