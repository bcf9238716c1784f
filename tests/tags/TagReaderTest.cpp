#include "tags/TagReader.h"
#include "TagTestSupport.h"
#include "TestMedia.h"
#include <cstdlib>
#include <gtest/gtest.h>
#include <windows.h>

namespace {

// What tests/media/make-tag-media.py puts in every fully tagged input.
CTagRecord FullRecord() {
    const std::pair<const wchar_t*, const wchar_t*> fields[] = {
        {L"TITLE", L"\u591c\u660e\u3051 Dawn"},
        {L"ARTIST", L"\u30a2\u30fc\u30c6\u30a3\u30b9\u30c8 Artist"},
        {L"ALBUM", L"\u30a2\u30eb\u30d0\u30e0 Album"},
        {L"ALBUMARTIST", L"\u69d8\u3005 Various"},
        {L"COMPOSER", L"\u4f5c\u66f2\u8005 Composer"},
        {L"GENRE", L"J-Pop"},
        {L"DATE", L"2023-05-01"},
        {L"COMMENT", L"\u30b3\u30e1\u30f3\u30c8 Comment"},
        {L"TRACK", L"3/12"},
        {L"DISC", L"1/2"},
        {L"MOOD", L"\u9759\u304b"}};
    CTagRecord record;
    for (const auto& field : fields)
        record.Set(field.first, field.second);
    record.frontCover = {"image/png", L"\u8868\u7d19", FileBytes(MediaPath("cover.png"))};
    return record;
}

// The fields LIST/INFO holds.
CTagRecord InfoRecord() {
    CTagRecord record = FullRecord();
    record.albumArtist.clear(), record.composer.clear(), record.others.clear();
    record.trackCount = record.disc = record.discCount = 0;
    record.frontCover = {};
    return record;
}

} // namespace

TEST(TagReader, EveryInputKindGivesItsFieldsAndCover) {
    const std::pair<const char*, CTagRecord> inputs[] = {{"tagged.flac", FullRecord()},
                                                         {"tagged.ogg", FullRecord()},
                                                         {"tagged.mp3", FullRecord()},
                                                         {"id3.wav", FullRecord()},
                                                         {"info.wav", InfoRecord()}};
    for (const auto& input : inputs)
        EXPECT_EQ(Describe(input.second), Describe(ReadTags(MediaPath(input.first))))
            << input.first;
    EXPECT_EQ(FileBytes(MediaPath("cover-1mb.png")),
              ReadTags(MediaPath("cover-1mb.flac")).frontCover.data);
}

TEST(TagReader, LatinOneTextIsShiftJisOnlyOnAJapaneseSystemAndWhereItIsValid) {
    const char* language = std::getenv("ZEP_TEST_LANGUAGE");
    const bool japanese = language && std::string(language) == "ja";
    ASSERT_EQ(japanese, GetACP() == 932);
    const std::wstring expected =
        japanese ? L"title=\u65e5\u672c\u8a9e\u306e\u30bf\u30a4\u30c8\u30eb;artist=Beyonc\u00e9;"
                   L"album=\u30a2\u30eb\u30d0\u30e0;"
                 : L"title=\u0093\u00fa\u0096{\u008c\u00ea\u0082\u00cc\u0083^\u0083C\u0083g"
                   L"\u0083\u008b;artist=Beyonc\u00e9;album=\u0083A\u0083\u008b\u0083o\u0083"
                   L"\u0080;";
    EXPECT_EQ(expected + L"date=2001;track=7;", Describe(ReadTags(MediaPath("sjis.mp3"))));
}

TEST(TagReader, DamagedTagsGiveWhatParsedAndAPictureOver16MegabytesIsLeftOut) {
    const std::pair<const char*, const wchar_t*> inputs[] = {
        {"truncated.mp3", L"title=Title;artist=Artist;"},
        {"oversized.mp3", L"title=Title;artist=Artist;album=Album;"},
        {"big-picture.mp3", L"title=Big;"},
        {"tone.wav", L""},
        {"cover.png", L""},
        {"missing.mp3", L""}};
    for (const auto& input : inputs)
        EXPECT_EQ(input.second, Describe(ReadTags(MediaPath(input.first)))) << input.first;
}
