#pragma once

#include "platform/io/FileReader.h"

#include <array>
#include <cstddef>
#include <memory>
#include <queue>
#include <string>
#include <unordered_map>
#include <vector>

namespace Quarn
{

class PreloadBufferPool;

// Reads whole files into memory ahead of need, unbuffered and in the background, so that a later
// load finds their bytes ready. Requests are served by priority, at most three at a time; the
// frame loop collects finished reads once per frame with Update. Nothing runs on another thread.
class PreloadManager
{
public:
    static constexpr std::size_t kSlotCount = 3;

    // Reads through the platform's reader (io_uring, or plain reads where the kernel refuses it).
    PreloadManager();
    explicit PreloadManager(std::unique_ptr<platform::FileReader> reader);
    ~PreloadManager();
    PreloadManager(const PreloadManager&) = delete;
    PreloadManager& operator=(const PreloadManager&) = delete;

    // Queues a read of the file at path; the greatest priority is read first.
    void AddRequest(const std::string& path, float priority);

    // Collects finished reads and starts queued ones in the free slots.
    void Update();

    // The bytes of the file at path and their count: a finished preload, the running read of it
    // (waited for), or else a blocking read made now. Bytes are handed out once: the next call for
    // the same path reads the file again. The bytes are followed by a zero byte. Null with size 0
    // when the file cannot be read (reported).
    std::shared_ptr<const char> GetData(const std::string& path, std::size_t& size);

    // Frees the pooled buffer whose data pointer is data; reported when no buffer has it.
    void Release(const void* data);

    // True while a request waits or a read runs.
    bool HasPendingReads() const;

    std::uint32_t SectorSize() const { return m_sectorSize; }

private:
    struct Request
    {
        float priority;
        std::string path;
    };

    // Greatest priority on top; a NaN priority sorts below every number.
    struct LowerPriority
    {
        bool operator()(const Request& a, const Request& b) const;
    };

    struct Slot
    {
        bool busy = false;
        platform::OpenedFile::Id file = 0;
        std::string path;
        std::shared_ptr<char> data;
        std::size_t fileSize = 0;
    };

    struct Preloaded
    {
        std::shared_ptr<char> data;
        std::size_t size = 0;
    };

    void StartRead(Slot& slot);
    void Collect(Slot& slot, std::size_t bytesRead);
    // Closes the slot's file (stopping its read) before its buffer goes back to the pool.
    void FreeSlot(Slot& slot);
    std::shared_ptr<const char> ReadBlocking(const std::string& path, std::size_t& size);
    std::size_t ReadLength(std::size_t fileSize) const;

    std::unique_ptr<platform::FileReader> m_reader;
    std::uint32_t m_sectorSize = 512;
    std::shared_ptr<PreloadBufferPool> m_pool;
    std::priority_queue<Request, std::vector<Request>, LowerPriority> m_requests;
    std::array<Slot, kSlotCount> m_slots;
    std::unordered_map<std::string, Preloaded> m_preloaded;
};

} // namespace Quarn
