#include "Language.h"
#include "CResDllHandle.h"

bool IsJapanese() { return PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_JAPANESE; }

std::wstring PickLanguage(const std::wstring& japanese, const std::wstring& english) {
    return IsJapanese() ? japanese : english;
}

namespace {

// A whole string of a module's string table, however long; empty when absent.
std::wstring LoadModuleString(HMODULE module, UINT id) {
    // With a zero buffer size the system hands out a pointer into the
    // resource itself, so no length limit applies.
    const wchar_t* text = nullptr;
    int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

} // namespace

std::wstring LoadPairedString(UINT japaneseId, UINT englishId) {
    HMODULE self = GetModuleHandleW(nullptr);
    return PickLanguage(LoadModuleString(self, japaneseId), LoadModuleString(self, englishId));
}

std::wstring LoadResPairedString(UINT japaneseId, UINT englishId) {
    return PickLanguage(ResDllHandle.LoadString(japaneseId), ResDllHandle.LoadString(englishId));
}

CNamePattern::Unknown UnknownNames() {
    return {PickLanguage(L"不明なアーティスト", L"Unknown Artist"),
            PickLanguage(L"不明なアルバム", L"Unknown Album")};
}
