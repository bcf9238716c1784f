#include "FolderConversion.h"
#include "cli/CConsoleConverter.h"
#include "cli/ConsoleText.h"
#include "encode/CGoGoStab.h"
#include "engine/FolderFiles.h"
#include "engine/OutputNaming.h"
#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

int ConvertFolder(const CCommandLine& line, const CAudioInfo& settings, int jobs) {
    const std::vector<std::wstring> inputs = FolderFiles(line.input);
    const std::vector<std::wstring> outputs = BatchOutputPaths(line.type, inputs);
    std::vector<int> results(inputs.size(), 0);
    std::atomic<size_t> next{0};
    // One file's progress line only when files go one at a time.
    const bool progress = jobs <= 1 && line.ShowsProgress();
    // The converters are made here, one after another: their writers load
    // libraries, which under Wine may deadlock against a conversion starting
    // on another thread.
    const size_t count = std::min<size_t>(static_cast<size_t>(std::max(jobs, 1)), inputs.size());
    std::vector<std::unique_ptr<CConsoleConverter>> converters;
    for (size_t n = 0; n < count; ++n)
        converters.push_back(std::make_unique<CConsoleConverter>(line, settings, true, progress));
    auto work = [&](CConsoleConverter& converter) {
        for (size_t at; !StopRequested() && (at = next++) < inputs.size();)
            results[at] = converter.Convert(inputs[at], outputs[at]);
    };
    std::vector<std::thread> helpers;
    try {
        for (size_t n = 1; n < count; ++n)
            helpers.emplace_back(work, std::ref(*converters[n]));
    } catch (const std::system_error&) {
        // Fewer threads than asked: the ones there share the files.
    }
    if (!converters.empty())
        work(*converters[0]);
    for (std::thread& helper : helpers)
        helper.join();
    for (int result : results)
        if (result != 0)
            return result;
    return 0;
}

int FolderJobs(const CCommandLine& line) {
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    int jobs = line.jobs.value_or(static_cast<int>(system.dwNumberOfProcessors));
    if (jobs > 1 && (line.type == OutputMp3 || line.type == OutputLayer3Wav)) {
        CGoGoStab library;
        if (library.Load() != 0 || !library.HasThreadEncoders())
            jobs = 1;
    }
    return jobs;
}
