#pragma once
#include <windows.h>

#include <mmreg.h> // needs the types of windows.h

// Brings decoded blocks to the layout the decoder reports: 16-bit PCM with
// at most two channels. The platform's decoders may deliver 8-, 24- or
// 32-bit integers, floats, or more channels; those are converted (rounded
// to nearest and clipped) and more than two channels are mixed down to
// stereo. 16-bit blocks with one or two channels pass unchanged.
class CPCMBlockConverter {
  public:
    // Takes the connected format block; false for a layout that cannot be
    // converted (not PCM or float, or an unusual sample size).
    bool Configure(const WAVEFORMATEX* source, size_t formatBytes);

    bool IsPassThrough() const { return passThrough; }
    // Bytes produced from inputBytes of source data; a partial last frame is dropped.
    int OutputBytes(int inputBytes) const;
    void Convert(const BYTE* input, int inputBytes, BYTE* output) const;

  private:
    enum class SampleKind { Unsigned8, Signed16, Signed24, Signed32, Float32, Float64 };

    double ReadSample(const BYTE* sample) const;
    void BuildMixdown(DWORD channelMask);

    SampleKind kind = SampleKind::Signed16;
    int sourceChannels = 2;
    int bytesPerSample = 2;
    int outputChannels = 2;
    bool passThrough = true;
    // Weight of each source channel in the left and right output, already
    // scaled so that no output can exceed full scale.
    double leftWeight[32] = {};
    double rightWeight[32] = {};
};
