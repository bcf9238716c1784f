#include "CBatchFiles.h"
#include <algorithm>
#include <mutex>

namespace {

std::mutex liveLock;

// The batches alive in this process, under liveLock.
std::vector<const CBatchFiles*>& LiveBatches() {
    static std::vector<const CBatchFiles*> live;
    return live;
}

} // namespace

CBatchFiles::CBatchFiles(const std::vector<std::wstring>& files,
                         std::function<void(int finished)> finished, std::function<bool()> stopped)
    : files(files), filesFinished(std::move(finished)), stopped(std::move(stopped)) {
    std::lock_guard<std::mutex> guard(liveLock);
    LiveBatches().push_back(this);
}

CBatchFiles::~CBatchFiles() {
    std::lock_guard<std::mutex> guard(liveLock);
    auto& live = LiveBatches();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

// Only compared, never followed, until it is known to be ours.
const CBatchFiles* CBatchFiles::FromMessage(WPARAM carried) {
    std::lock_guard<std::mutex> guard(liveLock);
    for (const CBatchFiles* batch : LiveBatches())
        if (reinterpret_cast<WPARAM>(batch) == carried)
            return batch;
    return nullptr;
}

const CBatchFiles* CBatchFiles::OfFileMessage(WPARAM carried) {
    std::lock_guard<std::mutex> guard(liveLock);
    for (const CBatchFiles* batch : LiveBatches())
        for (const std::wstring& file : batch->files)
            if (reinterpret_cast<WPARAM>(file.c_str()) == carried)
                return batch;
    return nullptr;
}
