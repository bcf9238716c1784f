#pragma once
#include <string>
#include <vector>
#include <windows.h>

#include <mmreg.h> // needs the types of windows.h

// One format an installed codec can write, as the system's format list
// names it: the tag's name ("PCM", "IMA ADPCM") and the format's own text.
struct AcmFormat {
    std::wstring tag;
    std::wstring description;
    std::vector<unsigned char> bytes; // the WAVEFORMATEX with its extra bytes

    const WAVEFORMATEX& Format() const {
        return *reinterpret_cast<const WAVEFORMATEX*>(bytes.data());
    }
};

// Every format of every format tag the installed codecs offer, tag by tag
// in the system's order.
std::vector<AcmFormat> ListAcmFormats();

// The first format of the tag named (ignoring case) with the rate, channels
// and bits asked for (0: any); null when there is none.
const AcmFormat* FindAcmFormat(const std::vector<AcmFormat>& formats, const std::wstring& tag,
                               DWORD rate, WORD channels, WORD bits);
