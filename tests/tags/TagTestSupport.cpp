#include "TagTestSupport.h"
#include "support/TestFiles.h"

std::wstring Describe(const CTagRecord& record) {
    const std::pair<const wchar_t*, std::wstring> fields[] = {
        {L"title", record.title},       {L"artist", record.artist},
        {L"album", record.album},       {L"albumArtist", record.albumArtist},
        {L"composer", record.composer}, {L"genre", record.genre},
        {L"date", record.date},         {L"comment", record.comment},
        {L"track", record.Track()},     {L"disc", record.Disc()}};
    std::wstring text;
    for (const auto& field : fields)
        if (!field.second.empty())
            text += field.first + (L"=" + field.second) + L";";
    for (const auto& other : record.others)
        for (const std::wstring& value : other.second)
            text += other.first + L"=" + value + L";";
    const CTagPicture& cover = record.frontCover;
    if (!cover.data.empty()) {
        unsigned sum = 0;
        for (unsigned char byte : cover.data)
            sum = sum * 31 + byte;
        text += L"cover=" + std::wstring(cover.mimeType.begin(), cover.mimeType.end()) + L" " +
                cover.description + L" " + std::to_wstring(cover.data.size()) + L" bytes, sum " +
                std::to_wstring(sum) + L";";
    }
    return text;
}

std::vector<unsigned char> FileBytes(const std::wstring& path) {
    const std::string text = FileText(path);
    return std::vector<unsigned char>(text.begin(), text.end());
}
