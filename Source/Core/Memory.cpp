#include "Core/Memory.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace Quarn
{

namespace
{
constexpr std::size_t kAlignment = 16;
std::atomic<std::size_t> g_allocations{0};
} // namespace

void* AlignedNew(std::size_t size)
{
    void* block = nullptr;
    if (posix_memalign(&block, kAlignment, size == 0 ? 1 : size) != 0)
        throw std::bad_alloc();
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    return block;
}

void AlignedDelete(void* block) noexcept
{
    std::free(block);
}

std::size_t AlignedAllocationCount()
{
    return g_allocations.load(std::memory_order_relaxed);
}

} // namespace Quarn

// Every operator new and delete of the program goes through the routine above.
void* operator new(std::size_t size)
{
    return Quarn::AlignedNew(size);
}

void* operator new[](std::size_t size)
{
    return Quarn::AlignedNew(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try
    {
        return Quarn::AlignedNew(size);
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}

void operator delete(void* block) noexcept
{
    Quarn::AlignedDelete(block);
}

void operator delete[](void* block) noexcept
{
    Quarn::AlignedDelete(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    Quarn::AlignedDelete(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    Quarn::AlignedDelete(block);
}
