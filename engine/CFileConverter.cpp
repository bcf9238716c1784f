#include "CFileConverter.h"
#include "encode/CWmaEncoder.h"
#include "engine/OutputNaming.h"
#include "resources/ErrorNumbers.h"

CFileConverter::CFileConverter(int type, const CAudioInfo& settings, WavFormat wavFormat)
    : type(type), settings(settings), wavFormat(std::move(wavFormat)) {}

int CFileConverter::Convert(CDecAudio& decoder, const std::wstring& input,
                            const std::wstring& output, const NextFreeName& nextFree,
                            IConversionListener& listener) {
    const CEncoderSet writers{wav, mp3, wma, settings};
    return CFileConversion::Convert(decoder, type, output, nextFree, writers,
                                    [&](CFileConversion& conversion) {
                                        if (int prepared = Prepare(conversion, decoder))
                                            return prepared;
                                        return conversion.Run(input, settings.VOL, listener);
                                    });
}

int CFileConverter::Prepare(CFileConversion& conversion, CDecAudio& decoder) {
    if (type == OutputWavAcm) {
        const WAVEFORMATEX* format = wavFormat(*decoder.GetFormat());
        if (!format)
            return kWavFileError;
        wav.SetSourceFormat(decoder.GetFormat());
        wav.SetDestFormat(format);
    } else if (type == OutputWma) {
        if (int result = CWmaEncoder::LoadProfile(wma, settings))
            return result;
    }
    return conversion.Open();
}
