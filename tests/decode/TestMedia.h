#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Inputs made by tests/media/make-media.sh on the host; ZEP_TEST_MEDIA names
// their folder as a host path, reached through Wine's Z: drive.
std::wstring MediaPath(const std::string& name);
// A host path as Wine's Z: drive shows it.
std::wstring HostPathInWine(const std::string& unixPath);
bool MediaAvailable();

std::vector<int16_t> ReadRawSamples(const std::string& name);
std::vector<int16_t> ToSamples(const std::vector<unsigned char>& bytes);

// The largest absolute difference over the common length.
int MaxDifference(const std::vector<int16_t>& a, const std::vector<int16_t>& b);

// Signal-to-noise ratio in dB of test against reference, with test shifted
// by the lag (in samples, interleaved) that matches them best within maxLag.
double BestAlignedSnr(const std::vector<int16_t>& reference, const std::vector<int16_t>& test,
                      int channels, int maxLagFrames);
