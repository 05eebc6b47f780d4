#pragma once

#include <cstddef>
#include <string>

namespace Quarn::platform
{

// The files of one drop onto a window, read one by one by their index. A query can fail (the drop's
// source went away); it then reports an error code and leaves the path empty.
class DroppedFiles
{
public:
    virtual ~DroppedFiles() = default;
    virtual std::size_t Count() const = 0;
    // True with the full path of file index; false with an error code when it cannot be read.
    virtual bool Query(std::size_t index, std::string& path, unsigned& errorCode) const = 0;
};

} // namespace Quarn::platform
