#pragma once
#include "engine/CNamePattern.h"
#include <string>
#include <windows.h>

// Every user-visible text is a pair of string IDs: Japanese on the odd ID,
// English on the next even one. The system default language picks one.

// True when the primary language of the system default language is Japanese.
// Evaluated afresh at every call.
bool IsJapanese();

std::wstring PickLanguage(const std::wstring& japanese, const std::wstring& english);

// From the program's own string table.
std::wstring LoadPairedString(UINT japaneseId, UINT englishId);

// From the resource library; empty when the library is missing.
std::wstring LoadResPairedString(UINT japaneseId, UINT englishId);

// What a name pattern gives for a missing artist and album.
CNamePattern::Unknown UnknownNames();
