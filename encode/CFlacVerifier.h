#pragma once
#include <FLAC/stream_decoder.h>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// Decodes a FLAC stream on a thread of its own while it is written, and
// compares every decoded sample with the one the encoder was given: a
// check as strong as decoding the file afterwards, run beside the encoder's
// threads instead of inside them (libFLAC's own verify serialises them).
class CFlacVerifier {
  public:
    CFlacVerifier() = default;
    ~CFlacVerifier();
    CFlacVerifier(const CFlacVerifier&) = delete;
    CFlacVerifier& operator=(const CFlacVerifier&) = delete;

    // channels: of the interleaved samples to come.
    bool Start(unsigned channels);
    // Interleaved input, before the encoder is given it. Waits while the
    // decoder is far behind, so that memory stays bounded.
    void AddSamples(const FLAC__int32* samples, size_t count);
    // The stream's bytes in order, as written.
    void AddBytes(const FLAC__byte* bytes, size_t count);
    // The stream has ended: true when it decoded without error to exactly
    // the samples given.
    bool Finish();

  private:
    static FLAC__StreamDecoderReadStatus OnRead(const FLAC__StreamDecoder*, FLAC__byte* buffer,
                                                size_t* bytes, void* self);
    static FLAC__StreamDecoderWriteStatus OnFrame(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                                  const FLAC__int32* const channel[], void* self);
    static void OnError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* self);
    void Decode();
    bool Matches(const FLAC__Frame& frame, const FLAC__int32* const channel[]);

    std::mutex lock;
    std::condition_variable changed;
    std::vector<FLAC__byte> encoded;
    size_t encodedAt = 0;
    std::vector<FLAC__int32> expected;
    size_t expectedAt = 0;
    unsigned channels = 0;
    bool ended = false;
    bool failed = false;
    bool decodedToEnd = false;
    FLAC__StreamDecoder* decoder = nullptr; // used by the thread alone
    std::thread thread;
};
