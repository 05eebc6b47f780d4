#include "Core/SizedPool.h"

#include <gtest/gtest.h>
#include <sanitizer/asan_interface.h>

#include <cstdint>
#include <set>
#include <vector>

namespace Quarn
{
namespace
{

TEST(SizedPoolTest, BlocksAreAlignedDistinctAndReused)
{
    using Pool = SizedPool<48>;
    const std::size_t before = Pool::InUse();
    std::vector<void*> blocks;
    // Enough blocks to span several chunks.
    for (int i = 0; i < 1000; ++i)
    {
        void* block = Pool::Allocate();
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 16, 0u);
        blocks.push_back(block);
    }
    EXPECT_EQ(std::set<void*>(blocks.begin(), blocks.end()).size(), blocks.size());
    for (std::size_t i = 1; i < blocks.size(); ++i)
    {
        const auto a = reinterpret_cast<std::uintptr_t>(blocks[i - 1]);
        const auto b = reinterpret_cast<std::uintptr_t>(blocks[i]);
        EXPECT_GE(a > b ? a - b : b - a, 48u) << "blocks overlap";
    }
    EXPECT_EQ(Pool::InUse(), before + 1000);

    void* released = blocks.back();
    blocks.pop_back();
    Pool::Release(released);
    Pool::Release(nullptr);
    EXPECT_EQ(Pool::InUse(), before + 999);
    EXPECT_EQ(Pool::Allocate(), released);

    blocks.push_back(released);
    for (void* block : blocks)
        Pool::Release(block);
    EXPECT_EQ(Pool::InUse(), before);
}

#if defined(__SANITIZE_ADDRESS__)
#define QUARN_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUARN_TEST_ASAN 1
#endif
#endif

#if defined(QUARN_TEST_ASAN)
TEST(SizedPoolTest, AReleasedBlockIsPoisonedUntilHandedOutAgain)
{
    using Pool = SizedPool<sizeof(double) * 6>;
    auto* block = static_cast<char*>(Pool::Allocate());
    ASSERT_NE(block, nullptr);
    EXPECT_FALSE(__asan_address_is_poisoned(block + 40));
    Pool::Release(block);
    // The first bytes hold the pool's free-list link; everything after them is poisoned.
    EXPECT_TRUE(__asan_address_is_poisoned(block + sizeof(void*)));
    EXPECT_TRUE(__asan_address_is_poisoned(block + 47));
    EXPECT_EQ(Pool::Allocate(), block);
    EXPECT_FALSE(__asan_address_is_poisoned(block + 47));
    Pool::Release(block);
}
#endif

} // namespace
} // namespace Quarn
