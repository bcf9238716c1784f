#include "CCommandLine.h"
#include "cli/ConsoleText.h"
#include "engine/COutputFormat.h"
#include <cwchar>

namespace {

struct Name {
    const wchar_t* text;
    int value;
};

// The MP3 channel modes in the settings' order.
const Name kModes[] = {{L"mono", 0}, {L"stereo", 1}, {L"joint", 2}, {L"ms", 3}, {L"dual", 4}};
const Name kDecoders[] = {{L"builtin", 0}, {L"system", 1}};
const Name kFlacBits[] = {{L"16", 16}, {L"24", 24}};
const Name kFlacRates[] = {{L"44100", 44100}, {L"48000", 48000}};
const Name kOpusModes[] = {{L"vbr", COpusOptions::Vbr},
                           {L"cvbr", COpusOptions::ConstrainedVbr},
                           {L"cbr", COpusOptions::Cbr}};

template <size_t N> std::optional<int> Find(const Name (&names)[N], const std::wstring& text) {
    for (const Name& name : names)
        if (text == name.text)
            return name.value;
    return std::nullopt;
}

std::optional<int> Number(const std::wstring& text, int low, int high) {
    wchar_t* end = nullptr;
    const long value = std::wcstol(text.c_str(), &end, 10);
    if (text.empty() || *end != L'\0' || value < low || value > high)
        return std::nullopt;
    return static_cast<int>(value);
}

const wchar_t* PatternMistake(const std::wstring& pattern) {
    switch (CNamePattern(pattern, {}).Fault()) {
    case CNamePattern::Mistake::UnknownField:
        return L"a field it names is not one of <albumartist>, <artist>, <album>, <title>, "
               L"<track>, <disc>, <year>, <genre>, <composer>, <filename>, <folder>";
    case CNamePattern::Mistake::LeavesFolder:
        return L"a pattern may not leave the output folder (.., a drive, a leading \\)";
    default:
        return nullptr;
    }
}

} // namespace

std::wstring CCommandLine::Parse(const std::vector<std::wstring>& arguments) {
    struct Numeric {
        const wchar_t* option;
        std::optional<int>* target;
        int low, high;
    } numerics[] = {{L"--volume", &volume, 0, 10000},
                    {L"--bitrate", &bitRate, 8, 320},
                    {L"--vbr", &vbrQuality, 0, 9},
                    {L"--wma4", &wma4, 1, 1000},
                    {L"--wma7", &wma7, 1, 1000},
                    {L"--rate", &rate, 1000, 384000},
                    {L"--channels", &channels, 1, 8},
                    {L"--bits", &bits, 1, 32},
                    {L"--flac-level", &flacLevel, 0, 8},
                    {L"--opus-bitrate", &opusKbps, 6, 510},
                    {L"-j", &jobs, 1, 64},
                    {L"--threads", &threads, 1, 64}};
    bool optionsEnded = false;
    for (size_t at = 0; at < arguments.size(); ++at) {
        const std::wstring& argument = arguments[at];
        auto value = [&]() -> const std::wstring* {
            return at + 1 < arguments.size() ? &arguments[++at] : nullptr;
        };
        const bool option =
            !optionsEnded && ((argument.size() > 1 && argument[0] == L'-') || argument == L"/?");
        if (!option) {
            if (!input.empty())
                return L"only one input may be given; " + argument + L" is a second";
            input = argument;
        } else if (argument == L"--") {
            optionsEnded = true; // what follows is the input, whatever it starts with
        } else if (argument == L"--help" || argument == L"-h" || argument == L"/?") {
            help = true;
        } else if (argument == L"--list-formats") {
            listFormats = true;
        } else if (argument == L"--version") {
            version = true;
        } else if (argument == L"-q") {
            quiet = true;
        } else if (argument == L"--two-pass") {
            twoPass = true;
        } else if (argument == L"--no-tags") {
            noTags = true;
        } else if (argument == L"--no-verify") {
            noVerify = true;
        } else if (argument == L"-r") {
            subfolders = true;
        } else if (argument == L"--skip-existing" || argument == L"--update") {
            const ExistingOutputs asked =
                argument == L"--update" ? ExistingOutputs::Update : ExistingOutputs::Skip;
            if (existing != ExistingOutputs::NextFreeName && existing != asked)
                return L"--skip-existing and --update exclude each other";
            existing = asked;
        } else if (argument == L"--tag") {
            const std::wstring* given = value();
            const size_t equals = given ? given->find(L'=') : std::wstring::npos;
            if (equals == std::wstring::npos || equals == 0)
                return L"--tag takes NAME=VALUE";
            tags.emplace_back(given->substr(0, equals), given->substr(equals + 1));
        } else if (argument == L"-f" || argument == L"-o" || argument == L"--mode" ||
                   argument == L"--wma-file" || argument == L"--acm" ||
                   argument == L"--opus-mode" || argument == L"--decoder" ||
                   argument == L"--flac-bits" || argument == L"--flac-rate" ||
                   argument == L"--name") {
            const std::wstring* given = value();
            if (!given)
                return argument + L" needs a value";
            if (argument == L"-o") {
                output = *given;
            } else if (argument == L"--name") {
                namePattern = *given;
                if (const wchar_t* mistake = PatternMistake(namePattern))
                    return L"--name " + namePattern + L": " + mistake;
            } else if (argument == L"--wma-file") {
                wmaFile = *given;
            } else if (argument == L"--acm") {
                acm = *given;
            } else if (argument == L"-f") {
                type = OutputTypeNamed(*given);
                if (type < 0)
                    return L"-f takes " + FormatCommandNames(L", ") + L", not " + *given;
            } else if (argument == L"--decoder") {
                if (!(decoder = Find(kDecoders, *given)))
                    return L"--decoder takes builtin or system, not " + *given;
            } else if (argument == L"--flac-bits") {
                if (!(flacBits = Find(kFlacBits, *given)))
                    return L"--flac-bits takes 16 or 24, not " + *given;
            } else if (argument == L"--flac-rate") {
                if (!(flacRate = Find(kFlacRates, *given)))
                    return L"--flac-rate takes 44100 or 48000, not " + *given;
            } else if (argument == L"--opus-mode") {
                if (!(opusMode = Find(kOpusModes, *given)))
                    return L"--opus-mode takes vbr, cvbr or cbr, not " + *given;
            } else if (!(mode = Find(kModes, *given))) {
                return L"--mode takes mono, stereo, joint, ms or dual, not " + *given;
            }
        } else {
            Numeric* numeric = nullptr;
            for (Numeric& candidate : numerics)
                if (argument == candidate.option)
                    numeric = &candidate;
            if (!numeric)
                return L"unknown option " + argument;
            const std::wstring* given = value();
            if (!given)
                return argument + L" needs a value";
            if (!(*numeric->target = Number(*given, numeric->low, numeric->high)))
                return argument + L" takes a whole number from " + std::to_wstring(numeric->low) +
                       L" to " + std::to_wstring(numeric->high) + L", not " + *given;
        }
    }
    if (help || listFormats || version)
        return L"";
    if (input.empty())
        return L"no input given";
    if (type < 0)
        return L"no output format given (-f " + FormatCommandNames(L"|") + L")";
    const COutputFormat::Question question = OutputFormatOf(type)->question;
    if (threads && question != COutputFormat::Question::Mp3Settings)
        return L"--threads is for an MP3 or Layer-3 WAV output";
    if ((acm || rate || channels || bits) && question != COutputFormat::Question::WavFormat)
        return L"--acm, --rate, --channels and --bits are for a WAV(ACM) output";
    if ((flacLevel || flacBits || flacRate || noVerify) &&
        question != COutputFormat::Question::FlacSettings)
        return L"--flac-level, --flac-bits, --flac-rate and --no-verify are for a FLAC output";
    if ((opusKbps || opusMode) && question != COutputFormat::Question::OpusSettings)
        return L"--opus-bitrate and --opus-mode are for an Opus output";
    if (twoPass && !wmaFile)
        return L"--two-pass is for a WMA profile file (--wma-file)";
    return L"";
}

std::wstring FormatCommandNames(const wchar_t* separator) {
    std::wstring names;
    for (const COutputFormat& format : OutputFormats())
        names += (names.empty() ? L"" : separator) + std::wstring(format.commandName);
    return names;
}

bool CCommandLine::AsksFolderChoices() const {
    return subfolders || !namePattern.empty() || existing != ExistingOutputs::NextFreeName;
}

CBatchChoices CCommandLine::BatchChoices() const {
    return {subfolders, output, namePattern, existing};
}

bool CCommandLine::ShowsProgress() const { return !quiet && IsConsole(STD_ERROR_HANDLE); }

void CCommandLine::ApplyTo(CEncoderOptions& options) const {
    if (volume)
        options.volume = *volume;
    if (mode)
        options.mp3.channelMode = *mode;
    if (vbrQuality) {
        options.mp3.vbr = 1;
        options.mp3.vbrQuality = *vbrQuality;
    }
    if (bitRate) {
        options.mp3.cbrKbps = *bitRate;
        options.mp3.vbrKbps = *bitRate;
        if (!vbrQuality)
            options.mp3.vbr = 0;
    }
    if (wma4 || wma7) {
        options.wma.select = wma7 ? 1 : 0;
        options.wma.profile4 = wma4.value_or(options.wma.profile4);
        options.wma.profile7 = wma7.value_or(options.wma.profile7);
    }
    if (threads) {
        options.mp3.split = *threads != 1;
        options.mp3.threads = *threads;
    }
    options.flac.level = flacLevel.value_or(options.flac.level);
    options.flac.bits = flacBits.value_or(options.flac.bits);
    options.flac.rate = flacRate.value_or(options.flac.rate);
    if (noVerify)
        options.flac.verify = false;
    options.opus.kbps = opusKbps.value_or(options.opus.kbps);
    options.opus.mode = opusMode.value_or(options.opus.mode);
    if (noTags)
        options.tags.copy = false;
    options.tags.values = tags;
    if (wmaFile) {
        options.wma.select = 2;
        options.wma.profileFile = *wmaFile;
        options.wma.twoPass = twoPass ? 1 : 0;
    }
}
