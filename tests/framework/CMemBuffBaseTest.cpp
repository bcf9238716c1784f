#include "framework/CMemBuffBase.h"
#include <gtest/gtest.h>
#include <windows.h>

TEST(CMemBuffBase, StartsEmptyOrWithTheRequestedCount) {
    CMemBuffBase<unsigned char> empty;
    EXPECT_EQ(nullptr, empty.data);
    EXPECT_EQ(0, empty.GetCount());

    CMemBuffBase<short> sized(10);
    ASSERT_NE(nullptr, sized.data);
    EXPECT_EQ(10, sized.GetCount());
    EXPECT_EQ(20, sized.GetByteSize());

    CMemBuffBase<int> nothing(-3);
    EXPECT_EQ(nullptr, nothing.data);
    EXPECT_EQ(0, nothing.GetCount());
}

TEST(CMemBuffBase, ByteSizeFollowsTheElementSize) {
    CMemBuffBase<wchar_t> text(10);
    CMemBuffBase<RGBQUAD> palette(10);
    EXPECT_EQ(20, text.GetByteSize());
    EXPECT_EQ(40, palette.GetByteSize());
}

TEST(CMemBuffBase, ResizeKeepsContentsUpToTheSmallerSize) {
    CMemBuffBase<int> buffer;
    ASSERT_NE(nullptr, buffer.Resize(4));
    for (int i = 0; i < 4; ++i)
        buffer.data[i] = i * 11;
    ASSERT_NE(nullptr, buffer.Resize(100000));
    EXPECT_EQ(100000, buffer.GetCount());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(i * 11, buffer.data[i]);
    buffer.Resize(2);
    EXPECT_EQ(2, buffer.GetCount());
    EXPECT_EQ(11, buffer.data[1]);
}

TEST(CMemBuffBase, ResizeToTheSameCountDoesNotReallocate) {
    CMemBuffBase<unsigned char> buffer(64);
    unsigned char* before = buffer.data;
    EXPECT_EQ(before, buffer.Resize(64));
    EXPECT_EQ(64, buffer.GetCount());
}

TEST(CMemBuffBase, ResizeToZeroKeepsTheMemoryButReportsNoElements) {
    CMemBuffBase<unsigned char> buffer(16);
    unsigned char* before = buffer.data;
    EXPECT_EQ(before, buffer.Resize(0));
    EXPECT_EQ(0, buffer.GetCount());
    EXPECT_EQ(0, buffer.GetByteSize());
    // The kept memory is reused when the buffer grows again.
    ASSERT_NE(nullptr, buffer.Resize(8));
    EXPECT_EQ(8, buffer.GetCount());
}

TEST(CMemBuffBase, NegativeSizesCountAsZero) {
    CMemBuffBase<unsigned char> held(16);
    held.Resize(-5);
    EXPECT_EQ(0, held.GetCount());
    EXPECT_EQ(0, held.Fill(0, -5));

    CMemBuffBase<unsigned char> empty;
    EXPECT_EQ(nullptr, empty.Resize(-1));
    EXPECT_EQ(0, empty.GetCount());
}

TEST(CMemBuffBase, ReserveOnlyGrows) {
    CMemBuffBase<unsigned char> buffer(32);
    unsigned char* before = buffer.data;
    EXPECT_EQ(before, buffer.Reserve(32));
    EXPECT_EQ(before, buffer.Reserve(10));
    EXPECT_EQ(32, buffer.GetCount());
    ASSERT_NE(nullptr, buffer.Reserve(33));
    EXPECT_EQ(33, buffer.GetCount());
}

TEST(CMemBuffBase, FillWritesBytesOnlyWithinTheCount) {
    CMemBuffBase<unsigned short> buffer(4);
    EXPECT_EQ(1, buffer.FillAll(0xAB));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(0xABAB, buffer.data[i]);
    EXPECT_EQ(1, buffer.Fill(0, 2));
    EXPECT_EQ(0, buffer.data[1]);
    EXPECT_EQ(0xABAB, buffer.data[2]);
    EXPECT_EQ(0, buffer.Fill(0, 5));
    EXPECT_EQ(0xABAB, buffer.data[3]);

    CMemBuffBase<unsigned char> empty;
    EXPECT_EQ(0, empty.FillAll(1));
}

TEST(CMemBuffBase, CopyFromNeverGrowsTheBuffer) {
    const char source[] = "abcdef";
    CMemBuffBase<char> buffer(4);
    EXPECT_EQ(1, buffer.CopyFrom(source, 3));
    EXPECT_EQ('c', buffer.data[2]);
    EXPECT_EQ(0, buffer.CopyFrom(source, 6));
    EXPECT_EQ(4, buffer.GetCount());

    CMemBuffBase<char> empty;
    EXPECT_EQ(0, empty.CopyFrom(source, 1));
    EXPECT_EQ(nullptr, empty.data);
}

TEST(CMemBuffBase, CopyFromAnotherBufferCopiesItsCount) {
    CMemBuffBase<int> source(3);
    source.data[0] = 7, source.data[1] = 8, source.data[2] = 9;
    CMemBuffBase<int> target;
    EXPECT_EQ(0, target.CopyFrom(source));
    target.Reserve(source.GetCount());
    EXPECT_EQ(1, target.CopyFrom(source));
    EXPECT_EQ(9, target.data[2]);
    EXPECT_EQ(1, target.CopyFrom(target));
    EXPECT_EQ(8, target.data[1]);
}

TEST(CMemBuffBase, FreeEmptiesTheBuffer) {
    CMemBuffBase<unsigned char> buffer(10);
    buffer.Free();
    EXPECT_EQ(nullptr, buffer.data);
    EXPECT_EQ(0, buffer.GetCount());
    buffer.Free();
    EXPECT_EQ(0, buffer.GetCount());
}
