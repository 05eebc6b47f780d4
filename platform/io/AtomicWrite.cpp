#include "platform/io/AtomicWrite.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace Quarn::platform
{

namespace
{

std::string Describe(const char* step, int error)
{
    return std::string(step) + ": " + std::strerror(error);
}

// Opens a new file beside the target that no one else uses; the umask decides its permissions, as for
// any new file.
int CreateTemporary(const std::filesystem::path& path, std::filesystem::path& temporary)
{
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        // Appended piece by piece: GCC 12 at -O3 wrongly warns that "." + std::string overlaps.
        std::string suffix = ".";
        suffix += std::to_string(getpid());
        suffix += '.';
        suffix += std::to_string(++counter);
        suffix += ".tmp";
        temporary = path;
        temporary += suffix;
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty())
    {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string& error)
{
    std::filesystem::path temporary;
    const int fd = CreateTemporary(path, temporary);
    if (fd < 0)
    {
        error = Describe("cannot create a temporary file", errno);
        return false;
    }
    const auto fail = [&](const char* step)
    {
        error = Describe(step, errno);
        unlink(temporary.c_str());
        return false;
    };
    if (!WriteAll(fd, bytes))
    {
        const int writeError = errno;
        close(fd);
        errno = writeError;
        return fail("cannot write");
    }
    if (fsync(fd) != 0)
    {
        const int syncError = errno;
        close(fd);
        errno = syncError;
        return fail("cannot flush to disk");
    }
    if (close(fd) != 0)
        return fail("cannot close");
    if (rename(temporary.c_str(), path.c_str()) != 0)
        return fail("cannot replace the file");
    return true;
}

} // namespace Quarn::platform
