#pragma once
#include <string>
#include <windows.h>

// Points the profile store at a registry branch of the test's own for its
// lifetime and deletes that branch afterwards, so tests never see each
// other's values or leave any behind.
class TestRegistryBranch {
  public:
    TestRegistryBranch();
    ~TestRegistryBranch();
    TestRegistryBranch(const TestRegistryBranch&) = delete;
    TestRegistryBranch& operator=(const TestRegistryBranch&) = delete;

    // The full key path below HKEY_CURRENT_USER of a section.
    std::wstring SectionPath(const std::wstring& section) const;
    bool HasValue(const std::wstring& section, const wchar_t* key) const;
    // Type and raw bytes of a value as the registry holds it.
    DWORD ValueType(const std::wstring& section, const wchar_t* key) const;
    std::wstring RawBytes(const std::wstring& section, const wchar_t* key) const;

    std::wstring position;

  private:
    std::wstring savedPosition;
    std::wstring savedApplication;
};

// A fresh empty folder under the temporary folder, removed with its files afterwards.
class TestFolder {
  public:
    TestFolder();
    ~TestFolder();
    std::wstring path; // with a trailing backslash
    void WriteFile(const std::wstring& name, const std::string& bytes) const;
};
