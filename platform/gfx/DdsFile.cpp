#include "platform/gfx/DdsFile.h"

#include "platform/gfx/Resources.h"
#include "platform/gfx/TextureSize.h"

#include <algorithm>
#include <cstring>

namespace Quarn::platform::gfx
{

namespace
{

constexpr std::uint32_t kMagic = 0x20534444; // "DDS "
constexpr std::uint32_t kHeaderSize = 124;
constexpr std::uint32_t kPixelFormatSize = 32;
constexpr std::size_t kFileHeaderSize = 4 + kHeaderSize;
constexpr std::uint32_t kFlagsCaps = 0x1;
constexpr std::uint32_t kFlagsHeight = 0x2;
constexpr std::uint32_t kFlagsWidth = 0x4;
constexpr std::uint32_t kFlagsPixelFormat = 0x1000;
constexpr std::uint32_t kFlagsMipCount = 0x20000;
constexpr std::uint32_t kPixelAlpha = 0x1;
constexpr std::uint32_t kPixelFourCC = 0x4;
constexpr std::uint32_t kPixelRgb = 0x40;
constexpr std::uint32_t kCapsTexture = 0x1000;
constexpr std::uint32_t kCapsMipMap = 0x400000;
constexpr std::uint32_t kCapsComplex = 0x8;

// Offsets of the fields used, counted from the start of the file.
constexpr std::size_t kSizeAt = 4;
constexpr std::size_t kFlagsAt = 8;
constexpr std::size_t kHeightAt = 12;
constexpr std::size_t kWidthAt = 16;
constexpr std::size_t kPitchAt = 20;
constexpr std::size_t kMipCountAt = 28;
constexpr std::size_t kPixelFormatAt = 76;
constexpr std::size_t kCapsAt = 108;

constexpr std::uint32_t FourCC(const char (&code)[5])
{
    return std::uint32_t(std::uint8_t(code[0])) | std::uint32_t(std::uint8_t(code[1])) << 8 |
           std::uint32_t(std::uint8_t(code[2])) << 16 | std::uint32_t(std::uint8_t(code[3])) << 24;
}

std::uint32_t Read32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

void Write32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t LevelBytes(Format format, std::uint32_t width, std::uint32_t height)
{
    return std::uint64_t{RowPitch(format, width)} * RowCount(format, height);
}

Format FormatOf(std::span<const std::uint8_t> bytes)
{
    const std::size_t at = kPixelFormatAt;
    const std::uint32_t flags = Read32(bytes, at + 4);
    if (flags & kPixelFourCC)
    {
        const std::uint32_t code = Read32(bytes, at + 8);
        return code == FourCC("DXT1")   ? Format::Dxt1
               : code == FourCC("DXT3") ? Format::Dxt3
               : code == FourCC("DXT5") ? Format::Dxt5
                                        : Format::Unknown;
    }
    const bool rgb32 = (flags & kPixelRgb) && Read32(bytes, at + 12) == 32 &&
                       Read32(bytes, at + 16) == 0x00FF0000 && Read32(bytes, at + 20) == 0x0000FF00 &&
                       Read32(bytes, at + 24) == 0x000000FF;
    if (!rgb32)
        return Format::Unknown;
    return (flags & kPixelAlpha) && Read32(bytes, at + 28) == 0xFF000000 ? Format::A8R8G8B8
                                                                         : Format::X8R8G8B8;
}

} // namespace

bool ReadDds(std::span<const std::uint8_t> bytes, DdsImage& image, std::string& error)
{
    image = {};
    if (bytes.size() < kFileHeaderSize || Read32(bytes, 0) != kMagic ||
        Read32(bytes, kSizeAt) != kHeaderSize || Read32(bytes, kPixelFormatAt) != kPixelFormatSize)
    {
        error = "not a DDS file, or its header is cut short";
        return false;
    }
    const std::uint32_t width = Read32(bytes, kWidthAt);
    const std::uint32_t height = Read32(bytes, kHeightAt);
    if (width == 0 || height == 0 || width > kLargestTextureSide || height > kLargestTextureSide)
    {
        error = "the size " + std::to_string(width) + " x " + std::to_string(height) +
                " is not one a texture has";
        return false;
    }
    const Format format = FormatOf(bytes);
    if (format == Format::Unknown)
    {
        error = "the pixel format is not A8R8G8B8, X8R8G8B8, DXT1, DXT3 or DXT5";
        return false;
    }
    const std::uint32_t mips = (Read32(bytes, kFlagsAt) & kFlagsMipCount)
                                   ? std::max<std::uint32_t>(1, Read32(bytes, kMipCountAt))
                                   : 1;
    if (mips > FullLevelCount(width, height))
    {
        error = "the file claims " + std::to_string(mips) + " levels, more than the size has";
        return false;
    }
    std::uint64_t needed = kFileHeaderSize;
    for (std::uint32_t level = 0; level < mips; ++level)
        needed += LevelBytes(format, std::max(1u, width >> level), std::max(1u, height >> level));
    if (needed > bytes.size())
    {
        error = "the levels need " + std::to_string(needed) + " bytes and the file has " +
                std::to_string(bytes.size());
        return false;
    }
    image.format = format;
    image.width = width;
    image.height = height;
    std::size_t at = kFileHeaderSize;
    for (std::uint32_t level = 0; level < mips; ++level)
    {
        const auto size = static_cast<std::size_t>(
            LevelBytes(format, std::max(1u, width >> level), std::max(1u, height >> level)));
        image.levels.push_back(bytes.subspan(at, size));
        at += size;
    }
    return true;
}

std::vector<std::uint8_t> WriteDds(Format format, std::uint32_t width, std::uint32_t height,
                                   const std::vector<std::vector<std::uint8_t>>& levels)
{
    std::vector<std::uint8_t> bytes(kFileHeaderSize, 0);
    Write32(bytes, 0, kMagic);
    Write32(bytes, kSizeAt, kHeaderSize);
    Write32(bytes, kFlagsAt, kFlagsCaps | kFlagsHeight | kFlagsWidth | kFlagsPixelFormat | kFlagsMipCount);
    Write32(bytes, kHeightAt, height);
    Write32(bytes, kWidthAt, width);
    Write32(bytes, kPitchAt,
            IsCompressedFormat(format) ? static_cast<std::uint32_t>(LevelBytes(format, width, height))
                                       : RowPitch(format, width));
    Write32(bytes, kMipCountAt, static_cast<std::uint32_t>(levels.size()));
    Write32(bytes, kPixelFormatAt, kPixelFormatSize);
    switch (format)
    {
    case Format::Dxt1:
    case Format::Dxt3:
    case Format::Dxt5:
        Write32(bytes, kPixelFormatAt + 4, kPixelFourCC);
        Write32(bytes, kPixelFormatAt + 8,
                format == Format::Dxt1   ? FourCC("DXT1")
                : format == Format::Dxt3 ? FourCC("DXT3")
                                         : FourCC("DXT5"));
        break;
    default:
        Write32(bytes, kPixelFormatAt + 4, kPixelRgb | (format == Format::A8R8G8B8 ? kPixelAlpha : 0));
        Write32(bytes, kPixelFormatAt + 12, 32);
        Write32(bytes, kPixelFormatAt + 16, 0x00FF0000);
        Write32(bytes, kPixelFormatAt + 20, 0x0000FF00);
        Write32(bytes, kPixelFormatAt + 24, 0x000000FF);
        Write32(bytes, kPixelFormatAt + 28, format == Format::A8R8G8B8 ? 0xFF000000 : 0);
        break;
    }
    Write32(bytes, kCapsAt, kCapsTexture | (levels.size() > 1 ? kCapsMipMap | kCapsComplex : 0));
    for (const std::vector<std::uint8_t>& level : levels)
        bytes.insert(bytes.end(), level.begin(), level.end());
    return bytes;
}

} // namespace Quarn::platform::gfx
