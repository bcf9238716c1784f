#include "CIniCreate.h"
#include <windows.h>

int CIniCreate::Create(const std::wstring& newPath) {
    path = newPath;
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 0;
    if ((attributes & FILE_ATTRIBUTE_READONLY) &&
        !SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
        return 1;
    return DeleteFileW(path.c_str()) ? 0 : 1;
}

int CIniCreate::WriteInt(const wchar_t* section, const wchar_t* key, int value) {
    return WriteString(section, key, std::to_wstring(value).c_str());
}

int CIniCreate::WriteString(const wchar_t* section, const wchar_t* key, const wchar_t* text) {
    return WritePrivateProfileStringW(section, key, text, path.c_str()) ? 1 : 0;
}

void CIniCreate::Open(const std::wstring& newPath) { path = newPath; }

int CIniCreate::GetInt(const wchar_t* section, const wchar_t* key, int defaultValue) const {
    return static_cast<int>(GetPrivateProfileIntW(section, key, defaultValue, path.c_str()));
}

std::wstring CIniCreate::GetString(const wchar_t* section, const wchar_t* key,
                                   const wchar_t* defaultValue) const {
    wchar_t buffer[520] = {};
    DWORD length = GetPrivateProfileStringW(section, key, defaultValue, buffer, 520, path.c_str());
    return std::wstring(buffer, length);
}
