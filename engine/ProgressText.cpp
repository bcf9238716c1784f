#include "ProgressText.h"
#include <cwchar>

namespace {

std::wstring Clock(unsigned seconds) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%02u:%02u:%02u", seconds / 3600, seconds % 3600 / 60, seconds % 60);
    return text;
}

} // namespace

std::wstring ProgressText(double percent, unsigned workMilliseconds, const std::wstring& separator,
                          const std::wstring& prefix) {
    double seconds = workMilliseconds / 1000.0;
    unsigned remaining =
        percent > 0.0 ? static_cast<unsigned>(seconds * (100.0 - percent) / percent) : 0;
    unsigned elapsed = static_cast<unsigned>(seconds);
    wchar_t percentText[32];
    std::swprintf(percentText, 32, L"%3.0f %%", percent);
    return prefix + percentText + L" (" + Clock(elapsed) + separator + Clock(remaining) + L")";
}
