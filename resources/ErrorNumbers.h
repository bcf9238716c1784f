#pragma once

// Error numbers of the conversion by name; the texts stay in the resource
// library (ui/ErrorMessages). Producers return these, the windows show them.
constexpr int kCancelled = -2; // the user cancelled a dialog: nothing shown
// The command-line converter was interrupted (Ctrl+C, its console closed):
// the running conversion's output is not put in place.
constexpr int kInterrupted = -100;

// The conversion job and its driver.
constexpr int kWriteFailed = 901;   // an encoder could not write or finish its output
constexpr int kUndecodable = 915;   // the input cannot be opened or decoded
constexpr int kNoInput = 6001;      // no input file given
constexpr int kWavFileError = 6006; // the WAV output cannot be created

// Decoding graphs (CDecAudio::Open, CDShowPlay::Open).
constexpr int kGraphUnplayable = 5003;  // the playback probe cannot render the file
constexpr int kGraphUnconnected = 5006; // no PCM audio: a connection of the graph failed
constexpr int kGraphUnrendered = 5007;  // the grabber's output cannot be rendered
constexpr int kGraphFailed = 5008;      // any other step of building the graph failed
// Why an input ended before its end of stream (CDecAudio::GetEndError).
constexpr int kDecodeNotRunning = 5004; // the graph did not run
constexpr int kDecodeAborted = 911;     // the graph reported an error and stopped
constexpr int kDecodeStalled = 912;     // no block came within the guard while it ran

// The MP3 encoder over gogo.dll (kCancelled also when the library is missing).
constexpr int kMp3SettingsRefused = -3; // the library refused the configuration
constexpr int kMp3BitRateRefused = -5;  // the library refused the bit rate
constexpr int kMp3NoQueue = 501;        // no memory for the input queue
constexpr int kMp3FileError = 6001;     // the MP3 output cannot be created (the same text)

// The Windows Media writer.
constexpr int kWmaNoProfile = 3001;      // the system profile could not be loaded
constexpr int kWmaNoWriter = 3002;       // the writer could not be created
constexpr int kWmaNotWriting = 3003;     // the writer's inputs could not be set up
constexpr int kWmaBadProfileFile = 3004; // the profile file could not be read or was refused
constexpr int kWmaVideoFrame = 3007;     // video operations, never reached by audio
constexpr int kWmaNoVideo = 3008;
constexpr int kWmaSampleRefused = 809;  // the writer refused a sample
constexpr int kWmaPassNotBegun = 810;   // the analysis pass could not begin
constexpr int kWmaFinishFailed = 811;   // the WMA file could not be finished
constexpr int kWmaPassNotEnded = 813;   // the analysis pass could not end
constexpr int kWmaNeedsTwoPasses = 814; // the profile asks for an analysis pass first
constexpr int kWmaFileError = 815;      // the WMA output cannot be created

// Tags of the output.
constexpr int kTagWriteFailed = 6201; // the tags could not be written into the output

// The FLAC and Opus encoders.
constexpr int kFlacFileError = 6007;    // the FLAC output cannot be created
constexpr int kOpusFileError = 6008;    // the Opus output cannot be created
constexpr int kFlacVerifyFailed = 6301; // what was written does not decode to the input
constexpr int kFlacRefused = 6302;      // the FLAC encoder refused the input's format
constexpr int kOpusRefused = 6311;      // the Opus encoder refused the input's format or settings

// A folder's batch.
constexpr int kOutputFolderFailed = 6401; // a folder of the output could not be made
constexpr int kOutputNameClash = 6402;    // another input of the batch has the output's name
