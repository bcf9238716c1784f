#include "settings/CAudioInfo.h"
#include "TestRegistryBranch.h"
#include "settings/Profile.h"
#include <gtest/gtest.h>

namespace {

const wchar_t* const kIntKeys[] = {L"EncType", L"cbr_bps", L"vbr",      L"Qual",      L"vbr_bps",
                                   L"wma7",    L"wma4",    L"wma2Pass", L"wmaSelect", L"VOL"};

struct Fields {
    int EncType, cbr_bps, vbr, Qual, vbr_bps, wma7, wma4;
    std::wstring wmaPRX;
    int wma2Pass, wmaSelect, VOL;
};

const Fields kDefaults = {1, 160, 0, 0, 160, 24, 11, L"", 0, 1, 100};
// Every field different from its default.
const Fields kDistinct = {3, 320, 1, 7, 96, 20, 5, L"D:\\x.prx", 1, 2, 250};

void Assign(CAudioInfo& info, const Fields& f) {
    info.EncType = f.EncType, info.cbr_bps = f.cbr_bps, info.vbr = f.vbr, info.Qual = f.Qual;
    info.vbr_bps = f.vbr_bps, info.wma7 = f.wma7, info.wma4 = f.wma4, info.wmaPRX = f.wmaPRX;
    info.wma2Pass = f.wma2Pass, info.wmaSelect = f.wmaSelect, info.VOL = f.VOL;
}

void ExpectFields(const Fields& f, const CAudioInfo& info) {
    EXPECT_EQ(f.EncType, info.EncType);
    EXPECT_EQ(f.cbr_bps, info.cbr_bps);
    EXPECT_EQ(f.vbr, info.vbr);
    EXPECT_EQ(f.Qual, info.Qual);
    EXPECT_EQ(f.vbr_bps, info.vbr_bps);
    EXPECT_EQ(f.wma7, info.wma7);
    EXPECT_EQ(f.wma4, info.wma4);
    EXPECT_EQ(f.wmaPRX, info.wmaPRX);
    EXPECT_EQ(f.wma2Pass, info.wma2Pass);
    EXPECT_EQ(f.wmaSelect, info.wmaSelect);
    EXPECT_EQ(f.VOL, info.VOL);
}

} // namespace

TEST(CAudioInfo, AFirstRunHasTheDefaults) {
    TestRegistryBranch branch;
    CAudioInfo info;
    ExpectFields(kDefaults, info);
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
        Assign(info, kDistinct);
    }
    CAudioInfo reloaded;
    ExpectFields(kDistinct, reloaded);
}

TEST(CAudioInfo, CopyConstructionCopiesWithoutLoading) {
    TestRegistryBranch branch;
    CAudioInfo original;
    Assign(original, kDistinct);
    ProfileWriteInt(L"DATA", L"VOL", 5);
    CAudioInfo copy(original);
    ExpectFields(kDistinct, copy);
}

TEST(CAudioInfo, CopyFromCopiesEveryField) {
    TestRegistryBranch branch;
    CAudioInfo source;
    Assign(source, kDistinct);
    CAudioInfo target;
    target.CopyFrom(source);
    ExpectFields(kDistinct, target);
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
