#include "CTagRecord.h"
#include "TagText.h"
#include <algorithm>

namespace {

bool Digits(std::wstring::const_iterator begin, std::wstring::const_iterator end) {
    return std::all_of(begin, end, [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

std::wstring NumberPair(unsigned number, unsigned count) {
    if (!number)
        return L"";
    return std::to_wstring(number) + (count ? L"/" + std::to_wstring(count) : L"");
}

// "n" or "n/N"; a part that is no number counts as none.
void SetNumberPair(const std::wstring& value, unsigned& number, unsigned& count) {
    const size_t slash = value.find(L'/');
    auto parse = [](const std::wstring& part) -> unsigned {
        if (part.empty() || part.size() > 9 || !Digits(part.begin(), part.end()))
            return 0;
        return static_cast<unsigned>(std::stoul(part));
    };
    number = parse(value.substr(0, slash));
    count = slash == std::wstring::npos ? 0 : parse(value.substr(slash + 1));
}

// A named field: set, and true; any other name: false.
bool SetNamed(CTagRecord& record, const std::wstring& key, const std::wstring& value) {
    const std::pair<const wchar_t*, std::wstring CTagRecord::*> texts[] = {
        {L"TITLE", &CTagRecord::title},       {L"ARTIST", &CTagRecord::artist},
        {L"ALBUM", &CTagRecord::album},       {L"ALBUMARTIST", &CTagRecord::albumArtist},
        {L"COMPOSER", &CTagRecord::composer}, {L"GENRE", &CTagRecord::genre},
        {L"DATE", &CTagRecord::date},         {L"COMMENT", &CTagRecord::comment}};
    for (const auto& text : texts) {
        if (key == text.first) {
            record.*text.second = value;
            return true;
        }
    }
    if (key == L"TRACK" || key == L"TRACKNUMBER")
        SetNumberPair(value, record.track, record.trackCount);
    else if (key == L"DISC" || key == L"DISCNUMBER")
        SetNumberPair(value, record.disc, record.discCount);
    else
        return false;
    return true;
}

} // namespace

bool CTagRecord::Empty() const {
    for (const std::wstring* text :
         {&title, &artist, &album, &albumArtist, &composer, &genre, &date, &comment})
        if (!text->empty())
            return false;
    return !track && !trackCount && !disc && !discCount && others.empty() &&
           frontCover.data.empty();
}

void CTagRecord::Set(const std::wstring& name, const std::wstring& value) {
    const std::wstring key = UpperCase(name);
    if (SetNamed(*this, key, value))
        return;
    auto same = [&](const auto& field) { return UpperCase(field.first) == key; };
    others.erase(std::remove_if(others.begin(), others.end(), same), others.end());
    if (!value.empty())
        others.push_back({name, {value}});
}

void CTagRecord::Add(const std::wstring& name, const std::vector<std::wstring>& values) {
    std::wstring joined;
    for (const std::wstring& value : values)
        joined += (joined.empty() ? L"" : L"; ") + value;
    if (!SetNamed(*this, UpperCase(name), joined))
        others.push_back({name, values});
}

std::wstring CTagRecord::Year() const {
    if (date.size() < 4 || !Digits(date.begin(), date.begin() + 4))
        return L"";
    return date.substr(0, 4);
}

std::wstring CTagRecord::Track() const { return NumberPair(track, trackCount); }
std::wstring CTagRecord::Disc() const { return NumberPair(disc, discCount); }
