#pragma once

#include "platform/io/FileReader.h"
#include "platform/io/ReadableFile.h"

#include <cerrno>
#include <unordered_map>

namespace Quarn::platform
{

// The reader for kernels that refuse io_uring: a started read is done at once with plain reads and
// its outcome is what polling returns.
class PlainFileReader final : public FileReader
{
public:
    const char* Name() const override { return "plain"; }
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
        ReadStatus status{ReadStatus::State::Failed, 0, EINVAL};
    };

    std::unordered_map<OpenedFile::Id, Entry> m_files;
    OpenedFile::Id m_nextId = 1;
};

} // namespace Quarn::platform
