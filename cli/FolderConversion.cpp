#include "FolderConversion.h"
#include "cli/CConsoleConverter.h"
#include "cli/ConsoleText.h"
#include "engine/BatchJobs.h"
#include "engine/CParallelFiles.h"
#include "engine/FolderFiles.h"
#include "engine/OutputNaming.h"
#include "resources/ErrorNumbers.h"
#include "ui/Language.h"
#include <algorithm>
#include <memory>
#include <vector>

int ConvertFolder(const CCommandLine& line, const CEncoderOptions& options, DecoderChoice decoder,
                  int jobs) {
    const std::vector<std::wstring> inputs = FolderFiles(line.input);
    if (inputs.empty()) {
        WriteError(PickLanguage(L"変換するファイルがありません: ", L"No file to convert in ") +
                   line.input);
        return 0;
    }
    const std::vector<std::wstring> outputs = BatchOutputPaths(line.type, inputs);
    // One file's progress line only when files go one at a time.
    const bool progress = jobs <= 1 && line.ShowsProgress();
    // The converters are made here, one after another: their writers load
    // libraries, which under Wine may deadlock against a conversion starting
    // on another thread.
    const size_t count = std::min<size_t>(static_cast<size_t>(std::max(jobs, 1)), inputs.size());
    std::vector<std::unique_ptr<CConsoleConverter>> converters;
    for (size_t n = 0; n < count; ++n)
        converters.push_back(std::make_unique<CConsoleConverter>(line, options, decoder, true, progress));
    std::vector<int> results(inputs.size(), 0);
    CParallelFiles(inputs.size(), count, [&](size_t worker, size_t at) {
        results[at] = StopRequested()
                          ? kInterrupted
                          : converters[worker]->Convert(
                                inputs[at], {outputs[at], BatchNextFreeName(inputs[at], outputs)},
                                jobs, inputs.size() - at);
        return results[at];
    }).Join();
    // An interrupted run is never taken for one that converted everything.
    if (std::count(results.begin(), results.end(), kInterrupted) > 0)
        return kInterrupted;
    for (int result : results)
        if (result != 0)
            return result;
    return 0;
}
