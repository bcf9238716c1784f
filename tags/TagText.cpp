#include "TagText.h"
#include <algorithm>
#include <cwctype>
#include <windows.h>

bool DecodeStrictly(unsigned codePage, const std::string& bytes, std::wstring& text) {
    text.clear();
    if (bytes.empty())
        return true;
    const int size = static_cast<int>(bytes.size());
    const int length =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0)
        return false;
    text.resize(length);
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, &text[0],
                               length) == length;
}

std::string Utf8Of(const std::wstring& text) {
    if (text.empty())
        return std::string();
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(length > 0 ? length : 0, '\0');
    if (length > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, &bytes[0], length, nullptr, nullptr);
    return bytes;
}

bool JapaneseAnsiCodePage() { return GetACP() == 932; }

std::wstring UpperCase(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
    return text;
}
