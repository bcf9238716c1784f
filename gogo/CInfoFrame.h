#pragma once
#include "CStreamSummary.h"
#include <cstddef>
#include <vector>

// The frame LAME writes first in a plain MP3 stream ("Xing" for VBR, "Info"
// for CBR, with the LAME tag after it), made to describe another stream of
// music frames: frame and byte counts, seek table, encoder delay and
// padding, music length and CRC, and the two CRCs of the frame itself.
// Everything else LAME wrote stays as it was.
class CInfoFrame {
  public:
    // False unless bytes are such a frame as lame_get_lametag_frame returns:
    // a Layer III header, the tag right after the side information with all
    // four Xing fields, and room for the LAME tag.
    bool Read(const unsigned char* bytes, size_t size);

    // The music frames that follow the info frame. As LAME counts them, the
    // byte count and the music length include the info frame itself, the
    // frame count does not.
    void SetStream(const CStreamSummary& stream);
    // Samples; 12 bits each, larger values are cut to 4095.
    void SetDelayAndPadding(int delay, int padding);

    // The frame, with its CRCs computed afresh. Empty before Read succeeds.
    const std::vector<unsigned char>& Bytes() const { return frame; }

  private:
    void UpdateCrcs();

    std::vector<unsigned char> frame;
    size_t xing = 0; // where "Xing" or "Info" starts
};
