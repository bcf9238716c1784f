#include "BatchJobs.h"
#include "engine/COutputFormat.h"
#include <algorithm>
#include <windows.h>

namespace {

int Processors() {
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    return static_cast<int>(system.dwNumberOfProcessors);
}

} // namespace

int BatchJobs(int type, int asked) {
    const int jobs = asked > 0 ? asked : Processors();
    const COutputFormat* format = OutputFormatOf(type);
    return jobs > 1 && format && format->OneAtATime() ? 1 : jobs;
}

void ShareThreads(CEncoderOptions& options, int jobs, size_t filesLeft) {
    options.mp3.threads = FileThreads(options.mp3.threads, jobs, filesLeft);
    options.flac.threads = FileThreads(0, jobs, filesLeft);
}

int FileThreads(int configured, int jobs, size_t filesLeft) {
    if (jobs <= 1)
        return configured;
    const int processors = Processors();
    if (filesLeft >= static_cast<size_t>(processors))
        return 1;
    const int shared = std::max(1, processors / static_cast<int>(std::max<size_t>(filesLeft, 1)));
    return configured > 0 ? std::min(configured, shared) : shared;
}
