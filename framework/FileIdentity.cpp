#include "FileIdentity.h"
#include "framework/CHandleOwner.h"
#include <vector>

FileIdentity IdentityOf(const std::wstring& path) {
    FileIdentity identity;
    // Folders open only with backup semantics.
    CFileHandle file(CreateFileW(LongPathForm(path).c_str(), 0,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information = {};
    if (file && GetFileInformationByHandle(file.Get(), &information)) {
        identity = {information.dwVolumeSerialNumber, information.nFileIndexHigh,
                    information.nFileIndexLow, true};
    }
    return identity;
}

std::wstring LongPathForm(const std::wstring& path) {
    if (path.size() < MAX_PATH - 12 || path.compare(0, 4, L"\\\\?\\") == 0)
        return path;
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::vector<wchar_t> full(size + 1, L'\0');
    if (size == 0 || GetFullPathNameW(path.c_str(), size + 1, full.data(), nullptr) >= size + 1)
        return path;
    const std::wstring absolute = full.data();
    if (absolute.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + absolute.substr(2);
    return L"\\\\?\\" + absolute;
}
