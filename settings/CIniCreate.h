#pragma once
#include <string>

// Access to one INI file with the system's INI rules: section and key names
// compare without regard to case, a missing key gives the default.
class CIniCreate {
  public:
    CIniCreate() = default;
    virtual ~CIniCreate() = default;

    // Remembers path and deletes any file there (clearing read-only first).
    // 0 when no file remains, 1 when it could not be removed.
    virtual int Create(const std::wstring& path);
    virtual int WriteInt(const wchar_t* section, const wchar_t* key, int value);
    virtual int WriteString(const wchar_t* section, const wchar_t* key, const wchar_t* text);
    // Remembers path; touches no file.
    virtual void Open(const std::wstring& path);
    virtual int GetInt(const wchar_t* section, const wchar_t* key, int defaultValue) const;
    // At most 519 characters.
    virtual std::wstring GetString(const wchar_t* section, const wchar_t* key,
                                   const wchar_t* defaultValue) const;

  private:
    std::wstring path;
};
