#include "TestRegistryBranch.h"
#include "settings/CAudioInfo.h"
#include "settings/Profile.h"
#include <gtest/gtest.h>

namespace {

const wchar_t* const kIntKeys[] = {L"EncType", L"cbr_bps", L"vbr",      L"Qual",      L"vbr_bps",
                                   L"wma7",    L"wma4",    L"wma2Pass", L"wmaSelect", L"VOL"};

void ExpectDefaults(const CAudioInfo& info) {
    EXPECT_EQ(1, info.EncType);
    EXPECT_EQ(160, info.cbr_bps);
    EXPECT_EQ(0, info.vbr);
    EXPECT_EQ(0, info.Qual);
    EXPECT_EQ(160, info.vbr_bps);
    EXPECT_EQ(24, info.wma7);
    EXPECT_EQ(11, info.wma4);
    EXPECT_EQ(L"", info.wmaPRX);
    EXPECT_EQ(0, info.wma2Pass);
    EXPECT_EQ(1, info.wmaSelect);
    EXPECT_EQ(100, info.VOL);
}

// Every field different from its default and from the other fields.
void SetDistinct(CAudioInfo& info) {
    info.EncType = 3, info.cbr_bps = 320, info.vbr = 1, info.Qual = 7, info.vbr_bps = 96;
    info.wma7 = 20, info.wma4 = 5, info.wmaPRX = L"D:\\x.prx", info.wma2Pass = 1;
    info.wmaSelect = 2, info.VOL = 250;
}

void ExpectDistinct(const CAudioInfo& info) {
    EXPECT_EQ(3, info.EncType);
    EXPECT_EQ(320, info.cbr_bps);
    EXPECT_EQ(1, info.vbr);
    EXPECT_EQ(7, info.Qual);
    EXPECT_EQ(96, info.vbr_bps);
    EXPECT_EQ(20, info.wma7);
    EXPECT_EQ(5, info.wma4);
    EXPECT_EQ(L"D:\\x.prx", info.wmaPRX);
    EXPECT_EQ(1, info.wma2Pass);
    EXPECT_EQ(2, info.wmaSelect);
    EXPECT_EQ(250, info.VOL);
}

} // namespace

TEST(CAudioInfo, AFirstRunHasTheDefaults) {
    TestRegistryBranch branch;
    CAudioInfo info;
    ExpectDefaults(info);
}

TEST(CAudioInfo, DestructionSavesEveryKeyToDATA) {
    TestRegistryBranch branch;
    { CAudioInfo info; }
    for (const wchar_t* key : kIntKeys)
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), branch.ValueType(L"DATA", key)) << key;
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), branch.ValueType(L"DATA", L"wmaPRX"));
    EXPECT_EQ(100, ProfileGetInt(L"DATA", L"VOL", 0));
}

TEST(CAudioInfo, ANewRecordLoadsWhatTheLastOneSaved) {
    TestRegistryBranch branch;
    {
        CAudioInfo info;
        SetDistinct(info);
    }
    CAudioInfo reloaded;
    ExpectDistinct(reloaded);
}

TEST(CAudioInfo, CopyConstructionCopiesWithoutLoading) {
    TestRegistryBranch branch;
    CAudioInfo original;
    SetDistinct(original);
    ProfileWriteInt(L"DATA", L"VOL", 5);
    CAudioInfo copy(original);
    ExpectDistinct(copy);
}

TEST(CAudioInfo, CopyFromCopiesEveryField) {
    TestRegistryBranch branch;
    CAudioInfo source;
    SetDistinct(source);
    CAudioInfo target;
    target.CopyFrom(source);
    ExpectDistinct(target);
    source.wmaPRX = L"changed";
    EXPECT_EQ(L"D:\\x.prx", target.wmaPRX);
}

TEST(CAudioInfo, TheRecordDestroyedLastDecidesTheStore) {
    TestRegistryBranch branch;
    {
        CAudioInfo main;
        main.VOL = 80;
        {
            CAudioInfo dialogCopy(main);
            dialogCopy.VOL = 150;
        }
        EXPECT_EQ(150, ProfileGetInt(L"DATA", L"VOL", 0));
    }
    EXPECT_EQ(80, ProfileGetInt(L"DATA", L"VOL", 0));
}
