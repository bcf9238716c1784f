#include "OutputNaming.h"
#include "framework/FileIdentity.h"
#include "framework/PathSplit.h"
#include <windows.h>

namespace {

// The same text ignoring case, or another spelling of the same existing
// file (other slashes, "..", a short name): either way writing to the
// output would destroy the input.
bool NamesInput(const std::wstring& output, const std::wstring& input) {
    if (CompareStringOrdinal(output.c_str(), -1, input.c_str(), -1, TRUE) == CSTR_EQUAL)
        return true;
    return IdentityOf(output).SameAs(IdentityOf(input));
}

} // namespace

std::wstring OutputExtension(int type) {
    const COutputFormat* format = OutputFormatOf(type);
    return format ? format->extension : std::wstring();
}

std::wstring DecideOutputPath(int type, const std::wstring& input, const std::wstring& output) {
    std::wstring decided = output.empty() ? input : output;
    std::wstring extension = OutputExtension(type);
    if (extension.empty())
        return decided;
    decided = PathStem(decided) + extension;
    if (NamesInput(decided, input))
        decided = PathStem(input) + L"_conv" + extension;
    return decided;
}

std::wstring UnusedOutputPath(const std::wstring& input, const std::wstring& decided,
                              const std::vector<std::wstring>& taken) {
    auto used = [&](const std::wstring& path) {
        for (const std::wstring& name : taken)
            if (CompareStringOrdinal(name.c_str(), -1, path.c_str(), -1, TRUE) == CSTR_EQUAL)
                return true;
        return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    if (!used(decided))
        return decided;
    const std::wstring stem = PathStem(input) + L"_conv";
    const std::wstring extension = decided.substr(PathStem(decided).size());
    std::wstring candidate = stem + extension;
    for (int n = 2; used(candidate); ++n)
        candidate = stem + std::to_wstring(n) + extension;
    return candidate;
}

NextFreeName BatchNextFreeName(const std::wstring& input, std::vector<std::wstring> reserved) {
    return [input, reserved = std::move(reserved)](const std::wstring& taken) {
        return UnusedOutputPath(input, taken, reserved);
    };
}

std::wstring DroppedOutputPath(int type, const std::wstring& input, const std::wstring& output) {
    std::wstring extension = OutputExtension(type);
    return extension.empty() ? output : PathStem(input) + extension;
}
