#pragma once

#include "platform/io/FileReader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>

namespace Quarn::platform
{

// A regular file opened for reading, unbuffered (O_DIRECT) when its file system takes unbuffered
// reads at the caller's alignment, buffered otherwise. The real readers share it.
class ReadableFile
{
public:
    ReadableFile() = default;
    ~ReadableFile();
    ReadableFile(ReadableFile&& other) noexcept;
    ReadableFile& operator=(ReadableFile&& other) noexcept;
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;

    // Returns 0 or an errno value. Directories, pipes and devices are refused (EISDIR, EINVAL)
    // without blocking on them.
    int Open(const std::string& path, std::uint32_t alignment);

    int Descriptor() const { return m_fd; }
    std::uint64_t Size() const { return m_size; }
    bool Direct() const { return m_direct; }

    // Turns unbuffered reading off, for a file system that refuses it only when reading; false when
    // the file was not unbuffered or the switch failed.
    bool DropDirect();

    // Reads up to length bytes from offset 0, blocking; stops early at the end of the file or at the
    // size it had when opened.
    // Returns 0 or an errno value.
    int ReadAll(void* buffer, std::size_t length, std::size_t& bytes);

private:
    void Close();

    int m_fd = -1;
    std::uint64_t m_size = 0;
    bool m_direct = false;
};

// Opens path and keeps it in files under the next id, in a record that starts with the open file.
template <class Entry>
OpenedFile OpenInto(std::unordered_map<OpenedFile::Id, Entry>& files, OpenedFile::Id& nextId,
                    const std::string& path, std::uint32_t alignment)
{
    ReadableFile file;
    if (const int error = file.Open(path, alignment))
        return {0, 0, error};
    const OpenedFile opened{nextId++, file.Size(), 0};
    files.emplace(opened.id, Entry{std::move(file)});
    return opened;
}

} // namespace Quarn::platform
