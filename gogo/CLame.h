#pragma once
#include "CGoGoConfig.h"
#include <lame/lame.h>
#include <vector>

// One LAME instance set up from a configuration. The blocks of a split
// stream each get one made the same way, so that all start in one state.
class CLame {
  public:
    CLame() = default;
    ~CLame();
    CLame(const CLame&) = delete;
    CLame& operator=(const CLame&) = delete;

    // infoFrame: LAME writes its header frame first (a plain mp3 file).
    // Without the reservoir each frame's main data stays in its own slot.
    int Open(const CGoGoConfig& config, bool infoFrame, bool reservoir = true);
    lame_global_flags* Get() const { return lame; }
    int FrameSamples() const { return lame_get_framesize(lame); }
    int Delay() const { return lame_get_encoder_delay(lame); }
    int Frames() const { return lame_get_frameNum(lame); }

    // Each appends the stream bytes it finished to out: GOGO_OK, or
    // GOGO_ERR_ENCODER.
    int Encode(const int* left, const int* right, int samples, std::vector<unsigned char>& out);
    // Encodes what is held, the stream's end.
    int Flush(std::vector<unsigned char>& out);
    // Completes the frames written so far and empties the bit reservoir:
    // the next frame's data starts in its own frame.
    int EmptyReservoir(std::vector<unsigned char>& out);

    // After Flush: LAME's info frame for what this instance encoded; empty
    // without one.
    std::vector<unsigned char> InfoFrame() const;

  private:
    int Appended(int bytes, std::vector<unsigned char>& out, size_t before);

    lame_global_flags* lame = nullptr;
    int channels = 0;
};
