#include "CBatchPlan.h"
#include "engine/FolderFiles.h"
#include "engine/OutputNaming.h"
#include "framework/FileIdentity.h"
#include "framework/PathSplit.h"
#include "tags/TagReader.h"
#include <cwchar>
#include <set>
#include <windows.h>

namespace {

bool SameName(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool WrittenAt(const std::wstring& path, FILETIME& written) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(LongPathForm(path).c_str(), GetFileExInfoStandard, &data))
        return false;
    written = data.ftLastWriteTime;
    return true;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(LongPathForm(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The input's folder below the batch's folder, without a trailing backslash.
std::wstring RelativeFolder(const std::wstring& folder, const std::wstring& input) {
    const std::wstring own = PathFolder(input);
    if (own.size() <= folder.size() + 1)
        return std::wstring();
    return own.substr(folder.size() + 1, own.size() - folder.size() - 2);
}

} // namespace

CBatchPlan::CBatchPlan(int type, const std::wstring& folder, const std::vector<std::wstring>& files,
                       const CBatchChoices& choices, const CNamePattern::Unknown& unknown)
    : folder(WithoutTrailingBackslashes(folder)),
      outputFolder(WithoutTrailingBackslashes(choices.outputFolder)),
      plain(outputFolder.empty() && choices.namePattern.empty()) {
    const CNamePattern pattern(choices.namePattern, unknown);
    std::vector<char> audio;                    // whether each file may be audio
    std::set<std::wstring, NoCaseLess> sources; // the stems of those
    for (const std::wstring& file : files) {
        audio.push_back(!IsPlainlyNotAudio(file));
        if (audio.back())
            sources.insert(PathStem(file));
    }
    // Without an output folder, an earlier run's output lies beside its
    // source under the source's stem; skip and update pass it over.
    const std::wstring extension = OutputExtension(type);
    const bool findsEarlierOutputs =
        plain && choices.existing != ExistingOutputs::NextFreeName && !extension.empty();
    auto isEarlierOutput = [&](const std::wstring& file) {
        const std::wstring stem = PathStem(file);
        return SameName(file.substr(stem.size()), extension) && sources.count(stem) > 1;
    };
    for (size_t at = 0; at < files.size(); ++at) {
        Item item;
        item.input = files[at];
        if (!audio[at] || (findsEarlierOutputs && isEarlierOutput(item.input))) {
            item.action = Action::PassOver;
        } else {
            item.output = Decide(type, item.input, pattern);
            Settle(item, choices.existing);
        }
        items.push_back(item);
    }
}

std::wstring CBatchPlan::Decide(int type, const std::wstring& input,
                                const CNamePattern& pattern) const {
    if (plain)
        return DecideOutputPath(type, input, std::wstring());
    const std::wstring relative = RelativeFolder(folder, input);
    const std::wstring base = outputFolder.empty() ? PathFolder(input) : outputFolder + L"\\";
    std::wstring name;
    if (!pattern.Empty())
        name = pattern.Name(pattern.NeedsTags() ? ReadTags(input) : CTagRecord(), input, relative);
    else
        name = (relative.empty() ? std::wstring() : relative + L"\\") + SplitName(input);
    // The extension is added first, so that a dot in the name stays in it.
    return DecideOutputPath(type, input, base + name + OutputExtension(type));
}

// An output named before by another input is that input's: the first free
// name moves on, skip and update refuse it so that reruns stay the same.
void CBatchPlan::Settle(Item& item, ExistingOutputs existing) {
    const auto namer = namers.find(item.output);
    FILETIME outputWritten = {}, inputWritten = {};
    if (existing == ExistingOutputs::NextFreeName) {
        item.output = UnusedOutputPath(StemSource(item), item.output, planned);
    } else if (namer != namers.end()) {
        item.action = Action::Clash;
        item.clashesWith = namer->second;
        return;
    } else if (WrittenAt(item.output, outputWritten)) {
        const bool newer = existing == ExistingOutputs::Update &&
                           WrittenAt(item.input, inputWritten) &&
                           CompareFileTime(&inputWritten, &outputWritten) > 0;
        item.action = newer ? Action::Convert : Action::Skip;
        item.replaces = newer;
    }
    planned.push_back(item.output);
    namers.emplace(item.output, item.input);
}

// The next free names are "<stem>_conv<n>": of the input beside it, as the
// batch has always named them, else of the output's own name.
const std::wstring& CBatchPlan::StemSource(const Item& item) const {
    return plain ? item.input : item.output;
}

bool CBatchPlan::NoCaseLess::operator()(const std::wstring& a, const std::wstring& b) const {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
}

COutputTarget CBatchPlan::Target(size_t at) const {
    // Past MAX_PATH the system takes only the long-path form.
    const Item& item = items[at];
    if (item.replaces)
        return {LongPathForm(item.output), nullptr};
    return {LongPathForm(item.output), BatchNextFreeName(LongPathForm(StemSource(item)), planned)};
}

bool CBatchPlan::MakeFolders(size_t at) const {
    const std::wstring made = WithoutTrailingBackslashes(PathFolder(items[at].output));
    // From the top down, past what exists ("\\?\C:\" and a share's root
    // cannot be made and need not be).
    for (size_t split = made.find(L'\\'); split != std::wstring::npos;
         split = made.find(L'\\', split + 1)) {
        const std::wstring upper = made.substr(0, split);
        if (!upper.empty() && upper.back() != L':' && upper.back() != L'?' && !IsFolder(upper))
            CreateDirectoryW(LongPathForm(upper).c_str(), nullptr);
    }
    if (!IsFolder(made))
        CreateDirectoryW(LongPathForm(made).c_str(), nullptr);
    return made.empty() || IsFolder(made);
}

void CBatchCounts::Count(CBatchPlan::Action action, int result) {
    if (action == CBatchPlan::Action::PassOver)
        ++passedOver;
    else if (action == CBatchPlan::Action::Skip)
        ++skipped;
    else
        ++(result == 0 ? converted : failed);
}

std::wstring BatchCountsText(const CBatchCounts& counts, bool japanese) {
    wchar_t text[160];
    std::swprintf(text, 160,
                  japanese ? L"変換 %d、失敗 %d、対象外 %d、スキップ %d"
                           : L"%d converted, %d failed, %d passed over, %d skipped",
                  counts.converted, counts.failed, counts.passedOver, counts.skipped);
    return text;
}
