#include "WmaAttributes.h"
#include "TagText.h"
#include <cstdint>

namespace {

using CBytes = std::vector<unsigned char>;

template <class Text> void AppendUtf16(CBytes& bytes, const Text& text) {
    for (auto c : text) {
        const auto unit = static_cast<uint16_t>(c);
        bytes.push_back(static_cast<unsigned char>(unit));
        bytes.push_back(static_cast<unsigned char>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
}

void AppendU32(CBytes& bytes, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<unsigned char>(value >> shift));
}

// The names Windows Media gives to fields known by other names elsewhere.
std::wstring WindowsMediaName(const std::wstring& name) {
    static const std::pair<const wchar_t*, const wchar_t*> names[] = {
        {L"LYRICIST", L"WM/Writer"},     {L"CONDUCTOR", L"WM/Conductor"},
        {L"LYRICS", L"WM/Lyrics"},       {L"BPM", L"WM/BeatsPerMinute"},
        {L"ISRC", L"WM/ISRC"},           {L"LABEL", L"WM/Publisher"},
        {L"ENCODEDBY", L"WM/EncodedBy"}, {L"SUBTITLE", L"WM/SubTitle"},
        {L"MOOD", L"WM/Mood"},           {L"ORIGINALDATE", L"WM/OriginalReleaseYear"},
        {L"LANGUAGE", L"WM/Language"},   {L"COPYRIGHT", L"Copyright"}};
    const std::wstring upper = UpperCase(name);
    for (const auto& entry : names)
        if (upper == entry.first)
            return entry.second;
    return name;
}

class CAttributeList {
  public:
    void AddText(const std::wstring& name, const std::wstring& text) {
        if (text.empty())
            return;
        CBytes value;
        AppendUtf16(value, text);
        list.push_back({name, CWmaAttribute::Type::String, value});
    }
    void AddNumber(const std::wstring& name, unsigned number) {
        if (!number)
            return;
        CBytes value;
        AppendU32(value, number);
        list.push_back({name, CWmaAttribute::Type::DWord, value});
    }
    void AddPicture(const CTagPicture& picture) {
        if (picture.data.empty())
            return;
        CBytes value = {3};
        AppendU32(value, static_cast<uint32_t>(picture.data.size()));
        AppendUtf16(value, picture.mimeType);
        AppendUtf16(value, picture.description);
        value.insert(value.end(), picture.data.begin(), picture.data.end());
        list.push_back({L"WM/Picture", CWmaAttribute::Type::Binary, value});
    }
    std::vector<CWmaAttribute> list;
};

} // namespace

std::vector<CWmaAttribute> WmaAttributes(const CTagRecord& record) {
    CAttributeList attributes;
    attributes.AddText(L"Title", record.title);
    attributes.AddText(L"Author", record.artist);
    attributes.AddText(L"WM/AlbumTitle", record.album);
    attributes.AddText(L"WM/AlbumArtist", record.albumArtist);
    attributes.AddText(L"WM/Composer", record.composer);
    attributes.AddText(L"WM/Genre", record.genre);
    const std::wstring year = record.Year();
    attributes.AddText(L"WM/Year", year.empty() ? record.date : year);
    attributes.AddNumber(L"WM/TrackNumber", record.track);
    attributes.AddNumber(L"TOTALTRACKS", record.trackCount);
    attributes.AddText(L"WM/PartOfSet", record.Disc());
    attributes.AddText(L"Description", record.comment);
    for (const auto& other : record.others)
        for (const std::wstring& value : other.second)
            attributes.AddText(WindowsMediaName(other.first), value);
    attributes.AddPicture(record.frontCover);
    return attributes.list;
}
