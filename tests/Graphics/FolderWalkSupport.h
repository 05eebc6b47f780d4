#pragma once

#include <filesystem>

namespace Quarn::test
{

// Reading a folder can fail between its entries: the folder removed, changed or unreachable while it is
// walked. For its life, every walk of the given folder fails after the walk's first entry (the system's
// directory reading answers an input/output error), for the code under test to meet.
class FailingFolderWalk
{
public:
    explicit FailingFolderWalk(const std::filesystem::path& folder);
    ~FailingFolderWalk();
    FailingFolderWalk(const FailingFolderWalk&) = delete;
    FailingFolderWalk& operator=(const FailingFolderWalk&) = delete;
};

} // namespace Quarn::test
