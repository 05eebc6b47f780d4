#include "Resources/PreloadManager.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Resources/PreloadBufferPool.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace Quarn
{

namespace
{
using platform::ReadStatus;

// Closes a file on every way out of a read that has not handed it to a slot yet.
class FileGuard
{
public:
    FileGuard(platform::FileReader& reader, platform::OpenedFile::Id file) : m_reader(reader), m_file(file) {}
    ~FileGuard()
    {
        if (m_file)
            m_reader.Close(m_file);
    }
    FileGuard(const FileGuard&) = delete;
    FileGuard& operator=(const FileGuard&) = delete;

    platform::OpenedFile::Id Keep() { return std::exchange(m_file, 0); }

private:
    platform::FileReader& m_reader;
    platform::OpenedFile::Id m_file;
};

// The count handed out: what was read, never more than the file held when it was opened; the zero
// after it lies inside the buffer, which holds at least one byte more than the file.
std::size_t Terminate(char* data, std::size_t bytesRead, std::size_t fileSize)
{
    const std::size_t size = std::min(bytesRead, fileSize);
    data[size] = 0;
    return size;
}

void ReportOpenFailure(const std::string& path, int error)
{
    QUARN_ASSERT_FAILED_AS("file==INVALID_HANDLE_VALUE", "Failed to open file '%s'!\nGetLastError = %u\n\n",
                           path.c_str(), static_cast<unsigned>(error));
}
} // namespace

bool PreloadManager::LowerPriority::operator()(const Request& a, const Request& b) const
{
    if (std::isnan(a.priority))
        return !std::isnan(b.priority);
    return !std::isnan(b.priority) && a.priority < b.priority;
}

PreloadManager::PreloadManager() : PreloadManager(platform::MakeFileReader()) {}

PreloadManager::PreloadManager(std::unique_ptr<platform::FileReader> reader) : m_reader(std::move(reader))
{
    const platform::DriveInfo drive = m_reader->QueryDrive("./");
    OutputHandler& output = OutputHandler::Get();
    output.Log("\n------------------------------");
    output.Log("Info for drive '%s':", drive.name.c_str());
    output.Log("Sectors Per Cluster: %u", drive.sectorsPerCluster);
    output.Log("Bytes Per Sector:    %u", drive.bytesPerSector);
    output.Log("Number Of Clusters:  %llu", static_cast<unsigned long long>(drive.clusters));
    output.Log("Free Space(GB):      %g", static_cast<double>(drive.freeBytes) / 1073741824.0);
    output.Log("------------------------------\n");
    if (drive.bytesPerSector)
        m_sectorSize = drive.bytesPerSector;
    m_pool = std::make_shared<PreloadBufferPool>(m_sectorSize);
}

PreloadManager::~PreloadManager()
{
    // Running reads stop before their buffers return, and every table lets go of its buffers
    // before the pool goes.
    for (Slot& slot : m_slots)
        FreeSlot(slot);
    m_preloaded.clear();
    m_pool.reset();
}

void PreloadManager::AddRequest(const std::string& path, float priority)
{
    m_requests.push({priority, path});
}

bool PreloadManager::HasPendingReads() const
{
    return !m_requests.empty() ||
           std::any_of(m_slots.begin(), m_slots.end(), [](const Slot& slot) { return slot.busy; });
}

std::size_t PreloadManager::ReadLength(std::size_t fileSize) const
{
    return (fileSize + m_sectorSize - 1) / m_sectorSize * m_sectorSize;
}

void PreloadManager::FreeSlot(Slot& slot)
{
    if (slot.busy)
        m_reader->Close(slot.file);
    slot = Slot{};
}

void PreloadManager::Update()
{
    for (Slot& slot : m_slots)
    {
        if (slot.busy)
        {
            const ReadStatus status = m_reader->Poll(slot.file);
            if (status.state == ReadStatus::State::Running)
                continue;
            if (status.state == ReadStatus::State::Failed)
            {
                // The slot is free again before the report, which restarts the game inside Lua.
                FreeSlot(slot);
                QUARN_ASSERT_FAILED_AS("GetLastError()!=ERROR_IO_INCOMPLETE",
                                       "Failed to get status of ASync load!\nError code (%u)\n",
                                       static_cast<unsigned>(status.error));
                continue;
            }
            Collect(slot, status.bytes);
        }
        StartRead(slot);
    }
}

void PreloadManager::Collect(Slot& slot, std::size_t bytesRead)
{
    Preloaded finished{std::move(slot.data), 0};
    const std::string path = std::move(slot.path);
    finished.size = Terminate(finished.data.get(), bytesRead, slot.fileSize);
    FreeSlot(slot);
    OutputHandler::Get().Log("Finished file read of %u bytes", static_cast<unsigned>(finished.size));
    m_preloaded[path] = std::move(finished);
}

void PreloadManager::StartRead(Slot& slot)
{
    if (m_requests.empty())
        return;
    // A request is dropped once tried, whether or not its read starts.
    const std::string path = m_requests.top().path;
    m_requests.pop();

    const platform::OpenedFile opened = m_reader->Open(path, m_sectorSize);
    if (!opened.id)
    {
        ReportOpenFailure(path, opened.error);
        return;
    }
    FileGuard file(*m_reader, opened.id);
    std::shared_ptr<char> data = m_pool->Acquire(opened.size + 1);
    const int error = m_reader->StartRead(opened.id, data.get(), ReadLength(opened.size));
    if (error)
    {
        // Close the file and give the buffer back before reporting.
        m_reader->Close(file.Keep());
        data.reset();
        QUARN_ASSERT_FAILED_AS("ReadFileEx(file,buffer->m_buffer,readableSize,outInfo.m_overlapped.get(), "
                               "EmptyCompletionRoutine)==0",
                               "Failed to read file!\nGetLastError = %u\n\n", static_cast<unsigned>(error));
        return;
    }
    slot.busy = true;
    slot.file = file.Keep();
    slot.path = path;
    slot.data = std::move(data);
    slot.fileSize = opened.size;
}

std::shared_ptr<const char> PreloadManager::GetData(const std::string& path, std::size_t& size)
{
    size = 0;
    OutputHandler& output = OutputHandler::Get();
    if (const auto found = m_preloaded.find(path); found != m_preloaded.end())
    {
        output.Log("Preloaded data requested! Path:");
        output.Log("%s\n", path.c_str());
        Preloaded taken = std::move(found->second);
        m_preloaded.erase(found);
        size = taken.size;
        return taken.data;
    }

    for (Slot& slot : m_slots)
    {
        if (!slot.busy || slot.path != path)
            continue;
        output.Log("Requested data currently preloading, wait to finish. Path:");
        output.Log("%s\n", path.c_str());
        const ReadStatus status = m_reader->Wait(slot.file);
        // The buffer leaves the slot before the slot can take the next request.
        std::shared_ptr<char> data = std::move(slot.data);
        const std::size_t fileSize = slot.fileSize;
        FreeSlot(slot);
        if (status.state != ReadStatus::State::Finished)
        {
            data.reset();
            QUARN_ASSERT_FAILED_AS(
                "GetOverlappedResult( info.m_file, info.m_overlapped.get(), &bytes, 0xFFFFFFFF )==0",
                "Failed to wait on preloading file!\nGetLastError = %u\n\n",
                static_cast<unsigned>(status.error));
            Update();
            return nullptr;
        }
        const std::size_t bytes = Terminate(data.get(), status.bytes, fileSize);
        Update();
        size = bytes;
        return data;
    }

    return ReadBlocking(path, size);
}

std::shared_ptr<const char> PreloadManager::ReadBlocking(const std::string& path, std::size_t& size)
{
    const platform::OpenedFile opened = m_reader->Open(path, m_sectorSize);
    if (!opened.id)
    {
        ReportOpenFailure(path, opened.error);
        return nullptr;
    }
    FileGuard file(*m_reader, opened.id);
    std::shared_ptr<char> data = m_pool->Acquire(opened.size + 1);
    std::size_t bytes = 0;
    const int error = m_reader->Read(opened.id, data.get(), ReadLength(opened.size), bytes);
    m_reader->Close(file.Keep());
    if (error)
    {
        data.reset();
        QUARN_ASSERT(error == 0, "Failed to read file blocking!\nGetLastError = %u\n\n",
                     static_cast<unsigned>(error));
        return nullptr;
    }
    size = Terminate(data.get(), bytes, opened.size);
    return data;
}

void PreloadManager::Release(const void* data)
{
    const bool released = m_pool->Release(data);
    QUARN_ASSERT(released, "Could not find buffer associated with given data ptr!");
}

} // namespace Quarn
