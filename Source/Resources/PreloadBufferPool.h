#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace Quarn
{

// The preload manager's read buffers: heap blocks whose data pointer sits on a sector boundary,
// kept in order of capacity and reused once free. A buffer is handed out as a shared pointer whose
// last holder frees it again; those holders keep the pool alive, so bytes outliving the manager
// stay valid.
class PreloadBufferPool : public std::enable_shared_from_this<PreloadBufferPool>
{
public:
    // Buffers are at least this large, so most files fit a reused buffer without allocating.
    static constexpr std::size_t kMinCapacity = 6291456;

    explicit PreloadBufferPool(std::uint32_t sectorSize);
    PreloadBufferPool(const PreloadBufferPool&) = delete;
    PreloadBufferPool& operator=(const PreloadBufferPool&) = delete;

    // The first free buffer, in capacity order, holding at least needed bytes; a new one of
    // max(needed, kMinCapacity) bytes when none is free. It stays in use until the returned
    // pointer's last copy goes.
    std::shared_ptr<char> Acquire(std::size_t needed);

    // Frees the buffer whose data pointer is data; false when no buffer has it.
    bool Release(const void* data);

private:
    struct Buffer
    {
        std::unique_ptr<char[]> block;
        char* data = nullptr;
        std::size_t capacity = 0;
        bool inUse = false;
    };

    Buffer& Make(std::size_t capacity);

    std::uint32_t m_sectorSize;
    std::vector<std::unique_ptr<Buffer>> m_buffers;
};

} // namespace Quarn
