#pragma once

#include "Core/Memory.h"

#include <boost/pool/singleton_pool.hpp>
#include <sanitizer/asan_interface.h>

#include <atomic>
#include <cstddef>
#include <new>

namespace Quarn
{

namespace detail
{
// Chunks of the sized pools come from the engine allocator, so pooled blocks keep its 16-byte
// alignment. Boost expects a null result, not an exception, when memory runs out.
struct SizedPoolAllocator
{
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;

    static char* malloc(size_type bytes) noexcept
    {
        try
        {
            return static_cast<char*>(AlignedNew(bytes));
        }
        catch (const std::bad_alloc&)
        {
            return nullptr;
        }
    }
    static void free(char* block) noexcept { AlignedDelete(block); }
};

struct SizedPoolTag
{
};
} // namespace detail

// Fixed-size blocks for small objects that come and go often (game objects, components, script
// vectors). One pool per block size, shared by every type of that size, guarded by its own lock;
// chunks start at 32 blocks and double as the pool grows, and the pool never shrinks while the
// program runs. Under AddressSanitizer a released block is poisoned, all but the free-list link the
// pool keeps in its first bytes, so a use after release fails at once.
template <std::size_t Size> class SizedPool
{
    // Blocks are a multiple of 16 bytes, so every block keeps the engine's 16-byte alignment.
    static constexpr std::size_t kBlockSize = (Size + 15) / 16 * 16;
    using Pool = boost::singleton_pool<detail::SizedPoolTag, kBlockSize, detail::SizedPoolAllocator,
                                       boost::details::pool::default_mutex, 32>;

public:
    // Null when the pool cannot grow.
    static void* Allocate()
    {
        void* block = Pool::malloc();
        if (!block)
            return nullptr;
        ASAN_UNPOISON_MEMORY_REGION(block, kBlockSize);
        ++s_inUse;
        return block;
    }

    // For operator new: throws std::bad_alloc when the pool cannot grow.
    static void* AllocateOrThrow()
    {
        if (void* block = Allocate())
            return block;
        throw std::bad_alloc();
    }

    static void Release(void* block) noexcept
    {
        if (!block)
            return;
        Pool::free(block);
        ASAN_POISON_MEMORY_REGION(static_cast<char*>(block) + sizeof(void*), kBlockSize - sizeof(void*));
        --s_inUse;
    }

    // Blocks handed out and not yet given back (diagnostics and tests).
    static std::size_t InUse() { return s_inUse; }

private:
    static inline std::atomic<std::size_t> s_inUse{0};
};

} // namespace Quarn
