#include "platform/io/FileReader.h"

#include "platform/io/PlainFileReader.h"
#include "platform/io/UringFileReader.h"

namespace Quarn::platform
{

DriveInfo FileReader::QueryDrive(const std::string& directory)
{
    return platform::QueryDrive(directory);
}

std::unique_ptr<FileReader> MakeFileReader()
{
    int refused = 0;
    if (auto uring = UringFileReader::Create(refused))
        return uring;
    return std::make_unique<PlainFileReader>();
}

} // namespace Quarn::platform
