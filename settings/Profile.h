#pragma once
#include <string>

// The per-user settings store: HKEY_CURRENT_USER\software\<registry
// position>\<application name>\<section>, one value per key. Section names
// are registry key names and so compare without regard to case. Every call
// opens and closes its keys; nothing is cached.

// The branch below "software"; an empty position puts the application's
// branch directly under "software".
void SetProfileRegistryPosition(const std::wstring& position);
std::wstring GetProfileRegistryPosition();
// Defaults to the executable's file name without extension.
void SetProfileApplicationName(const std::wstring& name);
std::wstring GetProfileApplicationName();

// A read-only store neither creates keys nor writes values: every write
// then does nothing and answers 0. For a program that must leave the
// settings as it found them.
void SetProfileReadOnly(bool readOnly);

// The registry position named by "Setting.ini" in folder (section "SAVE",
// key "RegPos"), or "KARU" when the file or the entry is missing.
std::wstring ReadRegistryPosition(const std::wstring& folder);

int ProfileGetInt(const wchar_t* section, const wchar_t* key, int defaultValue);
int ProfileWriteInt(const wchar_t* section, const wchar_t* key, int value);
// A null default reads as an empty string.
std::wstring ProfileGetString(const wchar_t* section, const wchar_t* key,
                              const wchar_t* defaultValue);
// A null text deletes the value; a null key deletes the whole section.
int ProfileWriteString(const wchar_t* section, const wchar_t* key, const wchar_t* text);
