#pragma once
#include "encode/CEncoderOptions.h"
#include "engine/CBatchPlan.h"
#include <optional>
#include <string>
#include <vector>

// What ZEPc was asked to do. Values not given stay unset: the user's saved
// settings apply to them.
struct CCommandLine {
    std::wstring input;       // a file, or a folder converted as the batch does
    std::wstring output;      // -o: the output file, or a folder's output folder; empty: named
                              // as the dialog names it, beside the input
    int type = -1;            // -f: an output type
    bool quiet = false;       // -q
    bool help = false;        // --help
    bool listFormats = false; // --list-formats
    bool version = false;     // --version
    std::optional<int> volume, bitRate, vbrQuality, mode, wma4, wma7;
    std::optional<int> jobs;    // -j: a folder's conversions at a time
    std::optional<int> threads; // --threads: one file's MP3 encoded on them
    std::optional<std::wstring> wmaFile;
    // --acm: the WAV output's codec by the name the system's format list
    // shows, with the format's rate, channels and bits (0: as the input, or
    // any). PCM alone keeps the input's samples as they are.
    std::optional<std::wstring> acm;
    std::optional<int> rate, channels, bits;
    bool twoPass = false;
    std::optional<int> flacLevel, opusKbps, opusMode;
    std::optional<int> flacBits, flacRate; // --flac-bits, --flac-rate: 0 stays the source's
    std::optional<int> decoder; // --decoder: the saved Decoder value it stands for
    bool noVerify = false; // --no-verify: FLAC written without decoding it again
    bool noTags = false; // --no-tags: none of the input's tags
    // A folder's batch: -r, --name PATTERN, --skip-existing or --update.
    bool subfolders = false;
    std::wstring namePattern;
    ExistingOutputs existing = ExistingOutputs::NextFreeName;
    // --tag NAME=VALUE, repeatable: fields set over the input's.
    std::vector<std::pair<std::wstring, std::wstring>> tags;

    // Reads the arguments after the program's name. Empty when they make
    // sense; else the one-line message of the usage mistake.
    std::wstring Parse(const std::vector<std::wstring>& arguments);
    // Whether progress lines go to standard error: a console, and no -q.
    bool ShowsProgress() const;
    // Whether an option for a folder's batch alone was given.
    bool AsksFolderChoices() const;
    // A folder's batch as asked, into output as its output folder.
    CBatchChoices BatchChoices() const;
    // Puts the options given into the conversion's options; the rest keep
    // their values.
    void ApplyTo(CEncoderOptions& options) const;
};

// The output formats' -f values, separated.
std::wstring FormatCommandNames(const wchar_t* separator);
