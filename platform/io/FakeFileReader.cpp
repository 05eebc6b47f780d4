#include "platform/io/FakeFileReader.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace Quarn::platform
{

FakeFileReader::FakeFileReader(DriveInfo drive) : m_drive(std::move(drive)) {}

void FakeFileReader::SetFile(const std::string& path, std::string bytes)
{
    m_files[path] = std::move(bytes);
}

void FakeFileReader::RemoveFile(const std::string& path)
{
    m_files.erase(path);
}

bool FakeFileReader::TakeFault(std::unordered_map<std::string, int>& faults, const std::string& path,
                               int& error)
{
    const auto fault = faults.find(path);
    if (fault == faults.end())
        return false;
    error = fault->second;
    faults.erase(fault);
    return true;
}

int FakeFileReader::CheckAlignment(const OpenEntry& open, const void* buffer, std::size_t length) const
{
    if (open.alignment == 0)
        return 0;
    const bool aligned =
        reinterpret_cast<std::uintptr_t>(buffer) % open.alignment == 0 && length % open.alignment == 0;
    return aligned ? 0 : EINVAL;
}

std::size_t FakeFileReader::CopyInto(const OpenEntry& open, char* buffer, std::size_t length) const
{
    const auto file = m_files.find(open.path);
    if (file == m_files.end())
        return 0;
    const std::size_t bytes = std::min(length, file->second.size());
    std::memcpy(buffer, file->second.data(), bytes);
    return bytes;
}

void FakeFileReader::FinishRead(OpenEntry& open)
{
    open.status = {ReadStatus::State::Finished, CopyInto(open, open.buffer, open.length), 0};
}

bool FakeFileReader::Finish(const std::string& path)
{
    for (auto& [id, open] : m_open)
    {
        if (open.path == path && open.status.state == ReadStatus::State::Running)
        {
            FinishRead(open);
            return true;
        }
    }
    return false;
}

std::vector<std::string> FakeFileReader::OpenFiles() const
{
    std::vector<std::string> paths;
    for (const auto& [id, open] : m_open)
        paths.push_back(open.path);
    return paths;
}

DriveInfo FakeFileReader::QueryDrive(const std::string&)
{
    return m_drive;
}

OpenedFile FakeFileReader::Open(const std::string& path, std::uint32_t alignment)
{
    int error = 0;
    if (TakeFault(m_openFaults, path, error))
        return {0, 0, error};
    const auto file = m_files.find(path);
    if (file == m_files.end())
        return {0, 0, ENOENT};
    const OpenedFile opened{m_nextId++, file->second.size(), 0};
    m_open[opened.id] = {path, alignment};
    return opened;
}

int FakeFileReader::StartRead(OpenedFile::Id file, void* buffer, std::size_t length)
{
    const auto found = m_open.find(file);
    if (found == m_open.end())
        return EBADF;
    OpenEntry& open = found->second;
    m_started.push_back({open.path, length});
    int error = CheckAlignment(open, buffer, length);
    if (error || TakeFault(m_startFaults, open.path, error))
    {
        open.status = {ReadStatus::State::Failed, 0, error};
        return error;
    }
    open.buffer = static_cast<char*>(buffer);
    open.length = length;
    open.status = {};
    return 0;
}

ReadStatus FakeFileReader::Poll(OpenedFile::Id file)
{
    const auto found = m_open.find(file);
    if (found == m_open.end())
        return kUnknownFileStatus;
    OpenEntry& open = found->second;
    int error = 0;
    if (open.status.state == ReadStatus::State::Running && TakeFault(m_pollFaults, open.path, error))
        open.status = {ReadStatus::State::Failed, 0, error};
    return open.status;
}

ReadStatus FakeFileReader::Wait(OpenedFile::Id file)
{
    const ReadStatus status = Poll(file);
    if (status.state != ReadStatus::State::Running)
        return status;
    OpenEntry& open = m_open.at(file);
    FinishRead(open);
    return open.status;
}

int FakeFileReader::Read(OpenedFile::Id file, void* buffer, std::size_t length, std::size_t& bytes)
{
    bytes = 0;
    const auto found = m_open.find(file);
    if (found == m_open.end())
        return EBADF;
    m_blocking.push_back({found->second.path, length});
    if (const int error = CheckAlignment(found->second, buffer, length))
        return error;
    int error = 0;
    if (TakeFault(m_startFaults, found->second.path, error))
        return error;
    bytes = CopyInto(found->second, static_cast<char*>(buffer), length);
    return 0;
}

void FakeFileReader::Close(OpenedFile::Id file)
{
    m_open.erase(file);
}

} // namespace Quarn::platform
