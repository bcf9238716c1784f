#include "LameEncoding.h"
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <lame/lame.h>

namespace {
const double kTwoPi = 6.283185307179586;

// Tones that swell and fade, noise that comes and goes, channels apart: bit
// rates and the reservoir vary from frame to frame.
short Sample(long index, int channel, int rate) {
    double t = static_cast<double>(index) / rate;
    double swell = 0.5 + 0.5 * std::sin(kTwoPi * 0.7 * t);
    double tone = std::sin(kTwoPi * (channel ? 330.0 : 440.0) * t) * 9000 * swell;
    auto hash = static_cast<uint32_t>(index) * 2654435761u + static_cast<uint32_t>(channel) * 40503u;
    hash ^= hash >> 13;
    hash *= 0x5bd1e995u;
    double noise = (static_cast<double>(hash >> 16) - 32768) / 32768 * 6000 * (1 - swell);
    return static_cast<short>(tone + noise);
}
} // namespace

std::vector<unsigned char> SignalPcm(long first, long count, int channels, int rate) {
    std::vector<unsigned char> pcm;
    pcm.reserve(static_cast<size_t>(count * channels * 2));
    for (long i = first; i < first + count; ++i)
        for (int channel = 0; channel < channels; ++channel) {
            const short sample = Sample(i, channel, rate);
            pcm.push_back(static_cast<unsigned char>(sample));
            pcm.push_back(static_cast<unsigned char>(sample >> 8));
        }
    return pcm;
}

std::string LameSettings::Name() const {
    return std::to_string(rate) + " Hz " + (channels == 1 ? "mono " : "stereo ") +
           (kbps ? std::to_string(kbps) + " kbit/s" : std::string("VBR")) + (crc ? " CRC" : "");
}

LameStream EncodeWithLame(const LameSettings& settings, long first, long count, bool infoFrame) {
    LameStream stream;
    lame_global_flags* lame = lame_init();
    lame_set_in_samplerate(lame, settings.rate);
    lame_set_out_samplerate(lame, settings.rate);
    lame_set_num_channels(lame, settings.channels);
    lame_set_mode(lame, settings.channels == 1 ? MONO : JOINT_STEREO);
    if (settings.kbps) {
        lame_set_VBR(lame, vbr_off);
        lame_set_brate(lame, settings.kbps);
    } else {
        lame_set_VBR(lame, vbr_default);
        lame_set_VBR_q(lame, 4);
    }
    lame_set_error_protection(lame, settings.crc ? 1 : 0);
    lame_set_bWriteVbrTag(lame, infoFrame ? 1 : 0);
    lame_set_write_id3tag_automatic(lame, 0);
    EXPECT_GE(lame_init_params(lame), 0) << settings.Name();
    stream.frameSamples = lame_get_framesize(lame);

    const long chunk = 4096;
    std::vector<short> left(chunk), right(chunk);
    std::vector<unsigned char> out(chunk * 5 / 4 + 7200);
    std::vector<unsigned char> all;
    for (long done = 0; done < count;) {
        long n = std::min(chunk, count - done);
        for (long i = 0; i < n; ++i) {
            left[static_cast<size_t>(i)] = Sample(first + done + i, 0, settings.rate);
            right[static_cast<size_t>(i)] = Sample(first + done + i, 1, settings.rate);
        }
        int bytes = lame_encode_buffer(lame, left.data(), right.data(), static_cast<int>(n), out.data(),
                                       static_cast<int>(out.size()));
        EXPECT_GE(bytes, 0);
        all.insert(all.end(), out.begin(), out.begin() + std::max(bytes, 0));
        done += n;
    }
    int bytes = lame_encode_flush(lame, out.data(), static_cast<int>(out.size()));
    EXPECT_GE(bytes, 0);
    all.insert(all.end(), out.begin(), out.begin() + std::max(bytes, 0));

    if (infoFrame) {
        stream.infoFrame.resize(2880);
        size_t size = lame_get_lametag_frame(lame, stream.infoFrame.data(), stream.infoFrame.size());
        stream.infoFrame.resize(size);
        // The stream starts with a placeholder of the same size.
        all.erase(all.begin(), all.begin() + static_cast<long>(std::min(size, all.size())));
    }
    stream.music = std::move(all);
    stream.delay = lame_get_encoder_delay(lame);
    stream.padding = lame_get_encoder_padding(lame);
    lame_close(lame);
    return stream;
}

const std::vector<LameSettings>& LameKinds() {
    static const std::vector<LameSettings> kinds = {
        {44100, 2, 128, false}, {44100, 2, 0, false}, {44100, 1, 64, false},  {22050, 2, 0, false},
        {22050, 1, 32, false},  {11025, 1, 24, false}, {44100, 2, 128, true}, {22050, 1, 0, true}};
    return kinds;
}
