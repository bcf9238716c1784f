#include "CPcmFormat.h"
#include <cwchar>
#include <ks.h>
#include <ksmedia.h>

DWORD DefaultChannelMask(int channels) {
    switch (channels) {
    case 1:
        return SPEAKER_FRONT_CENTER;
    case 2:
        return KSAUDIO_SPEAKER_STEREO;
    case 3:
        return KSAUDIO_SPEAKER_STEREO | SPEAKER_FRONT_CENTER;
    case 4:
        return KSAUDIO_SPEAKER_QUAD;
    case 5:
        return KSAUDIO_SPEAKER_QUAD | SPEAKER_FRONT_CENTER;
    case 6:
        return KSAUDIO_SPEAKER_5POINT1;
    case 7:
        return KSAUDIO_SPEAKER_5POINT1_SURROUND | SPEAKER_BACK_CENTER;
    case 8:
        return KSAUDIO_SPEAKER_7POINT1_SURROUND;
    default:
        return 0;
    }
}

DWORD CPcmFormat::Speakers() const { return channelMask ? channelMask : DefaultChannelMask(channels); }

bool CPcmFormat::SameSamples(const CPcmFormat& other) const {
    return rate == other.rate && channels == other.channels && bits == other.bits &&
           floating == other.floating && order == other.order &&
           (channels <= 2 || Speakers() == other.Speakers());
}

bool CPcmFormat::Read(const WAVEFORMATEX* wave, size_t bytes, CPcmFormat& format) {
    if (!wave || bytes < sizeof(WAVEFORMAT) + sizeof(WORD) || wave->nChannels == 0 ||
        wave->nChannels > 32 || wave->nSamplesPerSec == 0)
        return false;
    WORD tag = wave->wFormatTag;
    CPcmFormat read;
    if (tag == WAVE_FORMAT_EXTENSIBLE) {
        if (bytes < sizeof(WAVEFORMATEXTENSIBLE) || wave->cbSize < 22)
            return false;
        auto* extensible = reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(wave);
        read.channelMask = extensible->dwChannelMask;
        if (IsEqualGUID(extensible->SubFormat, KSDATAFORMAT_SUBTYPE_PCM))
            tag = WAVE_FORMAT_PCM;
        else if (IsEqualGUID(extensible->SubFormat, KSDATAFORMAT_SUBTYPE_IEEE_FLOAT))
            tag = WAVE_FORMAT_IEEE_FLOAT;
        else
            return false;
    }
    read.bits = wave->wBitsPerSample;
    read.floating = tag == WAVE_FORMAT_IEEE_FLOAT;
    const bool known = tag == WAVE_FORMAT_PCM
                           ? read.bits == 8 || read.bits == 16 || read.bits == 24 || read.bits == 32
                           : read.floating && (read.bits == 32 || read.bits == 64);
    if (!known)
        return false;
    read.rate = wave->nSamplesPerSec;
    read.channels = wave->nChannels;
    // A mask naming fewer speakers than channels says nothing reliable.
    int named = 0;
    for (DWORD bit = read.channelMask; bit; bit &= bit - 1)
        ++named;
    if (named != read.channels)
        read.channelMask = 0;
    format = read;
    return true;
}

WAVEFORMATEXTENSIBLE CPcmFormat::Wave() const {
    WAVEFORMATEXTENSIBLE wave = {};
    wave.Format.wFormatTag = floating ? WAVE_FORMAT_IEEE_FLOAT : WAVE_FORMAT_PCM;
    wave.Format.nChannels = static_cast<WORD>(channels);
    wave.Format.nSamplesPerSec = rate;
    wave.Format.wBitsPerSample = static_cast<WORD>(bits);
    wave.Format.nBlockAlign = static_cast<WORD>(BytesPerFrame());
    wave.Format.nAvgBytesPerSec = rate * wave.Format.nBlockAlign;
    if (channels > 2 || bits > 16) {
        wave.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
        wave.Format.cbSize = sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX);
        wave.Samples.wValidBitsPerSample = static_cast<WORD>(bits);
        wave.dwChannelMask = Speakers();
        wave.SubFormat = floating ? KSDATAFORMAT_SUBTYPE_IEEE_FLOAT : KSDATAFORMAT_SUBTYPE_PCM;
    }
    return wave;
}

std::wstring CPcmFormat::Describe() const {
    wchar_t text[64];
    std::swprintf(text, 64, L"%g kHz %d-bit%ls ", rate / 1000.0, bits, floating ? L" float" : L"");
    std::wstring described = text;
    if (channels == 1)
        return described + L"mono";
    if (channels == 2 && Speakers() == KSAUDIO_SPEAKER_STEREO)
        return described + L"stereo";
    const bool lowFrequency = (Speakers() & SPEAKER_LOW_FREQUENCY) != 0;
    std::swprintf(text, 64, L"%d.%d", channels - (lowFrequency ? 1 : 0), lowFrequency ? 1 : 0);
    return described + text;
}

std::wstring DescribeWave(const WAVEFORMATEX& wave) {
    CPcmFormat format;
    return CPcmFormat::Read(wave, format) ? format.Describe() : std::wstring();
}
