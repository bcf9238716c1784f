#include "CFileConverter.h"

int CFileConverter::Convert(CDecAudio& decoder, const std::wstring& input,
                            const COutputTarget& target, const CEncoderOptions& options,
                            IConversionListener& listener) {
    if (!format)
        return 0;
    const CEncoderWriters writers{wav, mp3, wma};
    return CFileConversion(*format, writers, options).Convert(decoder, input, target, listener);
}
