#include "CTagStep.h"
#include "framework/PathSplit.h"
#include "tags/FolderCover.h"
#include "tags/TagReader.h"

int CTagStep::Begin(const std::wstring& input, const WAVEFORMATEX&) {
    record = options.copy ? ReadTags(input) : CTagRecord();
    // An album's cover often lies beside its tracks instead of in them.
    if (options.copy && record.frontCover.data.empty())
        record.frontCover = FolderCover(PathFolder(input));
    for (const auto& value : options.values)
        record.Set(value.first, value.second);
    written = encoder.TakeTags(record);
    return 0;
}

int CTagStep::Finish(const std::wstring& path) {
    coverLeftOut = written && encoder.CoverLeftOut();
    return written || !format.writeTags ? 0 : format.writeTags(path, record, &coverLeftOut);
}
