#pragma once

namespace Quarn
{

// The engine's one random generator: the classic linear congruential sequence with values 0 to
// EngineRandMax inclusive. It starts from seed 1 and is reseeded only by tests.
constexpr int EngineRandMax = 32767;

int EngineRand();
void SeedEngineRand(unsigned seed);

} // namespace Quarn
