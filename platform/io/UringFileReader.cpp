#include "platform/io/UringFileReader.h"

#include <algorithm>
#include <cerrno>
#include <liburing.h>

namespace Quarn::platform
{

namespace
{
constexpr unsigned kRingEntries = 16;
// Cancellations and neutralised submissions carry this tag; their completions are dropped.
constexpr std::uint64_t kIgnoredTag = 0;
// One submission reads at most this much (the length field is 32 bits); a whole file takes several.
constexpr std::size_t kMaxChunk = std::size_t{1} << 30;
// Interrupted or would-block completions are submitted again, but not forever.
constexpr unsigned kMaxRetries = 16;

io_uring_sqe* GetSubmission(io_uring* ring)
{
    io_uring_sqe* sqe = io_uring_get_sqe(ring);
    if (!sqe)
    {
        io_uring_submit(ring);
        sqe = io_uring_get_sqe(ring);
    }
    return sqe;
}

int SubmitAll(io_uring* ring)
{
    int submitted;
    do
        submitted = io_uring_submit(ring);
    while (submitted == -EINTR);
    return submitted < 0 ? -submitted : 0;
}
} // namespace

std::unique_ptr<UringFileReader> UringFileReader::Create(int& error)
{
    auto ring = std::make_unique<io_uring>();
    const int result = io_uring_queue_init(kRingEntries, ring.get(), 0);
    if (result < 0)
    {
        error = -result;
        return nullptr;
    }
    error = 0;
    return std::unique_ptr<UringFileReader>(new UringFileReader(std::move(ring)));
}

UringFileReader::UringFileReader(std::unique_ptr<io_uring> ring) : m_ring(std::move(ring)) {}

UringFileReader::~UringFileReader()
{
    while (!m_files.empty())
        Close(m_files.begin()->first);
    io_uring_queue_exit(m_ring.get());
}

OpenedFile UringFileReader::Open(const std::string& path, std::uint32_t alignment)
{
    return OpenInto(m_files, m_nextId, path, alignment);
}

int UringFileReader::StartRead(OpenedFile::Id file, void* buffer, std::size_t length)
{
    const auto found = m_files.find(file);
    if (found == m_files.end())
        return EBADF;
    Entry& entry = found->second;
    if (entry.inFlight)
        return EBUSY;
    entry.buffer = static_cast<char*>(buffer);
    entry.length = length;
    entry.done = 0;
    entry.retries = 0;
    entry.status = {};
    if (length == 0)
    {
        entry.status.state = ReadStatus::State::Finished;
        return 0;
    }
    if (const int error = Submit(file, entry))
    {
        entry.status = {ReadStatus::State::Failed, 0, error};
        return error;
    }
    return 0;
}

int UringFileReader::Submit(OpenedFile::Id id, Entry& entry)
{
    io_uring_sqe* sqe = GetSubmission(m_ring.get());
    if (!sqe)
        return EBUSY;
    const std::size_t chunk = std::min(entry.length - entry.done, kMaxChunk);
    io_uring_prep_read(sqe, entry.file.Descriptor(), entry.buffer + entry.done, static_cast<unsigned>(chunk),
                       entry.done);
    io_uring_sqe_set_data64(sqe, id);
    if (const int error = SubmitAll(m_ring.get()))
    {
        // The kernel has not taken the entry; make sure it never reads into the buffer later.
        io_uring_prep_nop(sqe);
        io_uring_sqe_set_data64(sqe, kIgnoredTag);
        return error;
    }
    entry.inFlight = true;
    return 0;
}

void UringFileReader::Complete(OpenedFile::Id id, int result)
{
    const auto found = m_files.find(id);
    if (id == kIgnoredTag || found == m_files.end())
        return;
    Entry& entry = found->second;
    entry.inFlight = false;
    if (entry.closing)
        return;

    bool again = false;
    if (result > 0)
    {
        entry.done += static_cast<std::size_t>(result);
        entry.retries = 0;
        // A short read normally means the end of the file; only a read cut short before it goes on.
        again = entry.done < entry.length && entry.done < entry.file.Size();
    }
    else if (result < 0)
    {
        const int error = -result;
        if ((error == EINTR || error == EAGAIN) && ++entry.retries <= kMaxRetries)
            again = true;
        else if (error == EINVAL && entry.file.DropDirect())
            again = true;
        else
        {
            entry.status = {ReadStatus::State::Failed, 0, error};
            return;
        }
    }
    if (again)
    {
        if (const int error = Submit(id, entry))
            entry.status = {ReadStatus::State::Failed, 0, error};
        return;
    }
    entry.status = {ReadStatus::State::Finished, entry.done, 0};
}

io_uring_cqe* UringFileReader::NextCompletion(bool wait)
{
    io_uring_cqe* cqe = nullptr;
    int result;
    if (!wait)
        return io_uring_peek_cqe(m_ring.get(), &cqe) == 0 ? cqe : nullptr;
    do
        result = io_uring_wait_cqe(m_ring.get(), &cqe);
    while (result == -EINTR);
    return result == 0 ? cqe : nullptr;
}

void UringFileReader::Take(io_uring_cqe* cqe)
{
    const std::uint64_t id = io_uring_cqe_get_data64(cqe);
    const int result = cqe->res;
    io_uring_cqe_seen(m_ring.get(), cqe);
    Complete(id, result);
}

void UringFileReader::Reap()
{
    while (io_uring_cqe* cqe = NextCompletion(false))
        Take(cqe);
}

bool UringFileReader::WaitOne()
{
    io_uring_cqe* cqe = NextCompletion(true);
    if (!cqe)
        return false;
    Take(cqe);
    return true;
}

ReadStatus UringFileReader::Poll(OpenedFile::Id file)
{
    Reap();
    const auto found = m_files.find(file);
    return found == m_files.end() ? kUnknownFileStatus : found->second.status;
}

ReadStatus UringFileReader::Wait(OpenedFile::Id file)
{
    Reap();
    const auto found = m_files.find(file);
    if (found == m_files.end())
        return kUnknownFileStatus;
    Entry& entry = found->second;
    while (entry.inFlight)
    {
        if (!WaitOne())
            return {ReadStatus::State::Failed, 0, EIO};
    }
    return entry.status;
}

int UringFileReader::Read(OpenedFile::Id file, void* buffer, std::size_t length, std::size_t& bytes)
{
    bytes = 0;
    const auto found = m_files.find(file);
    if (found == m_files.end())
        return EBADF;
    if (found->second.inFlight)
        return EBUSY;
    return found->second.file.ReadAll(buffer, length, bytes);
}

void UringFileReader::Close(OpenedFile::Id file)
{
    const auto found = m_files.find(file);
    if (found == m_files.end())
        return;
    Entry& entry = found->second;
    if (entry.inFlight)
    {
        entry.closing = true;
        if (io_uring_sqe* sqe = GetSubmission(m_ring.get()))
        {
            io_uring_prep_cancel64(sqe, file, 0);
            io_uring_sqe_set_data64(sqe, kIgnoredTag);
            SubmitAll(m_ring.get());
        }
        while (entry.inFlight && WaitOne())
        {
        }
    }
    m_files.erase(found);
}

} // namespace Quarn::platform
