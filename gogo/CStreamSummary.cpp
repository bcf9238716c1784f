#include "CStreamSummary.h"
#include "Mp3Crc.h"
#include <cmath>

void CStreamSummary::AddFrame(const CMp3Header& header) {
    ++frames;
    lastModeExtension = header.ModeExtension();
    kbpsSum += header.Kbps();
    if (++seen < want)
        return;
    if (bagUsed < BagSize) {
        bag[static_cast<size_t>(bagUsed++)] = kbpsSum;
        seen = 0;
    }
    if (bagUsed == BagSize) {
        for (int i = 1; i < BagSize; i += 2)
            bag[static_cast<size_t>(i / 2)] = bag[static_cast<size_t>(i)];
        want *= 2;
        bagUsed /= 2;
    }
}

void CStreamSummary::AddBytes(const unsigned char* from, size_t size) {
    bytes += size;
    crc = UpdateLameCrc(crc, from, size);
}

std::array<unsigned char, CStreamSummary::TocEntries> CStreamSummary::Toc() const {
    std::array<unsigned char, TocEntries> toc{};
    if (bagUsed <= 0)
        return toc;
    // The same single and double precision steps as LAME, so that every
    // entry rounds the same way.
    for (int i = 1; i < TocEntries; ++i) {
        float share = i / static_cast<float>(TocEntries);
        int index = static_cast<int>(std::floor(share * static_cast<float>(bagUsed)));
        if (index > bagUsed - 1)
            index = bagUsed - 1;
        auto reached = static_cast<float>(bag[static_cast<size_t>(index)]);
        auto sum = static_cast<float>(kbpsSum);
        int point = static_cast<int>(256. * reached / sum);
        toc[static_cast<size_t>(i)] = static_cast<unsigned char>(point > 255 ? 255 : point);
    }
    return toc;
}
