#include "platform/io/Drive.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

namespace Quarn::platform
{

namespace
{
constexpr std::uint32_t kDefaultSector = 512;

bool ReadBlockSize(const std::string& file, std::uint32_t& size)
{
    std::ifstream in(file);
    unsigned long value = 0;
    if (!(in >> value) || value == 0 || value > 65536)
        return false;
    size = static_cast<std::uint32_t>(value);
    return true;
}

// A partition has no queue of its own; its disk one level up does.
std::uint32_t LogicalBlockSize(dev_t device)
{
    const std::string base =
        "/sys/dev/block/" + std::to_string(major(device)) + ":" + std::to_string(minor(device));
    std::uint32_t size = kDefaultSector;
    if (ReadBlockSize(base + "/queue/logical_block_size", size) ||
        ReadBlockSize(base + "/../queue/logical_block_size", size))
        return size;
    return kDefaultSector;
}

// Walks up from directory while the parent is on the same device.
std::string MountPoint(const std::filesystem::path& directory, dev_t device)
{
    std::filesystem::path current = directory;
    while (current.has_relative_path())
    {
        const auto parent = current.parent_path();
        struct stat parentStat;
        if (stat(parent.c_str(), &parentStat) != 0 || parentStat.st_dev != device)
            break;
        current = parent;
    }
    return current.string();
}
} // namespace

DriveInfo QueryDrive(const std::string& directory)
{
    DriveInfo info;
    info.bytesPerSector = kDefaultSector;
    std::error_code error;
    const auto absolute =
        std::filesystem::weakly_canonical(std::filesystem::absolute(directory, error), error);
    info.name = absolute.string();

    struct stat folderStat;
    if (stat(absolute.c_str(), &folderStat) != 0)
        return info;
    info.name = MountPoint(absolute, folderStat.st_dev);
    info.bytesPerSector = LogicalBlockSize(folderStat.st_dev);

    struct statvfs fs;
    if (statvfs(absolute.c_str(), &fs) != 0)
        return info;
    const std::uint64_t clusterBytes = fs.f_frsize ? fs.f_frsize : fs.f_bsize;
    info.sectorsPerCluster = static_cast<std::uint32_t>(clusterBytes / info.bytesPerSector);
    info.clusters = fs.f_blocks;
    info.freeBytes = static_cast<std::uint64_t>(fs.f_bavail) * clusterBytes;
    return info;
}

} // namespace Quarn::platform
