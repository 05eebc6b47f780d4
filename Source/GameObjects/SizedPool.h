#pragma once

#include "Core/Memory.h"

#include <boost/pool/singleton_pool.hpp>

#include <cstddef>

namespace Quarn
{

// Names the engine's sized pools: the pool of a block size is one and the same for every type.
struct SizedPoolTag
{
};

// Fixed-size blocks for game objects and components: one pool per block size, shared by every type of
// that size, each with its own lock. A pool grows by chunks (32 blocks first, doubling) and is never
// shrunk, so creating and destroying objects every frame does not reach the general allocator.
template <std::size_t Size> class SizedPool
{
public:
    static void* Allocate()
    {
        void* block = Pool::malloc();
        if (!block)
            throw std::bad_alloc();
        return block;
    }

    static void Free(void* block) noexcept
    {
        if (block)
            Pool::free(block);
    }

private:
    // Blocks are a multiple of 16 bytes inside chunks from the aligned routine, so every block is
    // 16-byte aligned like the math types it holds.
    static constexpr std::size_t kBlockSize = (Size + 15) / 16 * 16;

    struct ChunkAllocator
    {
        using size_type = std::size_t;
        using difference_type = std::ptrdiff_t;
        static char* malloc(size_type bytes) { return static_cast<char*>(AlignedNew(bytes)); }
        static void free(char* block) { AlignedDelete(block); }
    };

    using Pool = boost::singleton_pool<SizedPoolTag, kBlockSize, ChunkAllocator,
                                       boost::details::pool::default_mutex, 32>;
};

} // namespace Quarn
