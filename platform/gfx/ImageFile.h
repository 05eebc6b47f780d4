#pragma once

#include "platform/gfx/Device.h"

#include <cstdint>
#include <filesystem>
#include <memory>
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

// The picture as an A8R8G8B8 texture of one level in the managed pool.
Result CreateImageTexture(Device& device, const DecodedImage& image, std::shared_ptr<Texture>& texture);

} // namespace Quarn::platform::gfx
