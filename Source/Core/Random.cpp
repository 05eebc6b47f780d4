#include "Core/Random.h"

#include <cstdint>

namespace Quarn
{

namespace
{
std::uint32_t s_state = 1;
} // namespace

int EngineRand()
{
    s_state = s_state * 214013u + 2531011u;
    return static_cast<int>((s_state >> 16) & 0x7FFFu);
}

void SeedEngineRand(unsigned seed)
{
    s_state = seed;
}

} // namespace Quarn
