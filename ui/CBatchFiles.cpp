#include "CBatchFiles.h"
#include "ui/Language.h"
#include <algorithm>
#include <mutex>

namespace {

std::mutex liveLock;

// The batches alive in this process, under liveLock.
std::vector<CBatchFiles*>& LiveBatches() {
    static std::vector<CBatchFiles*> live;
    return live;
}

} // namespace

CBatchFiles::CBatchFiles(const std::vector<std::wstring>& files, const std::wstring& folder,
                         const CBatchChoices& choices, std::function<void(int finished)> finished,
                         std::function<bool()> stopped)
    : files(files), folder(folder), choices(choices), filesFinished(std::move(finished)),
      stopped(std::move(stopped)) {
    std::lock_guard<std::mutex> guard(liveLock);
    LiveBatches().push_back(this);
}

CBatchFiles::~CBatchFiles() {
    std::lock_guard<std::mutex> guard(liveLock);
    auto& live = LiveBatches();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

// Only compared, never followed, until it is known to be ours.
CBatchFiles* CBatchFiles::FromMessage(WPARAM carried) {
    std::lock_guard<std::mutex> guard(liveLock);
    for (CBatchFiles* batch : LiveBatches())
        if (reinterpret_cast<WPARAM>(batch) == carried)
            return batch;
    return nullptr;
}

CBatchFiles* CBatchFiles::OfFileMessage(WPARAM carried, size_t& at) {
    std::lock_guard<std::mutex> guard(liveLock);
    for (CBatchFiles* batch : LiveBatches())
        for (at = 0; at < batch->files.size(); ++at)
            if (reinterpret_cast<WPARAM>(batch->files[at].c_str()) == carried)
                return batch;
    return nullptr;
}

const CBatchPlan& CBatchFiles::PlanFor(int type) {
    if (!plan)
        plan = std::make_unique<CBatchPlan>(type, folder, files, choices, UnknownNames());
    return *plan;
}
