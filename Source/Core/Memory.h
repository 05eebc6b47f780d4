#pragma once

#include <cstddef>

namespace Quarn
{

// The one allocation routine behind every heap allocation of the program: size bytes aligned to
// 16 bytes (the math types are moved with aligned SSE loads and stores). Throws std::bad_alloc.
void* AlignedNew(std::size_t size);
void AlignedDelete(void* block) noexcept;

// Number of blocks AlignedNew has handed out so far (diagnostics and tests).
std::size_t AlignedAllocationCount();

} // namespace Quarn
