#include "FolderConversion.h"
#include "cli/CConsoleConverter.h"
#include "cli/ConsoleText.h"
#include "engine/BatchJobs.h"
#include "engine/CParallelFiles.h"
#include "engine/FolderFiles.h"
#include "resources/ErrorNumbers.h"
#include "ui/ErrorMessages.h"
#include "ui/Language.h"
#include <algorithm>
#include <memory>
#include <vector>

namespace {

using Action = CBatchPlan::Action;

// A failure of the plan's own, before any decoding: its two lines together.
int ReportPlanFailure(const std::wstring& input, int number, const std::wstring& detail = {}) {
    WriteError(input + L"\n" + ErrorLine(number) + (detail.empty() ? L"" : L" " + detail));
    return number;
}

CBatchCounts CountsOf(const CBatchPlan& plan, const std::vector<int>& results) {
    CBatchCounts counts;
    for (size_t at = 0; at < results.size(); ++at)
        counts.Count(plan.Items()[at].action, results[at]);
    return counts;
}

} // namespace

int ConvertFolder(const CCommandLine& line, const CEncoderOptions& options, DecoderChoice decoder,
                  int jobs) {
    const CBatchChoices choices = line.BatchChoices();
    const std::vector<std::wstring> files =
        choices.subfolders ? FolderTree(line.input, choices.outputFolder) : FolderFiles(line.input);
    if (files.empty()) {
        WriteError(PickLanguage(L"変換するファイルがありません: ", L"No file to convert in ") +
                   line.input);
        return 0;
    }
    const CBatchPlan plan(line.type, line.input, files, choices, UnknownNames());
    std::vector<int> results(files.size(), 0);
    std::vector<size_t> converted; // the items to convert, in the folder's order
    for (size_t at = 0; at < files.size(); ++at) {
        const CBatchPlan::Item& item = plan.Items()[at];
        if (item.action == Action::Clash)
            results[at] = ReportPlanFailure(item.input, kOutputNameClash, item.clashesWith);
        else if (item.action == Action::Convert)
            converted.push_back(at);
    }
    // One file's progress line only when files go one at a time.
    const bool progress = jobs <= 1 && line.ShowsProgress();
    // The converters are made here, one after another: their writers load
    // libraries, which under Wine may deadlock against a conversion starting
    // on another thread.
    const size_t count = std::min<size_t>(static_cast<size_t>(std::max(jobs, 1)), converted.size());
    std::vector<std::unique_ptr<CConsoleConverter>> converters;
    for (size_t n = 0; n < count; ++n)
        converters.push_back(
            std::make_unique<CConsoleConverter>(line, options, decoder, true, progress));
    CParallelFiles(converted.size(), count, [&](size_t worker, size_t n) {
        const size_t at = converted[n];
        const std::wstring& input = plan.Items()[at].input;
        if (StopRequested())
            results[at] = kInterrupted;
        else if (!plan.MakeFolders(at))
            results[at] = ReportPlanFailure(input, kOutputFolderFailed);
        else
            results[at] =
                converters[worker]->Convert(input, plan.Target(at), jobs, converted.size() - n);
        return results[at];
    }).Join();
    WriteOutput(BatchCountsText(CountsOf(plan, results), IsJapanese()));
    // An interrupted run is never taken for one that converted everything.
    if (std::count(results.begin(), results.end(), kInterrupted) > 0)
        return kInterrupted;
    for (int result : results)
        if (result != 0)
            return result;
    return 0;
}
