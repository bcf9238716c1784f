#include "EncoderOptions.h"
#include <algorithm>

void ApplySettings(const CAudioInfo& settings, CEncoderOptions& options) {
    options.mp3 = {settings.EncType, settings.cbr_bps, settings.vbr, settings.Qual,
                   settings.vbr_bps, settings.mp3Threads != 1, std::clamp(settings.mp3Threads, 0, 64)};
    options.wma = {settings.wmaSelect, settings.wma4, settings.wma7, settings.wmaPRX,
                   settings.wma2Pass};
    // A value edited by hand outside its range takes the nearest one.
    options.flac.level = std::clamp(settings.flacLevel, 0, 8);
    options.flac.verify = settings.flacVerify != 0;
    options.flac.bits = settings.flacBits == 16 || settings.flacBits == 24 ? settings.flacBits : 0;
    options.flac.rate = settings.flacRate == 44100 || settings.flacRate == 48000 ? settings.flacRate : 0;
    options.opus = {std::clamp(settings.opusKbps, 6, 510),
                    std::clamp(settings.opusMode, 0, static_cast<int>(COpusOptions::Cbr))};
    options.volume = settings.VOL;
    options.tags.copy = settings.copyTags != 0;
}
