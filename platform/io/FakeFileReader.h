#pragma once

#include "platform/io/FileReader.h"

#include <cerrno>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace Quarn::platform
{

// A reader over files held in memory, for tests. Started reads stay running until the test finishes
// them (or a wait does), so a test sees every state a real read passes through. Like an unbuffered
// read, a buffer or length off the drive's alignment fails with EINVAL.
class FakeFileReader final : public FileReader
{
public:
    struct ReadCall
    {
        std::string path;
        std::size_t length;
        bool operator==(const ReadCall&) const = default;
    };

    explicit FakeFileReader(DriveInfo drive = {"/", 8, 512, 1000, 512000});

    void SetFile(const std::string& path, std::string bytes);
    void RemoveFile(const std::string& path);
    // The next open, start or poll of path fails with error (a one-time fault).
    void FailOpen(const std::string& path, int error) { m_openFaults[path] = error; }
    void FailStart(const std::string& path, int error) { m_startFaults[path] = error; }
    void FailPoll(const std::string& path, int error) { m_pollFaults[path] = error; }

    // Completes the running read of path with the file's bytes as they are now; false when none runs.
    bool Finish(const std::string& path);

    const std::vector<ReadCall>& StartedReads() const { return m_started; }
    const std::vector<ReadCall>& BlockingReads() const { return m_blocking; }
    // Paths of the files open now, in opening order.
    std::vector<std::string> OpenFiles() const;

    const char* Name() const override { return "fake"; }
    DriveInfo QueryDrive(const std::string& directory) override;
    OpenedFile Open(const std::string& path, std::uint32_t alignment) override;
    int StartRead(OpenedFile::Id file, void* buffer, std::size_t length) override;
    ReadStatus Poll(OpenedFile::Id file) override;
    ReadStatus Wait(OpenedFile::Id file) override;
    int Read(OpenedFile::Id file, void* buffer, std::size_t length, std::size_t& bytes) override;
    void Close(OpenedFile::Id file) override;

private:
    struct OpenEntry
    {
        std::string path;
        std::uint32_t alignment = 0;
        char* buffer = nullptr;
        std::size_t length = 0;
        ReadStatus status{ReadStatus::State::Failed, 0, EINVAL};
    };

    bool TakeFault(std::unordered_map<std::string, int>& faults, const std::string& path, int& error);
    int CheckAlignment(const OpenEntry& open, const void* buffer, std::size_t length) const;
    std::size_t CopyInto(const OpenEntry& open, char* buffer, std::size_t length) const;
    void FinishRead(OpenEntry& open);

    DriveInfo m_drive;
    std::unordered_map<std::string, std::string> m_files;
    std::unordered_map<std::string, int> m_openFaults;
    std::unordered_map<std::string, int> m_startFaults;
    std::unordered_map<std::string, int> m_pollFaults;
    std::map<OpenedFile::Id, OpenEntry> m_open;
    std::vector<ReadCall> m_started;
    std::vector<ReadCall> m_blocking;
    OpenedFile::Id m_nextId = 1;
};

} // namespace Quarn::platform
