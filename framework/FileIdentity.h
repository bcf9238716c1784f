#pragma once
#include <string>
#include <windows.h>

// What tells two existing files or folders apart whatever their paths say:
// the volume's serial number and the file index. Not known for a path that
// cannot be opened.
struct FileIdentity {
    DWORD volume = 0, high = 0, low = 0;
    bool known = false;

    // Both known and the same.
    bool SameAs(const FileIdentity& other) const {
        return known && other.known && volume == other.volume && high == other.high &&
               low == other.low;
    }
};

FileIdentity IdentityOf(const std::wstring& path);

// The path as the system takes it past MAX_PATH: its long-path form ("\\?\",
// "\\?\UNC\") when it is that long, else as it is.
std::wstring LongPathForm(const std::wstring& path);
