#include "Profile.h"
#include "CIniCreate.h"
#include "framework/PathSplit.h"
#include "framework/CHandleOwner.h"
#include <vector>

namespace {

std::wstring& RegistryPosition() {
    static std::wstring position = L"KARU";
    return position;
}

std::wstring& ApplicationName() {
    static std::wstring name = ExecutableName();
    return name;
}

bool& ReadOnly() {
    static bool readOnly = false;
    return readOnly;
}

CRegKeyOwner OpenOrCreate(HKEY parent, const std::wstring& name) {
    CRegKeyOwner key;
    if (ReadOnly()) {
        if (RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
            key.Detach();
        return key;
    }
    if (RegCreateKeyExW(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, key.Receive(), nullptr) != ERROR_SUCCESS)
        key.Detach(); // nothing valid was handed out, so nothing is closed
    return key;
}

// HKCU\software\<position>\<application>; "software" itself must exist.
CRegKeyOwner OpenApplicationKey() {
    CRegKeyOwner software;
    const REGSAM access = ReadOnly() ? KEY_READ : KEY_READ | KEY_WRITE;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"software", 0, access, software.Receive()) !=
        ERROR_SUCCESS)
        return CRegKeyOwner();
    HKEY applicationParent = software.Get();
    CRegKeyOwner position;
    if (!RegistryPosition().empty()) {
        position = OpenOrCreate(software.Get(), RegistryPosition());
        if (!position)
            return CRegKeyOwner();
        applicationParent = position.Get();
    }
    return OpenOrCreate(applicationParent, ApplicationName());
}

CRegKeyOwner OpenSectionKey(const wchar_t* section) {
    CRegKeyOwner application = OpenApplicationKey();
    if (!application || !section)
        return CRegKeyOwner();
    return OpenOrCreate(application.Get(), section);
}

} // namespace

void SetProfileRegistryPosition(const std::wstring& position) { RegistryPosition() = position; }
void SetProfileReadOnly(bool readOnly) { ReadOnly() = readOnly; }
std::wstring GetProfileRegistryPosition() { return RegistryPosition(); }
void SetProfileApplicationName(const std::wstring& name) { ApplicationName() = name; }
std::wstring GetProfileApplicationName() { return ApplicationName(); }

std::wstring ReadRegistryPosition(const std::wstring& folder) {
    CIniCreate ini;
    ini.Open(folder + L"Setting.ini");
    return ini.GetString(L"SAVE", L"RegPos", L"KARU");
}

int ProfileGetInt(const wchar_t* section, const wchar_t* key, int defaultValue) {
    CRegKeyOwner sectionKey = OpenSectionKey(section);
    DWORD value = 0, type = 0, size = sizeof(value);
    if (!sectionKey ||
        RegQueryValueExW(sectionKey.Get(), key, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return defaultValue;
    return static_cast<int>(value);
}

int ProfileWriteInt(const wchar_t* section, const wchar_t* key, int value) {
    if (ReadOnly())
        return 0;
    CRegKeyOwner sectionKey = OpenSectionKey(section);
    DWORD stored = static_cast<DWORD>(value);
    return sectionKey &&
           RegSetValueExW(sectionKey.Get(), key, 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&stored), sizeof(stored)) == ERROR_SUCCESS;
}

std::wstring ProfileGetString(const wchar_t* section, const wchar_t* key,
                              const wchar_t* defaultValue) {
    std::wstring fallback = defaultValue ? defaultValue : L"";
    CRegKeyOwner sectionKey = OpenSectionKey(section);
    DWORD type = 0, size = 0;
    if (!sectionKey ||
        RegQueryValueExW(sectionKey.Get(), key, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return fallback;
    // One spare character: a stored value need not carry its terminating zero.
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(sectionKey.Get(), key, nullptr, &type,
                         reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
        return fallback;
    return std::wstring(text.data());
}

int ProfileWriteString(const wchar_t* section, const wchar_t* key, const wchar_t* text) {
    if (ReadOnly())
        return 0;
    if (!key) {
        CRegKeyOwner application = OpenApplicationKey();
        return application && section && RegDeleteKeyW(application.Get(), section) == ERROR_SUCCESS;
    }
    CRegKeyOwner sectionKey = OpenSectionKey(section);
    if (!sectionKey)
        return 0;
    if (!text)
        return RegDeleteValueW(sectionKey.Get(), key) == ERROR_SUCCESS;
    DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    return RegSetValueExW(sectionKey.Get(), key, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          bytes) == ERROR_SUCCESS;
}
