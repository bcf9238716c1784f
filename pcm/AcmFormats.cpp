#include "AcmFormats.h"
#include <msacm.h>

namespace {

struct Listing {
    std::vector<AcmFormat>* formats;
    std::wstring tag;
};

BOOL CALLBACK TakeFormat(HACMDRIVERID, LPACMFORMATDETAILSW details, DWORD_PTR listing, DWORD) {
    auto* into = reinterpret_cast<Listing*>(listing);
    const WAVEFORMATEX* format = details->pwfx;
    const size_t size =
        sizeof(WAVEFORMATEX) + (format->wFormatTag == WAVE_FORMAT_PCM ? 0 : format->cbSize);
    AcmFormat taken{into->tag, details->szFormat, std::vector<unsigned char>(size)};
    memcpy(taken.bytes.data(), format, size);
    if (format->wFormatTag == WAVE_FORMAT_PCM)
        reinterpret_cast<WAVEFORMATEX*>(taken.bytes.data())->cbSize = 0;
    // Several drivers may offer the same format.
    for (const AcmFormat& listed : *into->formats)
        if (listed.bytes == taken.bytes)
            return TRUE;
    into->formats->push_back(std::move(taken));
    return TRUE;
}

// Each driver names the tags it knows; the formats of a tag come from all
// drivers at once, so a tag met again is skipped.
BOOL CALLBACK TakeTag(HACMDRIVERID, LPACMFORMATTAGDETAILSW tag, DWORD_PTR formats, DWORD) {
    for (const AcmFormat& listed : *reinterpret_cast<std::vector<AcmFormat>*>(formats))
        if (listed.Format().wFormatTag == tag->dwFormatTag)
            return TRUE;
    DWORD largest = 0;
    if (acmMetrics(nullptr, ACM_METRIC_MAX_SIZE_FORMAT, &largest) != MMSYSERR_NOERROR)
        return TRUE;
    // Zeroed, so that bytes a driver leaves alone are never taken for a format's.
    std::vector<unsigned char> buffer(largest, 0);
    auto* format = reinterpret_cast<WAVEFORMATEX*>(buffer.data());
    format->wFormatTag = static_cast<WORD>(tag->dwFormatTag);
    ACMFORMATDETAILSW details = {};
    details.cbStruct = sizeof(details);
    details.dwFormatTag = tag->dwFormatTag;
    details.pwfx = format;
    details.cbwfx = largest;
    Listing listing{reinterpret_cast<std::vector<AcmFormat>*>(formats), tag->szFormatTag};
    acmFormatEnumW(nullptr, &details, TakeFormat, reinterpret_cast<DWORD_PTR>(&listing),
                   ACM_FORMATENUMF_WFORMATTAG);
    return TRUE;
}

} // namespace

std::vector<AcmFormat> ListAcmFormats() {
    std::vector<AcmFormat> formats;
    ACMFORMATTAGDETAILSW tag = {};
    tag.cbStruct = sizeof(tag);
    acmFormatTagEnumW(nullptr, &tag, TakeTag, reinterpret_cast<DWORD_PTR>(&formats), 0);
    return formats;
}

const AcmFormat* FindAcmFormat(const std::vector<AcmFormat>& formats, const std::wstring& tag,
                               DWORD rate, WORD channels, WORD bits) {
    for (const AcmFormat& candidate : formats) {
        const WAVEFORMATEX& format = candidate.Format();
        if (_wcsicmp(candidate.tag.c_str(), tag.c_str()) == 0 &&
            (!rate || format.nSamplesPerSec == rate) &&
            (!channels || format.nChannels == channels) && (!bits || format.wBitsPerSample == bits))
            return &candidate;
    }
    return nullptr;
}
