#include "Core/Random.h"

#include <gtest/gtest.h>

#include <vector>

namespace Quarn
{
namespace
{

TEST(RandomTest, SeedingRepeatsTheSequenceWhichStaysInRange)
{
    auto draw = [](unsigned seed)
    {
        SeedEngineRand(seed);
        std::vector<int> values;
        for (int i = 0; i < 1000; ++i)
            values.push_back(EngineRand());
        return values;
    };
    const std::vector<int> first = draw(42);
    EXPECT_EQ(draw(42), first);
    EXPECT_NE(draw(43), first);
    for (int value : first)
    {
        EXPECT_GE(value, 0);
        EXPECT_LE(value, EngineRandMax);
    }
}

} // namespace
} // namespace Quarn
