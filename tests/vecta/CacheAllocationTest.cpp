// The cache works in fixed memory: moving it and storing tiles allocate
// nothing beyond the closures handed in.

#include <gtest/gtest.h>

#include <memory>

#include "CacheTestSupport.hpp"
#include "support/AllocationCounter.hpp"

using namespace cachetest;

TEST(CacheAllocations, MovingTheCacheAllocatesNothing)
{
    auto cache = makeCache();
    loadAround(*cache, 10, 20, 14);
    EXPECT_EQ(allocationsOf([&] { cache->setOrigo(11, 20, 14); }), 0) << "one column";
    EXPECT_EQ(allocationsOf([&] { cache->setOrigo(11, 21, 14); }), 0) << "one row";
    EXPECT_EQ(allocationsOf([&] { cache->setOrigo(22, 42, 15); }), 0) << "zoom in";
    EXPECT_EQ(allocationsOf([&] { cache->setOrigo(5, 10, 13); }), 0) << "zoom out by two";
    EXPECT_EQ(allocationsOf([&] { cache->setOrigo(500, 100, 16); }), 0) << "jump";
}

TEST(CacheAllocations, StoringATileAllocatesNothingButItsFillClosure)
{
    auto cache = makeCache();
    cache->setOrigo(10, 20, 14);
    const vecta::TileFill fill = tagFill(Address{10, 20, 14});
    EXPECT_EQ(allocationsOf([&] { cache->storeTile(10, 20, 14, fill); }), 0);
    EXPECT_EQ(allocationsOf([&] { cache->storeTile(90, 20, 14, fill); }), 0);
}
