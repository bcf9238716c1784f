// Encodes a 16-bit PCM WAVE file to MP3 through gogo.dll and prints the
// encoding time. Usage: mp3_bench IN.wav OUT.mp3 [kbit/s [VBR quality|- [threads]]]
// (default 128 kbit/s CBR on the single encoder; threads: the stream split
// into blocks on that many threads, 0 for every core).
#include "gogo.h"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
struct Wave {
    std::vector<unsigned char> data;
    uint32_t rate = 0;
    uint16_t channels = 0;
    uint16_t bits = 0;
};

uint32_t Le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

bool ReadWave(const char* path, Wave* wave) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(file);
    for (size_t at = 12; at + 8 <= bytes.size();) {
        uint32_t size = Le32(&bytes[at + 4]);
        const unsigned char* body = &bytes[at + 8];
        if (!std::memcmp(&bytes[at], "fmt ", 4)) {
            wave->channels = static_cast<uint16_t>(body[2] | body[3] << 8);
            wave->rate = Le32(body + 4);
            wave->bits = static_cast<uint16_t>(body[14] | body[15] << 8);
        } else if (!std::memcmp(&bytes[at], "data", 4)) {
            size = static_cast<uint32_t>(std::min<size_t>(size, bytes.size() - at - 8));
            wave->data.assign(body, body + size);
        }
        at += 8 + size + (size & 1);
    }
    return wave->rate && !wave->data.empty();
}

const Wave* source;
size_t readAt;
std::FILE* sink;

int GOGO_CALL Input(void* buffer, unsigned long length) {
    std::memset(buffer, 0, length);
    size_t n = std::min<size_t>(length, source->data.size() - readAt);
    std::memcpy(buffer, source->data.data() + readAt, n);
    readAt += n;
    return readAt < source->data.size() ? 0 : 1;
}

int GOGO_CALL Output(void* buffer, unsigned long length) {
    if (!buffer) {
        std::fseek(sink, 0, SEEK_SET);
        return 0;
    }
    return std::fwrite(buffer, 1, length, sink) == length ? 0 : GOGO_ERR_WRITE;
}

struct Settings {
    int kbps = 128;
    int vbrQuality = -1; // -1: constant bit rate
    int threads = -1; // -1: the single encoder; else the split stream on them (0: every core)
};

int Encode(const Wave& wave, const Settings& settings) {
    GOGO_INPUT input = {&Input, GOGO_UNKNOWN_LENGTH, wave.bits, wave.rate, wave.channels};
    MPGE_initializeWork();
    MPGE_setConfigure(GOGO_ITEM_INPUT, GOGO_INPUT_BY_FUNCTION, reinterpret_cast<uintptr_t>(&input));
    MPGE_setConfigure(GOGO_ITEM_CHANNEL_MODE, GOGO_MODE_JOINT_STEREO, 0);
    MPGE_setConfigure(GOGO_ITEM_BITRATE, static_cast<uintptr_t>(settings.kbps), 0);
    // VBR as ZEP sets it: from the bit rate up to 160 kbit/s.
    if (settings.vbrQuality >= 0) {
        MPGE_setConfigure(GOGO_ITEM_VBR_QUALITY, static_cast<uintptr_t>(settings.vbrQuality), 0);
        MPGE_setConfigure(GOGO_ITEM_VBR_LIMITS, static_cast<uintptr_t>(settings.kbps), 160);
    }
    if (settings.threads >= 0)
        MPGE_setConfigure(GOGO_ITEM_THREADS, static_cast<uintptr_t>(settings.threads), 1);
    MPGE_setConfigure(GOGO_ITEM_OUTPUT, GOGO_OUTPUT_BY_FUNCTION,
                      reinterpret_cast<uintptr_t>(&Output));
    if (int result = MPGE_detectConfigure())
        return result;
    int result = GOGO_OK;
    while (result == GOGO_OK)
        result = MPGE_processFrame();
    int closed = MPGE_closeCoder();
    MPGE_endCoder();
    return result == GOGO_END ? closed : result;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: mp3_bench IN.wav OUT.mp3 [kbit/s [quality|- [threads]]]\n");
        return 2;
    }
    Wave wave;
    if (!ReadWave(argv[1], &wave)) {
        std::fprintf(stderr, "mp3_bench: cannot read %s\n", argv[1]);
        return 1;
    }
    sink = std::fopen(argv[2], "wb");
    if (!sink)
        return 1;
    source = &wave;
    auto begin = std::chrono::steady_clock::now();
    Settings settings;
    if (argc > 3)
        settings.kbps = std::atoi(argv[3]);
    if (argc > 4 && std::strcmp(argv[4], "-") != 0)
        settings.vbrQuality = std::atoi(argv[4]);
    if (argc > 5)
        settings.threads = std::atoi(argv[5]);
    int result = Encode(wave, settings);
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
    std::fclose(sink);
    if (result != GOGO_OK) {
        std::fprintf(stderr, "mp3_bench: gogo.dll failed with %d\n", result);
        return 1;
    }
    std::printf("%.3f\n", took.count());
    return 0;
}
