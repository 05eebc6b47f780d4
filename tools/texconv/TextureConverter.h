#pragma once

#include "platform/gfx/Types.h"

#include <filesystem>
#include <string>

namespace Quarn::tools
{

// Decodes a PNG or JPG image and writes it as "<folder>/<name>.dds" in a block-compressed format (DXT1,
// DXT3 or DXT5) with its full chain of mip levels. On failure error says why and no file is written.
bool ConvertTexture(const std::filesystem::path& source, const std::filesystem::path& folder,
                    platform::gfx::Format format, std::string& error);

} // namespace Quarn::tools
