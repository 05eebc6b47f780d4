#pragma once

#include <cstdint>
#include <string>

namespace Quarn::platform
{

// The file system a folder lives on: its mount point, the sector size unbuffered reads align to,
// and its size and free space.
struct DriveInfo
{
    std::string name;
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t bytesPerSector = 0;
    std::uint64_t clusters = 0;
    std::uint64_t freeBytes = 0;
};

// Describes the file system holding directory. The sector size is the logical block size of its
// block device, 512 when it has none (tmpfs, overlays) or it cannot be read; an unreadable folder
// gives 512 and zero counts.
DriveInfo QueryDrive(const std::string& directory);

} // namespace Quarn::platform
