#include "platform/io/PlainFileReader.h"

#include <cerrno>

namespace Quarn::platform
{

OpenedFile PlainFileReader::Open(const std::string& path, std::uint32_t alignment)
{
    return OpenInto(m_files, m_nextId, path, alignment);
}

int PlainFileReader::StartRead(OpenedFile::Id file, void* buffer, std::size_t length)
{
    const auto entry = m_files.find(file);
    if (entry == m_files.end())
        return EBADF;
    ReadStatus& status = entry->second.status;
    status = {};
    if (const int error = entry->second.file.ReadAll(buffer, length, status.bytes))
        status = {ReadStatus::State::Failed, 0, error};
    else
        status.state = ReadStatus::State::Finished;
    return 0;
}

ReadStatus PlainFileReader::Poll(OpenedFile::Id file)
{
    const auto entry = m_files.find(file);
    return entry == m_files.end() ? kUnknownFileStatus : entry->second.status;
}

ReadStatus PlainFileReader::Wait(OpenedFile::Id file)
{
    return Poll(file);
}

int PlainFileReader::Read(OpenedFile::Id file, void* buffer, std::size_t length, std::size_t& bytes)
{
    bytes = 0;
    const auto entry = m_files.find(file);
    return entry == m_files.end() ? EBADF : entry->second.file.ReadAll(buffer, length, bytes);
}

void PlainFileReader::Close(OpenedFile::Id file)
{
    m_files.erase(file);
}

} // namespace Quarn::platform
