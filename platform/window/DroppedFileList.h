#pragma once

#include "platform/window/DroppedFiles.h"

#include <string>
#include <vector>

namespace Quarn::platform
{

// A drop whose paths are all known: what the desktop hands over when files are dropped on a window.
class DroppedFileList final : public DroppedFiles
{
public:
    explicit DroppedFileList(std::vector<std::string> paths) : m_paths(std::move(paths)) {}

    std::size_t Count() const override { return m_paths.size(); }
    bool Query(std::size_t index, std::string& path, unsigned& errorCode) const override;

private:
    std::vector<std::string> m_paths;
};

} // namespace Quarn::platform
