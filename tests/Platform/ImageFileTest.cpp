#include "platform/gfx/ImageFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

// jpeglib.h needs FILE declared first.
#include <cstdio>

#include <jpeglib.h>
#include <png.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace Quarn::platform::gfx
{
namespace
{

using Bytes = std::vector<std::uint8_t>;
using Rgba = std::array<std::uint8_t, 4>;

void Put16(Bytes& bytes, std::uint32_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(Bytes& bytes, std::uint32_t value)
{
    Put16(bytes, value & 0xFFFF);
    Put16(bytes, value >> 16);
}

void PutBigEndian32(Bytes& bytes, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The first size bytes.
Bytes Cut(Bytes bytes, std::size_t size)
{
    bytes.resize(size);
    return bytes;
}

// A BMP with a 40-byte header (or a longer one, zero-filled past 40), then extra (masks or a palette),
// then the rows as given. The palette is what lies between the headers and the rows.
Bytes Bmp(std::int32_t width, std::int32_t height, std::uint32_t depth, std::uint32_t compression,
          const Bytes& extra, const Bytes& rows, std::uint32_t headerSize = 40)
{
    Bytes bytes{'B', 'M'};
    Put32(bytes, static_cast<std::uint32_t>(14 + headerSize + extra.size() + rows.size()));
    Put32(bytes, 0);
    Put32(bytes, static_cast<std::uint32_t>(14 + headerSize + extra.size()));
    Put32(bytes, headerSize);
    Put32(bytes, static_cast<std::uint32_t>(width));
    Put32(bytes, static_cast<std::uint32_t>(height));
    Put16(bytes, 1);
    Put16(bytes, depth);
    Put32(bytes, compression);
    bytes.resize(14 + headerSize, 0);
    return bytes + extra + rows;
}

// A BMP with the 12-byte header of OS/2 and a palette of three-byte colours.
Bytes CoreBmp(std::uint16_t width, std::uint16_t height, std::uint16_t depth, const Bytes& palette,
              const Bytes& rows)
{
    Bytes bytes{'B', 'M'};
    Put32(bytes, static_cast<std::uint32_t>(26 + palette.size() + rows.size()));
    Put32(bytes, 0);
    Put32(bytes, static_cast<std::uint32_t>(26 + palette.size()));
    Put32(bytes, 12);
    Put16(bytes, width);
    Put16(bytes, height);
    Put16(bytes, 1);
    Put16(bytes, depth);
    return bytes + palette + rows;
}

// A BMP with a header of version 5, whose bit fields are the given masks.
Bytes BmpVersion5(std::uint32_t depth, const std::array<std::uint32_t, 4>& masks, const Bytes& rows)
{
    Bytes bytes = Bmp(1, 1, depth, 3, {}, rows, 124);
    for (std::size_t i = 0; i < 4; ++i)
        for (std::size_t b = 0; b < 4; ++b)
            bytes[54 + i * 4 + b] = static_cast<std::uint8_t>(masks[i] >> (8 * b));
    return bytes;
}

// A TGA: the 18-byte header, then the body (the colour map, then the pixels).
Bytes Tga(std::uint8_t type, std::uint16_t width, std::uint16_t height, std::uint8_t depth,
          std::uint8_t descriptor, const Bytes& body, std::uint16_t mapLength = 0, std::uint8_t mapDepth = 0,
          std::uint16_t mapFirst = 0)
{
    Bytes bytes{0, static_cast<std::uint8_t>(mapLength ? 1 : 0), type};
    Put16(bytes, mapFirst);
    Put16(bytes, mapLength);
    bytes.push_back(mapDepth);
    Put32(bytes, 0);
    Put16(bytes, width);
    Put16(bytes, height);
    bytes.push_back(depth);
    bytes.push_back(descriptor);
    return bytes + body;
}

// A PNG written by libpng from rows of RGBA.
Bytes Png(std::uint32_t width, std::uint32_t height, const Bytes& rgba)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr));
    Bytes bytes(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, bytes.data(), &size, 0, rgba.data(), 0, nullptr));
    bytes.resize(size);
    return bytes;
}

// A PNG put together chunk by chunk: an 8-bit RGBA header of the size, then the IDAT data as given.
Bytes PngChunks(std::uint32_t width, std::uint32_t height, const Bytes& idat)
{
    const auto chunk = [](const char* type, const Bytes& data)
    {
        Bytes typed(type, type + 4);
        typed = typed + data;
        std::uint32_t crc = 0xFFFFFFFFu;
        for (const std::uint8_t byte : typed)
        {
            crc ^= byte;
            for (int bit = 0; bit < 8; ++bit)
                crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
        Bytes bytes;
        PutBigEndian32(bytes, static_cast<std::uint32_t>(data.size()));
        bytes = bytes + typed;
        PutBigEndian32(bytes, ~crc);
        return bytes;
    };
    Bytes header;
    PutBigEndian32(header, width);
    PutBigEndian32(header, height);
    header = header + Bytes{8, 6, 0, 0, 0};
    return Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'} + chunk("IHDR", header) + chunk("IDAT", idat) +
           chunk("IEND", {});
}

// A JPEG written by libjpeg from samples of the colour space (RGB, grey or CMYK), at the best quality,
// progressive when asked, or with the scans given.
Bytes Jpeg(int width, int height, J_COLOR_SPACE space, const Bytes& samples, bool progressive = false,
           const std::vector<jpeg_scan_info>& scans = {})
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = space == JCS_GRAYSCALE ? 1 : space == JCS_CMYK ? 4 : 3;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    if (!scans.empty())
    {
        info.scan_info = scans.data();
        info.num_scans = static_cast<int>(scans.size());
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height)
    {
        JSAMPROW row = const_cast<JSAMPROW>(&samples[info.next_scanline * static_cast<std::size_t>(width) *
                                                     static_cast<std::size_t>(info.input_components)]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

// Every sample of a picture of the size the same value.
Bytes Filled(std::size_t pixels, const Bytes& sample)
{
    Bytes samples;
    for (std::size_t i = 0; i < pixels; ++i)
        samples = samples + sample;
    return samples;
}

// The scans of a grey progressive JPEG that refines every coefficient one bit at a time: 704 of them.
std::vector<jpeg_scan_info> BitByBitScans()
{
    std::vector<jpeg_scan_info> scans;
    for (int first = 0; first < 64; ++first)
    {
        scans.push_back({1, {0, 0, 0, 0}, first, first, 0, 10});
        for (int bit = 10; bit > 0; --bit)
            scans.push_back({1, {0, 0, 0, 0}, first, first, bit, bit - 1});
    }
    return scans;
}

// The start-of-frame marker's height and width set to the size, so the header claims what the data
// cannot hold.
Bytes WithJpegSize(Bytes jpeg, std::uint16_t width, std::uint16_t height)
{
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2))
        {
            jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<std::uint8_t>(height);
            jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<std::uint8_t>(width);
            break;
        }
    return jpeg;
}

Rgba PixelAt(const DecodedImage& image, std::uint32_t x, std::uint32_t y)
{
    const std::size_t at = (std::size_t{y} * image.width + x) * 4;
    return {image.rgba[at], image.rgba[at + 1], image.rgba[at + 2], image.rgba[at + 3]};
}

constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kGreen{0, 255, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kBlack{0, 0, 0, 255};

// Each format and layout the reader takes gives the picture from its top row down, in RGBA. JPEG
// pixels are compared within what its compression changes.
TEST(ImageFileTest, EachFormatDecodesToRgbaRowsFromTheTop)
{
    const struct
    {
        const char* name;
        Bytes bytes;
        std::uint32_t width, height;
        // Pixels expected: the top left, the top right and the bottom left.
        Rgba topLeft, topRight, bottomLeft;
        int tolerance = 0;
    } cases[] = {
        {"PNG",
         Png(2, 2, Bytes{255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 255, 9, 9, 9, 9}),
         2,
         2,
         kRed,
         {0, 255, 0, 128},
         kBlue},
        {"JPEG", Jpeg(16, 16, JCS_RGB, Filled(256, {255, 0, 0})), 16, 16, kRed, kRed, kRed, 8},
        {"progressive JPEG", Jpeg(16, 16, JCS_RGB, Filled(256, {0, 0, 255}), true), 16, 16, kBlue, kBlue,
         kBlue, 8},
        {"grey JPEG",
         Jpeg(8, 8, JCS_GRAYSCALE, Filled(64, {200})),
         8,
         8,
         {200, 200, 200, 255},
         {200, 200, 200, 255},
         {200, 200, 200, 255},
         4},
        {"CMYK JPEG (inverted inks)",
         Jpeg(8, 8, JCS_CMYK, Filled(64, {255, 0, 255, 255})),
         8,
         8,
         {255, 0, 255, 255},
         {255, 0, 255, 255},
         {255, 0, 255, 255},
         8},
        // Rows from the bottom, each padded to four bytes.
        {"BMP 24-bit", Bmp(2, 2, 24, 0, {}, {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0}), 2,
         2, kBlue, kWhite, kRed},
        {"BMP 24-bit from the top",
         Bmp(2, -2, 24, 0, {}, {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0}), 2, 2, kRed,
         kGreen, kBlue},
        {"BMP 32-bit with alpha",
         Bmp(1, 2, 32, 0, {}, {255, 0, 0, 64, 0, 0, 255, 255}),
         1,
         2,
         kRed,
         kRed,
         {0, 0, 255, 64}},
        {"BMP 32-bit whose alpha is all 0", Bmp(1, 2, 32, 0, {}, {255, 0, 0, 0, 0, 0, 255, 0}), 1, 2, kRed,
         kRed, kBlue},
        {"BMP 8-bit palette", Bmp(2, 1, 8, 0, {0, 0, 255, 0, 255, 0, 0, 0}, {1, 0, 0, 0}), 2, 1, kBlue, kRed,
         kBlue},
        {"BMP 4-bit palette, an index past it is black", Bmp(2, 1, 4, 0, {0, 255, 0, 0}, {0x01, 0, 0, 0}), 2,
         1, kGreen, kBlack, kGreen},
        {"BMP 1-bit palette", Bmp(9, 1, 1, 0, {0, 0, 0, 0, 255, 255, 255, 0}, {0x80, 0x80, 0, 0}), 9, 1,
         kWhite, kWhite, kWhite},
        {"BMP 16-bit 5:5:5", Bmp(2, 1, 16, 0, {}, {0x00, 0x7C, 0x1F, 0x00}), 2, 1, kRed, kBlue, kRed},
        {"BMP 16-bit 5:6:5 bit fields",
         Bmp(1, 1, 16, 3, {0, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0}, {0xE0, 0x07, 0, 0}), 1, 1, kGreen,
         kGreen, kGreen},
        {"BMP 32-bit bit fields in a version 5 header",
         BmpVersion5(32, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}, {0x11, 0x22, 0x33, 0x44}),
         1,
         1,
         {0x11, 0x22, 0x33, 0x44},
         {0x11, 0x22, 0x33, 0x44},
         {0x11, 0x22, 0x33, 0x44}},
        {"BMP with the OS/2 header", CoreBmp(2, 1, 8, {255, 0, 0, 0, 0, 255}, {1, 0, 0, 0}), 2, 1, kRed,
         kBlue, kRed},
        {"TGA 24-bit from the bottom", Tga(2, 1, 2, 24, 0, {255, 0, 0, 0, 0, 255}), 1, 2, kRed, kRed, kBlue},
        {"TGA run-length 32-bit from the top",
         Tga(10, 3, 1, 32, 0x20, {0x81, 0, 255, 0, 128, 0x00, 255, 0, 0, 255}),
         3,
         1,
         {0, 255, 0, 128},
         kBlue,
         {0, 255, 0, 128}},
        {"TGA grey", Tga(3, 1, 1, 8, 0, {77}), 1, 1, {77, 77, 77, 255}, {77, 77, 77, 255}, {77, 77, 77, 255}},
        {"TGA colour-mapped, an index outside the map is black",
         Tga(1, 2, 1, 8, 0x20, {0, 0, 255, 5, 9}, 1, 24, 5), 2, 1, kRed, kBlack, kRed},
        {"TGA 16-bit", Tga(2, 1, 1, 16, 0, {0x1F, 0x00}), 1, 1, kBlue, kBlue, kBlue},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        DecodedImage image;
        std::string error;
        ASSERT_TRUE(DecodeImage(c.bytes, image, error)) << error;
        ASSERT_EQ(image.width, c.width);
        ASSERT_EQ(image.height, c.height);
        ASSERT_EQ(image.rgba.size(), std::size_t{c.width} * c.height * 4);
        const std::pair<Rgba, Rgba> checks[] = {{PixelAt(image, 0, 0), c.topLeft},
                                                {PixelAt(image, c.width - 1, 0), c.topRight},
                                                {PixelAt(image, 0, c.height - 1), c.bottomLeft}};
        for (const auto& [seen, expected] : checks)
            for (std::size_t i = 0; i < 4; ++i)
                EXPECT_NEAR(seen[i], expected[i], c.tolerance) << "channel " << i;
    }
}

// A header that claims more than a texture can be, or more pixels than its file can hold in its format,
// is refused before anything is allocated for the pixels; so are damaged files (these came from
// fuzzing: tiny files that decoded to gigabytes, and inputs that led the decoder astray).
TEST(ImageFileTest, PicturesLargerThanATextureOrThanTheirFileCanHoldAreRefused)
{
    Bytes huffmanOver256{0xFF, 0xD8, 0xFF, 0xC4, 0x01, 0x23, 0x00};
    huffmanOver256.resize(huffmanOver256.size() + 16, 17);
    huffmanOver256.resize(huffmanOver256.size() + 272, 0);
    const Bytes jpeg = Jpeg(64, 64, JCS_RGB, Filled(64 * 64, {10, 200, 30}));
    const struct
    {
        const char* name;
        Bytes bytes;
        const char* error;
    } cases[] = {
        {"a 130-byte BMP of 197,888 x 512", Cut(Bmp(197888, 512, 24, 0, {}, {}), 130),
         "larger than the largest texture"},
        {"a BMP of 16,384 x 16,384 in 64 bytes", Bmp(16384, 16384, 32, 0, {}, Bytes(10)), "too short"},
        {"a BMP of -4 x 4", Bmp(-4, 4, 24, 0, {}, Bytes(64)), "negative"},
        {"a BMP whose pixels start past its end", Cut(Bmp(1, 1, 8, 0, Bytes(8), {0, 0, 0, 0}), 60),
         "too short"},
        {"a BMP of run-length rows", Bmp(4, 4, 8, 1, Bytes(1024), Bytes(64)), "compression"},
        {"a 17-byte TGA of 21,759 x 21,759", Cut(Tga(2, 21759, 21759, 24, 0, {}), 17),
         "not a PNG, JPEG, BMP or TGA"},
        {"a TGA of 21,759 x 21,759", Tga(2, 21759, 21759, 24, 0, {}), "larger than the largest texture"},
        {"a raw TGA of 16,384 x 16,384 in 40 bytes", Tga(2, 16384, 16384, 24, 0, Bytes(22)), "too short"},
        {"a run-length TGA of 16,384 x 16,384 in 40 bytes", Tga(10, 16384, 16384, 24, 0, Bytes(22, 0xFF)),
         "too short"},
        {"a run-length TGA whose packets end early", Tga(10, 4, 4, 24, 0, {0x87, 1, 2, 3, 0x85}),
         "cut short"},
        {"a PNG of 20,000 x 1", PngChunks(20000, 1, {0x78, 0x9C}), "larger than the largest texture"},
        {"a PNG of 16,384 x 16,384 in 60 bytes", PngChunks(16384, 16384, {0x78, 0x9C, 0x03, 0x00}),
         "too short"},
        {"a PNG whose IDAT is empty", PngChunks(1, 1, {}), ""},
        {"a JPEG of 16,384 x 16,384 in a few kilobytes", WithJpegSize(jpeg, 16384, 16384), "too short"},
        {"a JPEG of 20,000 x 8", WithJpegSize(jpeg, 20000, 8), "larger than the largest texture"},
        {"a JPEG whose Huffman table counts 272 codes", huffmanOver256, "Huffman"},
        {"a JPEG cut short", Cut(jpeg, jpeg.size() / 2), "Premature end"},
        {"a progressive JPEG of 704 scans",
         Jpeg(8, 8, JCS_GRAYSCALE, Filled(64, {90}), false, BitByBitScans()), "more than 500 scans"},
        {"text", Bytes{'h', 'e', 'l', 'l', 'o'}, "not a PNG, JPEG, BMP or TGA"},
        {"nothing", Bytes{}, "not a PNG, JPEG, BMP or TGA"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        DecodedImage image;
        image.width = 7;
        std::string error;
        EXPECT_FALSE(DecodeImage(c.bytes, image, error));
        EXPECT_NE(error, "");
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        EXPECT_EQ(image.width, 0u);
        EXPECT_TRUE(image.rgba.empty());
    }
}

// The file entry point names the file in its reasons, and reads nothing that is not a regular file.
TEST(ImageFileTest, AFileThatCannotBeReadOrDecodedIsNamedInTheReason)
{
    test::TempDir dir;
    const Bytes png = Png(1, 1, {1, 2, 3, 4});
    dir.Write("one.png", std::string(png.begin(), png.end()));
    dir.Write("bad.png", "\x89PNG\r\n\x1a\n and no more");
    DecodedImage image;
    std::string error;
    EXPECT_TRUE(DecodeImageFile(dir / "one.png", image, error)) << error;
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{1, 2, 3, 4}));
    EXPECT_FALSE(DecodeImageFile(dir / "bad.png", image, error));
    EXPECT_EQ(error.rfind("cannot decode " + (dir / "bad.png").string() + ": ", 0), 0u) << error;
    for (const char* name : {"missing.png", "."})
    {
        EXPECT_FALSE(DecodeImageFile(dir / name, image, error));
        EXPECT_EQ(error, "cannot read " + (dir / name).string());
    }
}

} // namespace
} // namespace Quarn::platform::gfx
