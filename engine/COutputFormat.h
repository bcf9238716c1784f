#pragma once
#include "encode/IAudioEncoder.h"
#include "engine/CEncoderWriters.h"
#include "engine/IFormatQuestions.h"
#include "pcm/CPcmFormat.h"
#include <memory>
#include <vector>

// The saved output types: the slots of the main window's output list.
enum OutputType {
    OutputWavAcm = 0,
    OutputLayer3Wav = 1,
    OutputMp3 = 2,
    OutputWma = 3,
    OutputFlac = 4,
    OutputOpus = 5
};

// One output format, all the program knows of it in one place: the dialog,
// the batch and the command line go through it. A new format is a new
// description here and its encoder.
struct COutputFormat {
    enum class Question { Mp3Settings, WmaSettings, WavFormat, FlacSettings, OpusSettings };

    const wchar_t* listName;    // its entry in the main window's list
    bool usesMp3Library;        // gogo.dll: the entry carries the library's note
    const wchar_t* commandName; // ZEPc's -f value
    const wchar_t* extension;
    int fileError; // reported when the file cannot be created or put in place
    Question question;
    // What the encoder takes of a source: as much of it as the format holds.
    CPcmFormat (*encoderTakes)(const CPcmFormat& source, const CEncoderOptions& options);
    // Makes the encoder over the thread's writers for the PCM it takes
    // (source): 0, or the error number.
    int (*makeEncoder)(const CEncoderWriters& writers, const CEncoderOptions& options,
                       const WAVEFORMATEX& source, std::unique_ptr<IAudioEncoder>& encoder);
    // Writes tags into a finished output of the format whose encoder does
    // not: 0, or the error number; and whether the cover was left out.
    int (*writeTags)(const std::wstring& path, const CTagRecord& record, bool* coverLeftOut);

    // Asks the format's question; source: the decoded PCM of the (first) input.
    int Ask(IFormatQuestions& questions, const WAVEFORMATEX& source,
            CEncoderOptions& options) const;
    // Whether its conversions must go one at a time: gogo.dll without an
    // encoder for every thread.
    bool OneAtATime() const;
};

// Every format in the list's order: a format's index is its output type.
const std::vector<COutputFormat>& OutputFormats();
// The format of an output type; null outside the list.
const COutputFormat* OutputFormatOf(int type);
// The output type of ZEPc's -f value; -1 for none.
int OutputTypeNamed(const std::wstring& commandName);
