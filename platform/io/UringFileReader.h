#pragma once

#include "platform/io/FileReader.h"
#include "platform/io/ReadableFile.h"

#include <memory>
#include <unordered_map>

struct io_uring;
struct io_uring_cqe;

namespace Quarn::platform
{

// Reads through one io_uring ring: a started read is submitted at once and its completion is
// collected when the file is polled or waited for. No thread of ours runs; nothing is read by
// callbacks.
class UringFileReader final : public FileReader
{
public:
    // Null, with the errno value in error, when the kernel refuses to set up a ring.
    static std::unique_ptr<UringFileReader> Create(int& error);
    ~UringFileReader() override;
    UringFileReader(const UringFileReader&) = delete;
    UringFileReader& operator=(const UringFileReader&) = delete;

    const char* Name() const override { return "io_uring"; }
    OpenedFile Open(const std::string& path, std::uint32_t alignment) override;
    int StartRead(OpenedFile::Id file, void* buffer, std::size_t length) override;
    ReadStatus Poll(OpenedFile::Id file) override;
    ReadStatus Wait(OpenedFile::Id file) override;
    int Read(OpenedFile::Id file, void* buffer, std::size_t length, std::size_t& bytes) override;
    void Close(OpenedFile::Id file) override;

private:
    struct Entry
    {
        ReadableFile file;
        char* buffer = nullptr;
        std::size_t length = 0;
        std::size_t done = 0;
        unsigned retries = 0;
        ReadStatus status{ReadStatus::State::Failed, 0, EINVAL};
        bool inFlight = false;
        bool closing = false;
    };

    explicit UringFileReader(std::unique_ptr<io_uring> ring);
    io_uring_cqe* NextCompletion(bool wait);
    int Submit(OpenedFile::Id id, Entry& entry);
    void Complete(OpenedFile::Id id, int result);
    // Marks the completion seen, then hands its result to its file.
    void Take(io_uring_cqe* cqe);
    // Hands every completion that has arrived to its file.
    void Reap();
    // Blocks for one completion; false when the ring cannot be waited on.
    bool WaitOne();

    std::unique_ptr<io_uring> m_ring;
    std::unordered_map<OpenedFile::Id, Entry> m_files;
    OpenedFile::Id m_nextId = 1;
};

} // namespace Quarn::platform
