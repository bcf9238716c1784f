#include "BatchJobs.h"
#include "engine/COutputFormat.h"
#include <windows.h>

int BatchJobs(int type, int asked) {
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    const int jobs = asked > 0 ? asked : static_cast<int>(system.dwNumberOfProcessors);
    const COutputFormat* format = OutputFormatOf(type);
    return jobs > 1 && format && format->OneAtATime() ? 1 : jobs;
}
