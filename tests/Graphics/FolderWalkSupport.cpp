#include "FolderWalkSupport.h"

#include <dirent.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <set>
#include <string>

namespace Quarn::test
{
namespace
{

std::filesystem::path g_failingFolder;
// The open walks of the failing folder that have given an entry.
std::set<DIR*> g_walksWithAnEntry;

bool IsFailingFolder(DIR* dir)
{
    if (g_failingFolder.empty())
        return false;
    std::error_code error;
    const std::filesystem::path open =
        std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(dirfd(dir)), error);
    return !error && open == g_failingFolder;
}

template <typename Function> Function Next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

FailingFolderWalk::FailingFolderWalk(const std::filesystem::path& folder)
{
    g_failingFolder = std::filesystem::canonical(folder);
}

FailingFolderWalk::~FailingFolderWalk()
{
    g_failingFolder.clear();
    g_walksWithAnEntry.clear();
}

} // namespace Quarn::test

// The program's own directory reading comes before the system's (the standard library's folder walks
// call these), so that a test can make it fail.
extern "C" dirent* readdir(DIR* dir)
{
    using namespace Quarn::test;
    static const auto next = Next<dirent* (*)(DIR*)>("readdir");
    if (!IsFailingFolder(dir))
        return next(dir);
    if (g_walksWithAnEntry.contains(dir))
    {
        errno = EIO;
        return nullptr;
    }
    dirent* entry = next(dir);
    if (entry && std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
        g_walksWithAnEntry.insert(dir);
    return entry;
}

extern "C" int closedir(DIR* dir)
{
    using namespace Quarn::test;
    static const auto next = Next<int (*)(DIR*)>("closedir");
    g_walksWithAnEntry.erase(dir);
    return next(dir);
}
