#include "CLame.h"

namespace {

// LAME's worst case for the bytes of samples, and for what a flush writes.
size_t Room(int samples) { return static_cast<size_t>(samples) * 5 / 4 + 7200; }

void ApplyMode(lame_global_flags* lame, int mode) {
    static const MPEG_mode kModes[] = {MONO, STEREO, JOINT_STEREO, JOINT_STEREO, DUAL_CHANNEL};
    lame_set_mode(lame, kModes[mode]);
    lame_set_force_ms(lame, mode == GOGO_MODE_MID_SIDE ? 1 : 0);
}

} // namespace

CLame::~CLame() {
    if (lame)
        lame_close(lame);
}

int CLame::Open(const CGoGoConfig& config, bool infoFrame, bool reservoir) {
    lame = lame_init();
    if (!lame)
        return GOGO_ERR_MEMORY;
    channels = static_cast<int>(config.input.channels);
    lame_set_num_channels(lame, channels);
    lame_set_in_samplerate(lame, static_cast<int>(config.input.samplesPerSecond));
    lame_set_out_samplerate(lame, config.OutputRate());
    ApplyMode(lame, channels == 1 ? GOGO_MODE_MONO : config.mode);
    if (config.vbr) {
        lame_set_VBR(lame, vbr_default);
        // The quality alone decides each frame's rate: any limit the
        // caller's VBR bit rate set made some settings a constant rate.
        lame_set_VBR_q(lame, config.vbrQuality);
    } else {
        lame_set_VBR(lame, vbr_off);
        lame_set_brate(lame, config.bitrate);
    }
    lame_set_bWriteVbrTag(lame, infoFrame ? 1 : 0);
    lame_set_disable_reservoir(lame, reservoir ? 0 : 1);
    lame_set_write_id3tag_automatic(lame, 0);
    return lame_init_params(lame) < 0 ? GOGO_ERR_ENCODER : GOGO_OK;
}

int CLame::Encode(const int* left, const int* right, int samples, std::vector<unsigned char>& out) {
    const size_t before = out.size();
    out.resize(before + Room(samples));
    const int bytes = lame_encode_buffer_int(lame, left, channels == 2 ? right : left, samples,
                                             out.data() + before, static_cast<int>(Room(samples)));
    return Appended(bytes, out, before);
}

int CLame::Flush(std::vector<unsigned char>& out) {
    const size_t before = out.size();
    out.resize(before + Room(0));
    return Appended(lame_encode_flush(lame, out.data() + before, static_cast<int>(Room(0))), out,
                    before);
}

// Before the first frame the reservoir is empty already, and LAME cannot
// flush a bit stream it has not begun.
int CLame::EmptyReservoir(std::vector<unsigned char>& out) {
    if (Frames() == 0)
        return GOGO_OK;
    const size_t before = out.size();
    out.resize(before + Room(0));
    return Appended(lame_encode_flush_nogap(lame, out.data() + before, static_cast<int>(Room(0))),
                    out, before);
}

int CLame::Appended(int bytes, std::vector<unsigned char>& out, size_t before) {
    out.resize(before + static_cast<size_t>(bytes < 0 ? 0 : bytes));
    return bytes < 0 ? GOGO_ERR_ENCODER : GOGO_OK;
}

std::vector<unsigned char> CLame::InfoFrame() const {
    std::vector<unsigned char> frame(2880); // the largest Layer III frame
    const size_t size = lame_get_lametag_frame(lame, frame.data(), frame.size());
    frame.resize(size <= frame.size() ? size : 0);
    return frame;
}
