#include "framework/CMemBuffClassBaseConst.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<int>& DeletedIds() {
    static std::vector<int> ids;
    return ids;
}

class Tracked {
  public:
    explicit Tracked(int id = 0) : id(id) {}
    virtual ~Tracked() { DeletedIds().push_back(id); }
    int id;
};

class DerivedTracked : public Tracked {
  public:
    explicit DerivedTracked(bool* destroyed) : Tracked(99), destroyed(destroyed) {}
    ~DerivedTracked() override { *destroyed = true; }
    bool* destroyed;
};

class HolderTest : public ::testing::Test {
  protected:
    void SetUp() override { DeletedIds().clear(); }
};

} // namespace

TEST_F(HolderTest, APlainHolderIsEmptyUntilAttach) {
    CMemBuffClassBase<Tracked> holder;
    EXPECT_EQ(nullptr, holder.object);
    holder.Release();
    EXPECT_TRUE(DeletedIds().empty());
}

TEST_F(HolderTest, AttachDeletesTheHeldObjectFirst) {
    CMemBuffClassBase<Tracked> holder;
    holder.Attach(new Tracked(1));
    holder.Attach(new Tracked(2));
    EXPECT_EQ(std::vector<int>{1}, DeletedIds());
    EXPECT_EQ(2, holder.object->id);
    holder.Attach(nullptr);
    EXPECT_EQ((std::vector<int>{1, 2}), DeletedIds());
    EXPECT_EQ(nullptr, holder.object);
}

TEST_F(HolderTest, AttachingTheHeldObjectAgainKeepsIt) {
    CMemBuffClassBase<Tracked> holder;
    auto* object = new Tracked(5);
    holder.Attach(object);
    holder.Attach(object);
    EXPECT_TRUE(DeletedIds().empty());
    EXPECT_EQ(object, holder.object);
}

TEST_F(HolderTest, DestructionDeletesThroughTheVirtualDestructor) {
    bool destroyed = false;
    {
        CMemBuffClassBase<Tracked> holder;
        holder.Attach(new DerivedTracked(&destroyed));
    }
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(std::vector<int>{99}, DeletedIds());
}

TEST_F(HolderTest, ReleaseEmptiesTheHolder) {
    CMemBuffClassBase<Tracked> holder;
    holder.Attach(new Tracked(3));
    holder.Release();
    EXPECT_EQ(nullptr, holder.object);
    EXPECT_EQ(std::vector<int>{3}, DeletedIds());
    holder.Release();
    EXPECT_EQ(1u, DeletedIds().size());
}

TEST_F(HolderTest, AConstHolderHoldsAnObjectFromConstruction) {
    {
        CMemBuffClassBaseConst<Tracked> holder;
        ASSERT_NE(nullptr, holder.object);
        EXPECT_EQ(0, holder.object->id);
    }
    EXPECT_EQ(std::vector<int>{0}, DeletedIds());
}
