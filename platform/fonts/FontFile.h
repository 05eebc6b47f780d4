#pragma once

#include <cstdint>
#include <string>

namespace Quarn::platform::fonts
{

// The file of the font that fontconfig matches to a family name (the process's private fonts and the
// system's), a weight (0 for normal, else 100 to 900 as fonts number them) and a slant. An empty family
// asks for the default sans-serif face. Empty when fontconfig finds nothing.
struct FontFile
{
    std::string path;
    int index = 0;
};
FontFile FindFontFile(const std::string& family, std::uint32_t weight, bool italic);

} // namespace Quarn::platform::fonts
