#include "TestMedia.h"
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <windows.h>

std::wstring HostPathInWine(const std::string& unixPath) {
    std::wstring path = L"Z:";
    for (char c : unixPath)
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

std::wstring MediaPath(const std::string& name) {
    const char* folder = std::getenv("ZEP_TEST_MEDIA");
    return HostPathInWine(std::string(folder ? folder : "") + "/" + name);
}

bool MediaAvailable() { return std::getenv("ZEP_TEST_MEDIA") != nullptr; }

std::vector<int16_t> ReadRawSamples(const std::string& name) {
    std::vector<int16_t> samples;
    HANDLE file = CreateFileW(MediaPath(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return samples;
    DWORD size = GetFileSize(file, nullptr);
    samples.resize(size / 2);
    DWORD read = 0;
    ReadFile(file, samples.data(), static_cast<DWORD>(samples.size() * 2), &read, nullptr);
    CloseHandle(file);
    samples.resize(read / 2);
    return samples;
}

std::vector<int16_t> ToSamples(const std::vector<unsigned char>& bytes) {
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

int MaxDifference(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    int worst = 0;
    for (size_t i = 0; i < n; ++i)
        worst = std::max(worst, std::abs(a[i] - b[i]));
    return worst;
}

namespace {

double SnrAtLag(const std::vector<int16_t>& reference, const std::vector<int16_t>& test, long lag,
                size_t from, size_t to) {
    double signal = 0.0, noise = 0.0;
    for (size_t i = from; i < to && i < reference.size(); ++i) {
        long j = static_cast<long>(i) + lag;
        if (j < 0 || j >= static_cast<long>(test.size()))
            continue;
        double r = reference[i], d = r - test[static_cast<size_t>(j)];
        signal += r * r;
        noise += d * d;
    }
    return noise <= 0.0 ? 200.0 : 10.0 * std::log10(signal / noise);
}

} // namespace

double BestAlignedSnr(const std::vector<int16_t>& reference, const std::vector<int16_t>& test,
                      int channels, int maxLagFrames) {
    // The lag is found on a stretch of one second a little into the signal,
    // then the whole signal is measured at that lag.
    const size_t window = 44100u * static_cast<size_t>(channels);
    const size_t from = reference.size() > 3 * window ? window : 0;
    long bestLag = 0;
    double best = -1000.0;
    for (long frames = -maxLagFrames; frames <= maxLagFrames; ++frames) {
        double snr = SnrAtLag(reference, test, frames * channels, from, from + window);
        if (snr > best)
            best = snr, bestLag = frames * channels;
    }
    return SnrAtLag(reference, test, bestLag, 0, reference.size());
}
