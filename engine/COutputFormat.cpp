#include "COutputFormat.h"
#include "encode/CGoGoStab.h"
#include "encode/CFlacEncoder.h"
#include "encode/CMp3Encoder.h"
#include "encode/COpusEncoder.h"
#include "encode/CWavAcmEncoder.h"
#include "encode/CWmaEncoder.h"
#include "resources/ErrorNumbers.h"
#include "tags/TagWriter.h"

namespace {

int MakeWavEncoder(const CEncoderWriters& writers, const CEncoderOptions& options,
                   const WAVEFORMATEX& source, std::unique_ptr<IAudioEncoder>& encoder) {
    writers.wav.SetSourceFormat(&source);
    writers.wav.SetDestFormat(options.wavFormat.empty() ? &source
                                                        : reinterpret_cast<const WAVEFORMATEX*>(
                                                              options.wavFormat.data()));
    encoder = std::make_unique<CWavAcmEncoder>(writers.wav);
    return 0;
}

template <bool layer3Wav>
int MakeMp3Encoder(const CEncoderWriters& writers, const CEncoderOptions& options,
                   const WAVEFORMATEX&, std::unique_ptr<IAudioEncoder>& encoder) {
    encoder = std::make_unique<CMp3Encoder>(writers.mp3, layer3Wav, options.mp3);
    return 0;
}

int MakeWmaEncoder(const CEncoderWriters& writers, const CEncoderOptions& options,
                   const WAVEFORMATEX&, std::unique_ptr<IAudioEncoder>& encoder) {
    if (int result = CWmaEncoder::LoadProfile(writers.wma, options.wma))
        return result;
    encoder = std::make_unique<CWmaEncoder>(writers.wma);
    return 0;
}

int MakeFlacEncoder(const CEncoderWriters&, const CEncoderOptions& options, const WAVEFORMATEX&,
                    std::unique_ptr<IAudioEncoder>& encoder) {
    encoder = std::make_unique<CFlacEncoder>(options.flac);
    return 0;
}

int MakeOpusEncoder(const CEncoderWriters&, const CEncoderOptions& options, const WAVEFORMATEX&,
                    std::unique_ptr<IAudioEncoder>& encoder) {
    encoder = std::make_unique<COpusEncoder>(options.opus);
    return 0;
}

using Question = COutputFormat::Question;

} // namespace

const std::vector<COutputFormat>& OutputFormats() {
    static const std::vector<COutputFormat> formats = {
        {L"WAV(ACM)", false, L"wav", L".wav", kWavFileError, Question::WavFormat, MakeWavEncoder,
         WriteWaveTags},
        {L"Layer3-WAV", true, L"l3wav", L".wav", kMp3FileError, Question::Mp3Settings,
         MakeMp3Encoder<true>, WriteWaveTags},
        {L"mp3", true, L"mp3", L".mp3", kMp3FileError, Question::Mp3Settings, MakeMp3Encoder<false>,
         WriteMp3Tags},
        // The Windows Media writer takes the tags as its header's attributes.
        {L"wma", false, L"wma", L".wma", kWmaFileError, Question::WmaSettings, MakeWmaEncoder,
         nullptr},
        // These two write their tags as Vorbis comments in their own headers.
        {L"flac", false, L"flac", L".flac", kFlacFileError, Question::FlacSettings,
         MakeFlacEncoder, nullptr},
        {L"opus", false, L"opus", L".opus", kOpusFileError, Question::OpusSettings,
         MakeOpusEncoder, nullptr},
    };
    return formats;
}

const COutputFormat* OutputFormatOf(int type) {
    const auto& formats = OutputFormats();
    return type >= 0 && type < static_cast<int>(formats.size()) ? &formats[type] : nullptr;
}

int OutputTypeNamed(const std::wstring& commandName) {
    const auto& formats = OutputFormats();
    for (size_t type = 0; type < formats.size(); ++type)
        if (commandName == formats[type].commandName)
            return static_cast<int>(type);
    return -1;
}

int COutputFormat::Ask(IFormatQuestions& questions, const WAVEFORMATEX& source,
                       CEncoderOptions& options) const {
    switch (question) {
    case Question::Mp3Settings:
        return questions.AskMp3Settings(options);
    case Question::WmaSettings:
        return questions.AskWmaSettings(options);
    case Question::FlacSettings:
        return questions.AskFlacSettings(options);
    case Question::OpusSettings:
        return questions.AskOpusSettings(options);
    case Question::WavFormat:
        return questions.AskWavFormat(source, options);
    }
    return 0;
}

// The library is asked quietly: the conversion tells of a missing one.
bool COutputFormat::OneAtATime() const {
    if (!usesMp3Library)
        return false;
    CGoGoStab library;
    return library.Load(false) != 0 || !library.HasThreadEncoders();
}
