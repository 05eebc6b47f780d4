#include "Resources/PreloadBufferPool.h"

#include <algorithm>

namespace Quarn
{

PreloadBufferPool::PreloadBufferPool(std::uint32_t sectorSize) : m_sectorSize(sectorSize ? sectorSize : 512)
{
    Make(kMinCapacity);
}

PreloadBufferPool::Buffer& PreloadBufferPool::Make(std::size_t capacity)
{
    // One sector more than the rounded capacity leaves room to move the data pointer onto a sector
    // boundary and still hold every whole sector a read of capacity bytes touches.
    const std::size_t sector = m_sectorSize;
    const std::size_t blockSize = (capacity + sector - 1) / sector * sector + sector;
    auto buffer = std::make_unique<Buffer>();
    buffer->block = std::make_unique_for_overwrite<char[]>(blockSize);
    const auto address = reinterpret_cast<std::uintptr_t>(buffer->block.get());
    buffer->data = buffer->block.get() + (sector - address % sector) % sector;
    buffer->capacity = capacity;

    const auto place = std::upper_bound(m_buffers.begin(), m_buffers.end(), capacity,
                                        [](std::size_t wanted, const std::unique_ptr<Buffer>& existing)
                                        { return wanted < existing->capacity; });
    return **m_buffers.insert(place, std::move(buffer));
}

std::shared_ptr<char> PreloadBufferPool::Acquire(std::size_t needed)
{
    const auto fits = std::lower_bound(m_buffers.begin(), m_buffers.end(), needed,
                                       [](const std::unique_ptr<Buffer>& existing, std::size_t wanted)
                                       { return existing->capacity < wanted; });
    const auto free = std::find_if(fits, m_buffers.end(), [](const auto& buffer) { return !buffer->inUse; });
    Buffer& buffer = free != m_buffers.end() ? **free : Make(std::max(needed, kMinCapacity));
    buffer.inUse = true;
    return std::shared_ptr<char>(buffer.data,
                                 [pool = shared_from_this()](char* data) { pool->Release(data); });
}

bool PreloadBufferPool::Release(const void* data)
{
    const auto found = std::find_if(m_buffers.begin(), m_buffers.end(),
                                    [data](const auto& buffer) { return buffer->data == data; });
    if (found == m_buffers.end())
        return false;
    (*found)->inUse = false;
    return true;
}

} // namespace Quarn
