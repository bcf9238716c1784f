#include "EncoderOptions.h"

void ApplySettings(const CAudioInfo& settings, CEncoderOptions& options) {
    options.mp3 = {settings.EncType, settings.cbr_bps, settings.vbr, settings.Qual,
                   settings.vbr_bps};
    options.wma = {settings.wmaSelect, settings.wma4, settings.wma7, settings.wmaPRX,
                   settings.wma2Pass};
    options.volume = settings.VOL;
    options.tags.copy = settings.copyTags != 0;
}
