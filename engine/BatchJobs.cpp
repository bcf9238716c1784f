#include "BatchJobs.h"
#include "encode/CGoGoStab.h"
#include "engine/OutputNaming.h"
#include <windows.h>

int BatchJobs(int type, int asked) {
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    int jobs = asked > 0 ? asked : static_cast<int>(system.dwNumberOfProcessors);
    if (jobs > 1 && (type == OutputMp3 || type == OutputLayer3Wav)) {
        // The conversion tells of a missing library; asking here must not tell twice.
        CGoGoStab library;
        if (library.Load(false) != 0 || !library.HasThreadEncoders())
            jobs = 1;
    }
    return jobs;
}
