#include "tags/CTagRecord.h"
#include "TagTestSupport.h"
#include <gtest/gtest.h>

TEST(CTagRecord, SetTakesTheUserFacingNamesInAnyLetterCase) {
    struct {
        const wchar_t *name, *value, *described;
    } const cases[] = {
        {L"title", L"T", L"title=T;"},           {L"Artist", L"A", L"artist=A;"},
        {L"ALBUM", L"B", L"album=B;"},           {L"albumartist", L"V", L"albumArtist=V;"},
        {L"Composer", L"C", L"composer=C;"},     {L"GENRE", L"G", L"genre=G;"},
        {L"date", L"2001-02", L"date=2001-02;"}, {L"comment", L"\u30b3", L"comment=\u30b3;"},
        {L"track", L"3/12", L"track=3/12;"},     {L"TRACKNUMBER", L"7", L"track=7;"},
        {L"disc", L"1/2", L"disc=1/2;"},         {L"Disc", L"one", L""},
        {L"Mood", L"calm", L"Mood=calm;"}};
    for (const auto& c : cases) {
        CTagRecord record;
        record.Set(c.name, c.value);
        EXPECT_EQ(c.described, Describe(record)) << c.name;
    }
}

TEST(CTagRecord, SetReplacesAFieldAnEmptyValueRemovesItAndAddKeepsOthersApart) {
    CTagRecord record;
    record.Set(L"mood", L"a");
    record.Set(L"MOOD", L"b");
    record.Set(L"track", L"2/9");
    record.Set(L"track", L"4");
    EXPECT_EQ(L"track=4;MOOD=b;", Describe(record));
    record.Set(L"Mood", L"");
    record.Set(L"TRACK", L"");
    EXPECT_TRUE(record.Empty());
    record.Add(L"ARTIST", {L"A", L"B"});
    record.Add(L"LYRICIST", {L"x", L"y"});
    EXPECT_EQ(L"artist=A; B;LYRICIST=x;LYRICIST=y;", Describe(record));
}

TEST(CTagRecord, AnyFieldMakesItNonEmptyAndTheYearBeginsTheDate) {
    CTagRecord counted, pictured;
    counted.discCount = 2;
    pictured.frontCover.data = {1};
    EXPECT_TRUE(CTagRecord().Empty());
    EXPECT_FALSE(counted.Empty());
    EXPECT_FALSE(pictured.Empty());
    const std::pair<const wchar_t*, const wchar_t*> dates[] = {
        {L"2023-05-01", L"2023"}, {L"1999", L"1999"}, {L"99", L""}, {L"May 2001", L""}};
    for (const auto& date : dates) {
        counted.date = date.first;
        EXPECT_EQ(date.second, counted.Year()) << date.first;
    }
}
