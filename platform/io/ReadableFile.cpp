#include "platform/io/ReadableFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace Quarn::platform
{

namespace
{
enum class DirectSupport
{
    Yes,
    No,
    Unknown
};

// Kernels that report the unbuffered alignment of a file say so; for the others, trying is the test.
DirectSupport DirectSupportFor(const std::string& path, std::uint32_t alignment)
{
    struct statx info;
    if (statx(AT_FDCWD, path.c_str(), 0, STATX_DIOALIGN, &info) != 0 || !(info.stx_mask & STATX_DIOALIGN))
        return DirectSupport::Unknown;
    if (info.stx_dio_offset_align == 0 || info.stx_dio_mem_align == 0)
        return DirectSupport::No;
    const bool fits = alignment % info.stx_dio_offset_align == 0 && alignment % info.stx_dio_mem_align == 0;
    return fits ? DirectSupport::Yes : DirectSupport::No;
}

int OpenDescriptor(const std::string& path, bool direct)
{
    // O_NONBLOCK keeps a FIFO from blocking the open; regular files ignore it.
    int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    if (direct)
        flags |= O_DIRECT;
    int fd;
    do
        fd = open(path.c_str(), flags);
    while (fd < 0 && errno == EINTR);
    return fd;
}
} // namespace

ReadableFile::~ReadableFile()
{
    Close();
}

ReadableFile::ReadableFile(ReadableFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_size(other.m_size), m_direct(other.m_direct)
{
}

ReadableFile& ReadableFile::operator=(ReadableFile&& other) noexcept
{
    if (this != &other)
    {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
        m_size = other.m_size;
        m_direct = other.m_direct;
    }
    return *this;
}

void ReadableFile::Close()
{
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
}

int ReadableFile::Open(const std::string& path, std::uint32_t alignment)
{
    Close();
    const DirectSupport support = alignment ? DirectSupportFor(path, alignment) : DirectSupport::No;
    m_direct = support != DirectSupport::No;
    m_fd = OpenDescriptor(path, m_direct);
    if (m_fd < 0 && m_direct && errno == EINVAL)
    {
        m_direct = false;
        m_fd = OpenDescriptor(path, false);
    }
    if (m_fd < 0)
        return errno;

    struct stat info;
    if (fstat(m_fd, &info) != 0)
    {
        const int error = errno;
        Close();
        return error;
    }
    if (!S_ISREG(info.st_mode))
    {
        Close();
        return S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    }
    // Reads block (or run in the background under io_uring) as for any regular file.
    const int flags = fcntl(m_fd, F_GETFL);
    if (flags < 0 || fcntl(m_fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
    {
        const int error = errno;
        Close();
        return error;
    }
    m_size = static_cast<std::uint64_t>(info.st_size);
    return 0;
}

bool ReadableFile::DropDirect()
{
    if (!m_direct)
        return false;
    const int flags = fcntl(m_fd, F_GETFL);
    if (flags < 0 || fcntl(m_fd, F_SETFL, flags & ~O_DIRECT) != 0)
        return false;
    m_direct = false;
    return true;
}

int ReadableFile::ReadAll(void* buffer, std::size_t length, std::size_t& bytes)
{
    bytes = 0;
    auto* out = static_cast<char*>(buffer);
    // Stopping at the known size spares an unaligned read past the end, which unbuffered files refuse.
    while (bytes < length && bytes < m_size)
    {
        const ssize_t got = pread(m_fd, out + bytes, length - bytes, static_cast<off_t>(bytes));
        if (got > 0)
        {
            bytes += static_cast<std::size_t>(got);
            continue;
        }
        if (got == 0)
            break;
        if (errno == EINTR)
            continue;
        if (errno == EINVAL && DropDirect())
            continue;
        return errno;
    }
    return 0;
}

} // namespace Quarn::platform
