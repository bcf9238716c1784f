#include "engine/CNamePattern.h"
#include <gtest/gtest.h>

namespace {

const CNamePattern::Unknown kUnknown{L"Unknown Artist", L"Unknown Album"};
const wchar_t kLibrary[] = L"<albumartist>\\<album>\\<track> - <title>";

CTagRecord Tags(const wchar_t* artist, const wchar_t* album, const wchar_t* title,
                unsigned track = 0) {
    CTagRecord tags;
    tags.artist = artist;
    tags.album = album;
    tags.title = title;
    tags.track = track;
    return tags;
}

} // namespace

TEST(CNamePattern, NamesFromTheTags) {
    CTagRecord various = Tags(L"Guest", L"Hits", L"Song", 7);
    various.albumArtist = L"Various";
    various.disc = 2;
    various.date = L"1999-05-01";
    const struct {
        const wchar_t* pattern;
        CTagRecord tags;
        const wchar_t* expected;
    } cases[] = {
        {kLibrary, Tags(L"A", L"B", L"T", 3), L"A\\B\\03 - T"},
        {kLibrary, various, L"Various\\Hits\\07 - Song"},
        // Missing fields: the unknown texts, the file name for the title.
        {kLibrary, CTagRecord(), L"Unknown Artist\\Unknown Album\\song"},
        // A field that gives nothing takes its separator along.
        {L"<disc>-<track> <title>", Tags(L"A", L"B", L"T", 3), L"03 T"},
        {L"<artist> - <title> - <year>", Tags(L"A", L"B", L"T"), L"A - T"},
        {L"<year>\\<disc>\\<title>", various, L"1999\\2\\Song"},
        {L"<genre>\\<title>", Tags(L"A", L"B", L"T"), L"T"},
        // Values never make folders or climb, and every name is legal.
        {kLibrary, Tags(L"..", L"..\\..\\Windows", L"a/b", 1), L"__\\.._.._Windows\\01 - a_b"},
        {kLibrary, Tags(L"C:\\x", L"Who?", L"End. ", 1), L"C__x\\Who_\\01 - End"},
        {L"<title>", Tags(L"A", L"B", L"CON"), L"CON_"},
        {L"<title>", Tags(L"A", L"B", L"com1.txt"), L"com1_.txt"},
        {L"<artist>\\<title>", Tags(L"\u65e5\u672c", L"", L"\u66f2"), L"\u65e5\u672c\\\u66f2"},
        {L"<folder>\\<filename>", Tags(L"A", L"B", L"T"), L"Rock\\Live\\song"},
    };
    for (const auto& c : cases) {
        const CNamePattern pattern(c.pattern, kUnknown);
        EXPECT_EQ(c.expected, pattern.Name(c.tags, L"C:\\m\\Rock\\Live\\song.flac", L"Rock\\Live"))
            << c.pattern;
    }
}

TEST(CNamePattern, ANameIsCutToWhatAFolderHolds) {
    const std::wstring name = CNamePattern(L"<title>", kUnknown)
                                  .Name(Tags(L"A", L"B", std::wstring(300, L'x').c_str()),
                                        L"C:\\a.flac", L"");
    EXPECT_EQ(200u, name.size());
    EXPECT_EQ(L"", LegalFileName(L" . "));
}

TEST(CNamePattern, PatternsThatCannotBeUsed) {
    using Mistake = CNamePattern::Mistake;
    const struct {
        const wchar_t* pattern;
        Mistake fault;
        bool needsTags;
    } cases[] = {
        {kLibrary, Mistake::None, true},
        {L"<folder>\\<filename>", Mistake::None, false},
        {L"a..b\\<title>", Mistake::None, true},
        {L"..\\<title>", Mistake::LeavesFolder, true},
        {L"x\\.\\<title>", Mistake::LeavesFolder, true},
        {L"C:\\<title>", Mistake::LeavesFolder, true},
        {L"\\<title>", Mistake::LeavesFolder, true},
        {L"<nothing>", Mistake::UnknownField, false},
        {L"<title", Mistake::UnknownField, false},
    };
    for (const auto& c : cases) {
        const CNamePattern pattern(c.pattern, kUnknown);
        EXPECT_EQ(c.fault, pattern.Fault()) << c.pattern;
        if (c.fault != Mistake::UnknownField) {
            EXPECT_EQ(c.needsTags, pattern.NeedsTags()) << c.pattern;
        }
    }
    EXPECT_TRUE(CNamePattern(L"", kUnknown).Empty());
}
