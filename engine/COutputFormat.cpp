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

// Whether the WAV output holds the samples as they come: no format chosen,
// or PCM of just these samples.
bool KeepsSamples(const CPcmFormat& samples, const CEncoderOptions& options) {
    CPcmFormat chosen;
    return options.wavFormat.empty() ||
           (CPcmFormat::Read(reinterpret_cast<const WAVEFORMATEX*>(options.wavFormat.data()),
                             options.wavFormat.size(), chosen) &&
            chosen.SameSamples(samples));
}

// source is what WavTakes gave: the source's own samples go into the file
// as they are, 16 bits through the ACM to the chosen format.
int MakeWavEncoder(const CEncoderWriters& writers, const CEncoderOptions& options,
                   const WAVEFORMATEX& source, std::unique_ptr<IAudioEncoder>& encoder) {
    CPcmFormat given;
    const bool asGiven = !CPcmFormat::Read(source, given) || KeepsSamples(given, options);
    writers.wav.SetSourceFormat(&source);
    writers.wav.SetDestFormat(
        asGiven ? nullptr : reinterpret_cast<const WAVEFORMATEX*>(options.wavFormat.data()));
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

// mp3, Layer-3 WAV and wma, and the ACM's codecs: 16 bits, at most two
// channels, the rate left to the encoder.
CPcmFormat SixteenBitStereo(const CPcmFormat& source, const CEncoderOptions&) {
    CPcmFormat taken;
    taken.rate = source.rate;
    taken.channels = source.channels > 2 ? 2 : source.channels;
    return taken;
}

// A PCM target of the source's own samples (or none) keeps them; any
// other goes through the ACM from 16 bits.
CPcmFormat WavTakes(const CPcmFormat& source, const CEncoderOptions& options) {
    return KeepsSamples(source, options) ? source : SixteenBitStereo(source, options);
}

// Integers of up to 24 bits as they are, wider ones and floats to 24; up
// to 8 channels; the depth and rate the user asked for.
CPcmFormat FlacTakes(const CPcmFormat& source, const CEncoderOptions& options) {
    CPcmFormat taken = source;
    if (source.channels > 8)
        taken = SixteenBitStereo(source, options);
    taken.bits = source.floating || source.bits > 24 ? 24 : source.bits;
    taken.floating = false;
    if (options.flac.bits)
        taken.bits = options.flac.bits;
    if (options.flac.rate)
        taken.rate = static_cast<DWORD>(options.flac.rate);
    return taken;
}

// Float, up to 8 channels in Vorbis's order; libopusenc resamples.
CPcmFormat OpusTakes(const CPcmFormat& source, const CEncoderOptions& options) {
    CPcmFormat taken = source.channels > 8 ? SixteenBitStereo(source, options) : source;
    taken.bits = 32;
    taken.floating = true;
    taken.order = CPcmFormat::Order::Vorbis;
    return taken;
}

} // namespace

const std::vector<COutputFormat>& OutputFormats() {
    static const std::vector<COutputFormat> formats = {
        {L"WAV(ACM)", false, L"wav", L".wav", kWavFileError, Question::WavFormat, WavTakes,
         MakeWavEncoder,
         WriteWaveTags},
        {L"Layer3-WAV", true, L"l3wav", L".wav", kMp3FileError, Question::Mp3Settings,
         SixteenBitStereo, MakeMp3Encoder<true>, WriteWaveTags},
        {L"mp3", true, L"mp3", L".mp3", kMp3FileError, Question::Mp3Settings,
         SixteenBitStereo, MakeMp3Encoder<false>,
         WriteMp3Tags},
        // The Windows Media writer takes the tags as its header's attributes.
        {L"wma", false, L"wma", L".wma", kWmaFileError, Question::WmaSettings,
         SixteenBitStereo, MakeWmaEncoder,
         nullptr},
        // These two write their tags as Vorbis comments in their own headers.
        {L"flac", false, L"flac", L".flac", kFlacFileError, Question::FlacSettings,
         FlacTakes, MakeFlacEncoder, nullptr},
        {L"opus", false, L"opus", L".opus", kOpusFileError, Question::OpusSettings,
         OpusTakes, MakeOpusEncoder, nullptr},
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
