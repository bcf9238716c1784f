#include "CFileConversion.h"
#include "encode/CMp3Encoder.h"
#include "encode/CWavAcmEncoder.h"
#include "encode/CWmaEncoder.h"
#include "engine/OutputNaming.h"
#include "resources/ErrorNumbers.h"
#include <memory>

int CFileConversion::FileError(int type) {
    switch (type) {
    case OutputWavAcm:
        return kWavFileError;
    case OutputLayer3Wav:
    case OutputMp3:
        return kMp3FileError;
    default:
        return kWmaFileError;
    }
}

int CFileConversion::Open() {
    if (!pending.Begin(output))
        return FileError(type);
    return encoder.Open(*decoder.GetFormat(), pending.Path());
}

int CFileConversion::Run(const std::wstring& input, int volume, IConversionListener& listener) {
    CConversionJob job(decoder, encoder, volume, listener);
    return job.Run(input);
}

// Only a job that ended well (finished or stopped) puts its file in place.
int CFileConversion::End(int result) {
    result = CConversionJob::Finish(encoder, result);
    if (result == 0 && !pending.Path().empty() && !pending.Commit(nextFree))
        result = FileError(type);
    pending.Discard();
    return result;
}

int CFileConversion::Convert(CDecAudio& decoder, int type, const std::wstring& output,
                             const NextFreeName& nextFree, const CEncoderSet& writers,
                             const std::function<int(CFileConversion&)>& prepare) {
    std::unique_ptr<IAudioEncoder> encoder;
    switch (type) {
    case OutputWavAcm:
        encoder = std::make_unique<CWavAcmEncoder>(writers.wav);
        break;
    case OutputLayer3Wav:
    case OutputMp3:
        encoder =
            std::make_unique<CMp3Encoder>(writers.mp3, type == OutputLayer3Wav, writers.settings);
        break;
    case OutputWma:
        encoder = std::make_unique<CWmaEncoder>(writers.wma);
        break;
    default:
        return 0;
    }
    CFileConversion conversion(decoder, *encoder, type, output, nextFree);
    return conversion.End(prepare(conversion));
}
