#pragma once

#include "platform/gfx/Types.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace Quarn::platform::gfx
{

// A ".dds" image: its format, size and mip levels, largest first. Levels point into the bytes read.
struct DdsImage
{
    Format format = Format::Unknown;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::span<const std::uint8_t>> levels;
};

// Reads a .dds file of the formats the engine draws (A8R8G8B8, X8R8G8B8, DXT1, DXT3, DXT5). The header,
// the sizes and every level are checked against the bytes there are before anything is read; a bad file
// gives false and the reason.
bool ReadDds(std::span<const std::uint8_t> bytes, DdsImage& image, std::string& error);

// A .dds file of the levels (largest first, each as its format's pitch rules lay it out).
std::vector<std::uint8_t> WriteDds(Format format, std::uint32_t width, std::uint32_t height,
                                   const std::vector<std::vector<std::uint8_t>>& levels);

} // namespace Quarn::platform::gfx
