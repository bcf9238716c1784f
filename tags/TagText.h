#pragma once
#include <string>

// Text of tags between the byte forms files hold and std::wstring.

// The bytes decoded in the code page, or false when they are not valid text
// of it (a byte sequence it does not define). No bytes decode to no text.
bool DecodeStrictly(unsigned codePage, const std::string& bytes, std::wstring& text);
std::string Utf8Of(const std::wstring& text);
// Whether the system's ANSI code page is Japanese (Shift-JIS, 932): its old
// tags were written in it.
bool JapaneseAnsiCodePage();
// Names of fields are compared in upper case.
std::wstring UpperCase(std::wstring text);
