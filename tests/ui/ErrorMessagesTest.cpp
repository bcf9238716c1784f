#include "ui/ErrorMessages.h"
#include <gtest/gtest.h>
#include <set>

TEST(ErrorMessages, HeadingsHaveFourDigitsAndTheirSign) {
    EXPECT_EQ(L"Error No.0915", ErrorHeading(915));
    EXPECT_EQ(L"Error No.6001", ErrorHeading(6001));
    EXPECT_EQ(L"Error No.-041", ErrorHeading(-41));
    EXPECT_EQ(L"Error No.12345", ErrorHeading(12345));
}

TEST(ErrorMessages, NumbersMapToTheirJapaneseStringIds) {
    EXPECT_EQ(10269u, ErrorTextId(915));
    EXPECT_EQ(10207u, ErrorTextId(6001));
    EXPECT_EQ(10261u, ErrorTextId(-41));
    EXPECT_EQ(10129u, ErrorTextId(800));
    EXPECT_EQ(10219u, ErrorTextId(802));
    EXPECT_EQ(10213u, ErrorTextId(6004));
    EXPECT_EQ(10211u, ErrorTextId(6005));
    EXPECT_EQ(10205u, ErrorTextId(8001));
    EXPECT_EQ(10255u, ErrorTextId(8302));
    EXPECT_EQ(10275u, ErrorTextId(6201));
}

TEST(ErrorMessages, SuccessAndCancelHaveNoTextAndUnknownNumbersShareOne) {
    EXPECT_EQ(0u, ErrorTextId(0));
    EXPECT_EQ(0u, ErrorTextId(-2));
    EXPECT_EQ(L"", GetErrorText(0));
    EXPECT_EQ(L"", GetErrorText(-2));
    EXPECT_EQ(10271u, ErrorTextId(12345));
    EXPECT_EQ(10271u, ErrorTextId(5005));
    EXPECT_EQ(10271u, ErrorTextId(-7));
}

TEST(ErrorMessages, EveryTableEntryHasItsOwnOddId) {
    const int numbers[] = {
        -42,  -41,  -6,   -5,   -4,   -3,   -1,   103,  501,  502,  601,  602,  603,  701,  702,
        703,  800,  802,  803,  806,  807,  808,  809,  810,  811,  812,  813,  814,  815,  840,
        841,  901,  911,  915,  1002, 1003, 1004, 1005, 1006, 1007, 1009, 1107, 1201, 2001, 2002,
        2003, 2004, 2005, 2006, 2105, 2107, 2109, 2115, 2201, 2202, 3001, 3002, 3003, 3004, 3005,
        3007, 3008, 4001, 4002, 4003, 4004, 5003, 5004, 5006, 5007, 5008, 6001, 6002, 6004, 6005,
        6006, 6100, 8001, 8201, 8202, 8203, 8204, 8205, 8301, 8302};
    ASSERT_EQ(85u, sizeof(numbers) / sizeof(numbers[0]));
    std::set<unsigned> ids;
    for (int number : numbers) {
        unsigned id = ErrorTextId(number);
        EXPECT_EQ(1u, id % 2) << number;
        EXPECT_GE(id, 10101u) << number;
        EXPECT_LE(id, 10269u) << number;
        ids.insert(id);
    }
    EXPECT_EQ(85u, ids.size());
}
