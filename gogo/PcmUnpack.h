#pragma once

// Interleaved little-endian PCM (8-bit unsigned, 16, 24 or 32-bit signed) to
// one array of 32-bit full-scale samples per channel. right is written only
// for two channels.
void UnpackPcm(const unsigned char* bytes, int frames, int channels, int bitsPerSample, int* left,
               int* right);
