#include "PcmUnpack.h"
#include <cstdint>

namespace {
int32_t Sample(const unsigned char* p, int bytes) {
    switch (bytes) {
    case 1:
        return static_cast<int32_t>((static_cast<uint32_t>(p[0]) ^ 0x80u) << 24);
    case 2:
        return static_cast<int32_t>((uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 24));
    case 3:
        return static_cast<int32_t>((uint32_t{p[0]} << 8) | (uint32_t{p[1]} << 16) |
                                    (uint32_t{p[2]} << 24));
    default:
        return static_cast<int32_t>(uint32_t{p[0]} | (uint32_t{p[1]} << 8) |
                                    (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24));
    }
}
} // namespace

void UnpackPcm(const unsigned char* bytes, int frames, int channels, int bitsPerSample, int* left,
               int* right) {
    int width = bitsPerSample / 8;
    for (int i = 0; i < frames; ++i) {
        left[i] = Sample(bytes, width);
        if (channels == 2)
            right[i] = Sample(bytes + width, width);
        bytes += width * channels;
    }
}
