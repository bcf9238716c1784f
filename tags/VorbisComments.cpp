#include "VorbisComments.h"
#include "TagText.h"
#include <algorithm>

namespace {

bool CarriesName(const std::wstring& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](wchar_t c) {
        return c >= 0x20 && c <= 0x7D && c != L'=';
    });
}

} // namespace

std::vector<std::pair<std::string, std::string>> VorbisComments(const CTagRecord& record) {
    const std::pair<const wchar_t*, std::wstring> named[] = {
        {L"TITLE", record.title},
        {L"ARTIST", record.artist},
        {L"ALBUM", record.album},
        {L"ALBUMARTIST", record.albumArtist},
        {L"COMPOSER", record.composer},
        {L"GENRE", record.genre},
        {L"DATE", record.date},
        {L"COMMENT", record.comment},
        {L"TRACKNUMBER", record.track ? std::to_wstring(record.track) : L""},
        {L"TRACKTOTAL", record.trackCount ? std::to_wstring(record.trackCount) : L""},
        {L"DISCNUMBER", record.disc ? std::to_wstring(record.disc) : L""},
        {L"DISCTOTAL", record.discCount ? std::to_wstring(record.discCount) : L""},
    };
    std::vector<std::pair<std::string, std::string>> comments;
    for (const auto& field : named)
        if (!field.second.empty())
            comments.emplace_back(Utf8Of(field.first), Utf8Of(field.second));
    for (const auto& other : record.others)
        if (CarriesName(other.first))
            for (const std::wstring& value : other.second)
                comments.emplace_back(Utf8Of(UpperCase(other.first)), Utf8Of(value));
    return comments;
}
