#include "TestRegistryBranch.h"
#include "settings/Profile.h"

namespace {
int Counter() {
    static int next = 0;
    return ++next;
}
std::wstring UniqueSuffix() {
    return std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(Counter());
}
} // namespace

TestRegistryBranch::TestRegistryBranch()
    : position(L"ZEPTest-" + UniqueSuffix()), savedPosition(GetProfileRegistryPosition()),
      savedApplication(GetProfileApplicationName()) {
    SetProfileRegistryPosition(position);
}

TestRegistryBranch::~TestRegistryBranch() {
    std::wstring key = L"software\\" + position;
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
    SetProfileRegistryPosition(savedPosition);
    SetProfileApplicationName(savedApplication);
}

std::wstring TestRegistryBranch::SectionPath(const std::wstring& section) const {
    std::wstring path = L"software\\";
    if (!GetProfileRegistryPosition().empty())
        path += GetProfileRegistryPosition() + L"\\";
    return path + GetProfileApplicationName() + L"\\" + section;
}

bool TestRegistryBranch::HasValue(const std::wstring& section, const wchar_t* key) const {
    return ValueType(section, key) != REG_NONE;
}

DWORD TestRegistryBranch::ValueType(const std::wstring& section, const wchar_t* key) const {
    DWORD type = REG_NONE;
    if (RegGetValueW(HKEY_CURRENT_USER, SectionPath(section).c_str(), key,
                     RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return REG_NONE;
    return type;
}

std::wstring TestRegistryBranch::RawBytes(const std::wstring& section, const wchar_t* key) const {
    wchar_t buffer[512] = {};
    DWORD size = sizeof(buffer);
    if (RegGetValueW(HKEY_CURRENT_USER, SectionPath(section).c_str(), key,
                     RRF_RT_ANY | RRF_NOEXPAND, nullptr, buffer, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return std::wstring(buffer, size / sizeof(wchar_t));
}

TestFolder::TestFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path = std::wstring(temp) + L"zep-test-" + UniqueSuffix() + L"\\";
    CreateDirectoryW(path.c_str(), nullptr);
}

TestFolder::~TestFolder() {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = path + found.cFileName;
            SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryW(name.c_str());
            else
                DeleteFileW(name.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

void TestFolder::WriteFile(const std::wstring& name, const std::string& bytes) const {
    HANDLE file = CreateFileW((path + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}
