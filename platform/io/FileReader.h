#pragma once

#include "platform/io/Drive.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace Quarn::platform
{

// How a started read stands when it is polled.
struct ReadStatus
{
    enum class State
    {
        Running,
        Finished,
        Failed
    };

    State state = State::Running;
    std::size_t bytes = 0; // Finished: bytes read (fewer than asked at the end of the file)
    int error = 0;         // Failed: an errno value
};

// What polling or waiting on a file that is not open gives.
inline constexpr ReadStatus kUnknownFileStatus{ReadStatus::State::Failed, 0, EBADF};

// What opening a file to read it whole gives.
struct OpenedFile
{
    using Id = std::uint64_t;

    Id id = 0; // 0 when the open failed
    std::uint64_t size = 0;
    int error = 0; // an errno value when the open failed
};

// Reads whole files from their start, unbuffered where the file system allows it. A read runs in
// the background and is collected by polling on the calling thread: a reader creates no threads.
// Buffers and read lengths handed in are multiples of the alignment the file was opened with, and
// a buffer stays untouched by the reader once its read has finished or its file was closed.
class FileReader
{
public:
    virtual ~FileReader() = default;

    // Which back end this is, for logs and measurements.
    virtual const char* Name() const = 0;

    // The drive holding directory; real back ends ask the file system, the fake answers its own.
    virtual DriveInfo QueryDrive(const std::string& directory);

    // Opens an existing regular file; alignment is the sector size buffers and lengths follow.
    virtual OpenedFile Open(const std::string& path, std::uint32_t alignment) = 0;

    // Starts reading length bytes from the file's start into buffer; returns 0 or an errno value.
    // A file holds at most one read at a time.
    virtual int StartRead(OpenedFile::Id file, void* buffer, std::size_t length) = 0;

    // The started read's state, without waiting; Failed with EINVAL when no read was started and
    // EBADF for a file that is not open.
    virtual ReadStatus Poll(OpenedFile::Id file) = 0;

    // Blocks until the started read has finished or failed.
    virtual ReadStatus Wait(OpenedFile::Id file) = 0;

    // Reads length bytes from the file's start into buffer, blocking; returns 0 or an errno value.
    virtual int Read(OpenedFile::Id file, void* buffer, std::size_t length, std::size_t& bytes) = 0;

    // Closes the file. A read still running is cancelled and waited for first, so its buffer is free
    // again when this returns.
    virtual void Close(OpenedFile::Id file) = 0;
};

// The io_uring reader, or the plain-read one where the kernel refuses io_uring.
std::unique_ptr<FileReader> MakeFileReader();

} // namespace Quarn::platform
