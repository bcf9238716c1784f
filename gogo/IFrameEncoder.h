#pragma once
#include <vector>

// What makes a stream's MP3 frames from PCM: one LAME instance, or several
// threads joined into one stream. PCM arrives as 32-bit samples per
// channel, as LAME takes it; the right channel is ignored for mono.
class IFrameEncoder {
  public:
    virtual ~IFrameEncoder() = default;
    // Each appends the stream bytes finished so far to out: GOGO_OK, or the
    // error.
    virtual int Encode(const int* left, const int* right, int samples,
                       std::vector<unsigned char>& out) = 0;
    // The stream's end: everything still held.
    virtual int Flush(std::vector<unsigned char>& out) = 0;
    // After Flush: the header frame for the start of the stream, complete
    // (LAME's info frame); empty without one.
    virtual std::vector<unsigned char> InfoFrame() = 0;
    virtual int FrameSamples() const = 0;
    virtual int Delay() const = 0; // the encoder's delay in samples
    virtual int Frames() const = 0; // audio frames written so far
};
