#include "platform/window/DroppedFileList.h"

#include <cerrno>

namespace Quarn::platform
{

bool DroppedFileList::Query(std::size_t index, std::string& path, unsigned& errorCode) const
{
    if (index >= m_paths.size())
    {
        path.clear();
        errorCode = EINVAL;
        return false;
    }
    path = m_paths[index];
    errorCode = 0;
    return true;
}

} // namespace Quarn::platform
