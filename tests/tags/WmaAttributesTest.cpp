#include "tags/WmaAttributes.h"
#include <gtest/gtest.h>

namespace {

// "name=text", "name=#number" or "name=N bytes"; a string without its
// ending zero shows as "(unended)".
std::wstring Describe(const CWmaAttribute& attribute) {
    const std::vector<unsigned char>& v = attribute.value;
    std::wstring text = attribute.name + L"=";
    switch (attribute.type) {
    case CWmaAttribute::Type::String:
        for (size_t i = 0; i + 3 < v.size(); i += 2)
            text += static_cast<wchar_t>(v[i] | v[i + 1] << 8);
        return v.size() >= 2 && !v[v.size() - 1] && !v[v.size() - 2] ? text : L"(unended)";
    case CWmaAttribute::Type::DWord:
        return v.size() == 4 ? text + L"#" + std::to_wstring(v[0] | v[1] << 8 | v[2] << 16) : L"?";
    default:
        return text + std::to_wstring(v.size()) + L" bytes";
    }
}

} // namespace

TEST(WmaAttributes, EveryFieldHasItsWindowsMediaName) {
    CTagRecord record;
    record.title = L"\u591c", record.artist = L"A", record.album = L"B", record.albumArtist = L"V";
    record.composer = L"C", record.genre = L"G", record.date = L"2023-05-01";
    record.comment = L"M", record.track = 3, record.trackCount = 12, record.disc = 1;
    record.discCount = 2;
    record.others = {{L"lyricist", {L"W1", L"W2"}}, {L"Custom", {L"X"}}};
    record.frontCover = {"image/png", L"", {1, 2, 3}};
    std::vector<std::wstring> got;
    for (const CWmaAttribute& attribute : WmaAttributes(record))
        got.push_back(Describe(attribute));
    const std::vector<std::wstring> expected = {
        L"Title=\u591c",    L"Author=A",         L"WM/AlbumTitle=B",    L"WM/AlbumArtist=V",
        L"WM/Composer=C",   L"WM/Genre=G",       L"WM/Year=2023",       L"WM/TrackNumber=#3",
        L"TOTALTRACKS=#12", L"WM/PartOfSet=1/2", L"Description=M",      L"WM/Writer=W1",
        L"WM/Writer=W2",    L"Custom=X",         L"WM/Picture=30 bytes"};
    EXPECT_EQ(expected, got);
    EXPECT_TRUE(WmaAttributes(CTagRecord()).empty());
}

TEST(WmaAttributes, ThePictureHasTheFieldsOfWmPictureInFileOrder) {
    CTagRecord record;
    record.frontCover = {"a/b", L"\u8868", {7, 8, 9}};
    const std::vector<unsigned char> expected = {
        3,    3,    0,   0, 0,            // front cover, 3 bytes of data
        'a',  0,    '/', 0, 'b', 0, 0, 0, // MIME type
        0x68, 0x88, 0,   0,               // description
        7,    8,    9};
    ASSERT_EQ(1u, WmaAttributes(record).size());
    EXPECT_EQ(CWmaAttribute::Type::Binary, WmaAttributes(record)[0].type);
    EXPECT_EQ(expected, WmaAttributes(record)[0].value);
}
