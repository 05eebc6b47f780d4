#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace Quarn::platform::gfx
{

// A decoded picture: rows from the top, four bytes a pixel in red, green, blue, alpha order.
struct DecodedImage
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgba;
};

// PNG, JPG, BMP and TGA files (and the other formats stb_image reads). False with the reason in error
// when the bytes or the file are not a picture it can read.
bool DecodeImage(std::span<const std::uint8_t> bytes, DecodedImage& image, std::string& error);
bool DecodeImageFile(const std::filesystem::path& path, DecodedImage& image, std::string& error);

} // namespace Quarn::platform::gfx
