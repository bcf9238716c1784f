#pragma once
#include "gogo.h"
#include <map>
#include <utility>

// The configuration items of one conversion as the caller set them, and the
// rules that decide whether an encoder can start with them.
class CGoGoConfig {
  public:
    CGoGoConfig();

    // A value a known item cannot take is remembered and reported again by
    // Check, because callers need not examine each setting's result.
    int Set(int item, uintptr_t value1, uintptr_t value2);
    int Get(int item, uintptr_t* value1, uintptr_t* value2) const;
    // GOGO_OK when an encoder can start with these settings.
    int Check() const;

    // The MP3 sample rate the input is encoded at: the input's own when MP3
    // has it, otherwise the next higher one (at most 48 kHz).
    int OutputRate() const;
    int LowestBitrate() const;  // of the output rate's MPEG version, kbit/s
    int HighestBitrate() const; // likewise

    GOGO_INPUT input{};
    GOGO_COUNTED_INPUT_FUNC countedRead = nullptr; // reads instead of input.read
    GOGO_OUTPUT_FUNC output = nullptr;
    int mode = GOGO_MODE_STEREO;
    int bitrate = 128;
    bool vbr = false;
    int vbrQuality = 4;
    bool riffWave = false;
    int threads = 1;         // 0: one per processor
    bool splitAlways = false; // split on one thread too

    // Whether the stream is split into blocks: asked for, and the input
    // not resampled (blocks would not start on frames).
    bool Split() const;
    // The threads a split stream is encoded on.
    int Workers() const;

  private:
    int SetInput(uintptr_t value1, uintptr_t value2);
    int SetOutput(uintptr_t value1, uintptr_t value2);
    int SetChoice(int item, uintptr_t value1, uintptr_t value2);
    int CheckInput() const;

    int refused = GOGO_OK;
    std::map<int, std::pair<uintptr_t, uintptr_t>> values;
};
