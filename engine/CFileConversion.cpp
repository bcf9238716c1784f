#include "CFileConversion.h"
#include "engine/CTagStep.h"
#include "engine/CVolumeStep.h"
#include "resources/ErrorNumbers.h"
#include <memory>

// The steps begin before the encoder opens (an encoder may take the tags
// into its header), the encoder is finished whatever happened, and only a
// job that ended well (finished or stopped) puts its file in place.
int CFileConversion::Convert(CDecAudio& decoder, const std::wstring& input,
                             const COutputTarget& target, IConversionListener& listener) {
    const WAVEFORMATEX& source = *decoder.GetFormat();
    CPcmFormat decoded;
    if (!CPcmFormat::Read(source, decoded))
        return kUndecodable;
    const CPcmFormat takes = format.encoderTakes(decoded, options);
    CPCMBlockConverter converter;
    if (!converter.Configure(decoded, takes))
        return kUndecodable;
    const WAVEFORMATEXTENSIBLE taken = takes.Wave();
    std::unique_ptr<IAudioEncoder> encoder;
    if (int made = format.makeEncoder(writers, options, taken.Format, encoder))
        return made;
    CVolumeStep volume(options.volume);
    CTagStep tags(format, options.tags, *encoder);
    const std::vector<IConversionStep*> steps{&volume, &tags};
    int result = 0;
    for (IConversionStep* step : steps)
        if (result == 0)
            result = step->Begin(input, source);
    CPendingOutput pending;
    if (result == 0)
        result =
            pending.Begin(target.path) ? encoder->Open(taken.Format, pending.Path()) : format.fileError;
    if (result == 0)
        result = CConversionJob(decoder, *encoder, steps, listener, &converter).Run(input);
    result = CConversionJob::Finish(*encoder, result);
    for (IConversionStep* step : steps)
        if (result == 0)
            result = step->Finish(pending.Path());
    if (result == 0 && !pending.Commit(target.nextFree))
        result = format.fileError;
    if (result == 0 && tags.CoverLeftOut())
        listener.CoverLeftOut();
    return result;
}
