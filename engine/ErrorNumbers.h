#pragma once

// Error numbers of the conversion by name; the texts stay in the resource
// library (ui/ErrorMessages). Producers return these, the windows show them.
constexpr int kCancelled = -2;        // the user cancelled a dialog: nothing shown
constexpr int kWriteFailed = 901;     // an encoder could not write or finish its output
constexpr int kUndecodable = 915;     // the input cannot be opened or decoded
constexpr int kNoInput = 6001;        // no input file given
constexpr int kMp3FileError = 6001;   // the MP3 output cannot be created (the same text)
constexpr int kWavFileError = 6006;   // the WAV output cannot be created
constexpr int kWmaFinishFailed = 811; // the WMA file could not be finished
constexpr int kWmaFileError = 815;    // the WMA output cannot be created
// Why an input ended before its end of stream (CDecAudio::GetEndError).
constexpr int kDecodeNotRunning = 5004; // the graph did not run
constexpr int kDecodeAborted = 911;     // the graph reported an error and stopped
constexpr int kDecodeStalled = 912;     // no block came within the guard while it ran
