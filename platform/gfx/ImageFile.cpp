#include "platform/gfx/ImageFile.h"

#include "platform/gfx/TextureSize.h"

// jpeglib.h needs FILE declared first.
#include <cstdio>

#include <csetjmp>
#include <jerror.h>
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <bit>
#include <fstream>
#include <iterator>
#include <limits>
#include <system_error>

// Pictures come from anywhere (the user's pictures folder, a game's textures, a skin's images), so every
// reader takes the size from the header first and refuses, before it allocates anything for the pixels,
// a picture larger than any texture or one whose file is too short to hold that many pixels in its
// format. PNG is read by libpng and JPEG by libjpeg-turbo; BMP and TGA by the readers below.

namespace Quarn::platform::gfx
{

namespace
{

// Files past this size are refused unread.
constexpr std::uintmax_t kLargestFile = std::numeric_limits<std::int32_t>::max();
// Deflate writes at least one bit for every 258 bytes it packs, so no PNG holds more than 1032 times
// its size in filtered rows.
constexpr std::uint64_t kLargestDeflateRatio = 1032;
// Progressive JPEG scans each walk the whole image; a file of a few kilobytes can hold thousands.
constexpr int kMostJpegScans = 500;

using Bytes = std::span<const std::uint8_t>;

std::string SizeText(std::uint64_t width, std::uint64_t height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

// A size every texture can have.
bool CheckSize(std::uint64_t width, std::uint64_t height, std::string& error)
{
    if (width == 0 || height == 0)
    {
        error = "the picture has no pixels (" + SizeText(width, height) + ")";
        return false;
    }
    if (width > kLargestTextureSide || height > kLargestTextureSide)
    {
        error = "the picture is " + SizeText(width, height) + ", larger than the largest texture (" +
                SizeText(kLargestTextureSide, kLargestTextureSide) + ")";
        return false;
    }
    return true;
}

bool Refuse(std::string& error, std::string reason)
{
    error = std::move(reason);
    return false;
}

// Starts the picture: its size and its pixels, all transparent black.
void StartImage(DecodedImage& image, std::uint32_t width, std::uint32_t height)
{
    image.width = width;
    image.height = height;
    image.rgba.assign(std::size_t{width} * height * 4, 0);
}

void SetPixel(DecodedImage& image, std::uint32_t x, std::uint32_t y, const std::array<std::uint8_t, 4>& rgba)
{
    std::copy(rgba.begin(), rgba.end(), image.rgba.begin() + (std::ptrdiff_t{y} * image.width + x) * 4);
}

std::uint32_t Read16(Bytes bytes, std::size_t at)
{
    return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8;
}

std::uint32_t Read32(Bytes bytes, std::size_t at)
{
    return Read16(bytes, at) | Read16(bytes, at + 2) << 16;
}

// 5 bits of a 16-bit 5:5:5 pixel as 8.
std::uint8_t FiveBits(std::uint32_t pixel, int shift)
{
    return static_cast<std::uint8_t>(((pixel >> shift) & 31) * 255 / 31);
}

bool DecodePng(Bytes bytes, DecodedImage& image, std::string& error)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    struct Release
    {
        png_image& png;
        ~Release() { png_image_free(&png); }
    } release{png};
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size()))
        return Refuse(error, png.message);
    if (!CheckSize(png.width, png.height, error))
        return false;
    // Filtered rows of one bit a pixel are the least any PNG of this size packs.
    const std::uint64_t leastRows = std::uint64_t{png.height} * (1 + (std::uint64_t{png.width} + 7) / 8);
    if (leastRows > bytes.size() * kLargestDeflateRatio)
        return Refuse(error, "the file is too short for a PNG of " + SizeText(png.width, png.height));
    png.format = PNG_FORMAT_RGBA;
    StartImage(image, png.width, png.height);
    if (!png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr))
        return Refuse(error, png.message);
    return true;
}

// A JPEG being decoded. libjpeg reports a fatal error by calling error_exit, which must not return: it
// jumps back to the setjmp in ReadJpeg with the message kept here. Everything that changes while libjpeg
// runs lives in this record, outside ReadJpeg's frame, and only libjpeg's C frames lie between the two.
struct JpegDecoder
{
    jpeg_decompress_struct info{};
    jpeg_error_mgr manager{};
    jpeg_progress_mgr progress{};
    std::jmp_buf back{};
    char message[JMSG_LENGTH_MAX] = {};
    // One row of a CMYK picture, converted to RGBA as it comes.
    std::vector<std::uint8_t> inks;
};

JpegDecoder& DecoderOf(j_common_ptr info)
{
    return *static_cast<JpegDecoder*>(info->client_data);
}

[[noreturn]] void JpegFailed(j_common_ptr info)
{
    info->err->format_message(info, DecoderOf(info).message);
    std::longjmp(DecoderOf(info).back, 1);
}

// Warnings are for data libjpeg can go on past; a file that ends early would be finished as grey, so
// that one is an error. Nothing is printed.
void JpegMessage(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        JpegFailed(info);
}

void JpegProgress(j_common_ptr info)
{
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= kMostJpegScans)
        return;
    std::snprintf(DecoderOf(info).message, JMSG_LENGTH_MAX, "the JPEG has more than %d scans",
                  kMostJpegScans);
    std::longjmp(DecoderOf(info).back, 1);
}

// Adobe's CMYK JPEGs store the inks inverted: each channel is ink c of k, c * k / 255.
std::uint8_t Ink(std::uint8_t c, std::uint8_t k)
{
    return static_cast<std::uint8_t>((c * k + 127) / 255);
}

// Decodes into image; false with the reason in message. The caller destroys the decompressor.
bool ReadJpeg(JpegDecoder& decoder, Bytes bytes, DecodedImage& image, std::string& error)
{
    jpeg_decompress_struct& info = decoder.info;
    if (setjmp(decoder.back))
        return Refuse(error, decoder.message);
    jpeg_create_decompress(&info);
    info.progress = &decoder.progress;
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (!CheckSize(info.image_width, info.image_height, error))
        return false;
    // A JPEG spends at least one bit on each block of its most subsampled component: one for every 32 x
    // 32 pixels at the most.
    if (((std::uint64_t{info.image_width} + 31) / 32) * ((std::uint64_t{info.image_height} + 31) / 32) >
        bytes.size() * 8)
        return Refuse(error,
                      "the file is too short for a JPEG of " + SizeText(info.image_width, info.image_height));
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    jpeg_start_decompress(&info);
    StartImage(image, info.output_width, info.output_height);
    if (cmyk)
        decoder.inks.resize(std::size_t{info.output_width} * 4);
    while (info.output_scanline < info.output_height)
    {
        std::uint8_t* row = image.rgba.data() + std::size_t{info.output_scanline} * info.output_width * 4;
        JSAMPROW target = cmyk ? decoder.inks.data() : row;
        jpeg_read_scanlines(&info, &target, 1);
        for (std::size_t x = 0; cmyk && x < info.output_width; ++x, row += 4)
        {
            const std::uint8_t* ink = &decoder.inks[x * 4];
            row[0] = Ink(ink[0], ink[3]);
            row[1] = Ink(ink[1], ink[3]);
            row[2] = Ink(ink[2], ink[3]);
            row[3] = 255;
        }
    }
    jpeg_finish_decompress(&info);
    return true;
}

bool DecodeJpeg(Bytes bytes, DecodedImage& image, std::string& error)
{
    JpegDecoder decoder;
    // Creating the decompressor keeps these two.
    decoder.info.err = jpeg_std_error(&decoder.manager);
    decoder.info.client_data = &decoder;
    decoder.manager.error_exit = &JpegFailed;
    decoder.manager.emit_message = &JpegMessage;
    decoder.progress.progress_monitor = &JpegProgress;
    const bool read = ReadJpeg(decoder, bytes, image, error);
    jpeg_destroy_decompress(&decoder.info);
    return read;
}

constexpr std::size_t kBmpFileHeader = 14;
constexpr std::uint32_t kBmpRgb = 0;
constexpr std::uint32_t kBmpBitFields = 3;
constexpr std::uint32_t kBmpAlphaBitFields = 6;

// One channel of a bit-field pixel: where its mask sits and how wide it is.
struct Channel
{
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint64_t top = 0;

    explicit Channel(std::uint32_t bits = 0)
        : mask(bits), shift(bits ? std::countr_zero(bits) : 0), top(bits ? (std::uint64_t{bits} >> shift) : 0)
    {
    }
    // The channel as 8 bits; absent reads as fallback.
    std::uint8_t Of(std::uint32_t pixel, std::uint8_t fallback) const
    {
        if (top == 0)
            return fallback;
        return static_cast<std::uint8_t>(((pixel & mask) >> shift) * 255 / top);
    }
};

bool DecodeBmp(Bytes bytes, DecodedImage& image, std::string& error)
{
    if (bytes.size() < kBmpFileHeader + 12)
        return Refuse(error, "the BMP header is cut short");
    const std::uint32_t pixelsAt = Read32(bytes, 10);
    const std::uint32_t headerSize = Read32(bytes, kBmpFileHeader);
    const bool core = headerSize == 12;
    if (!core && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 &&
        headerSize != 124)
        return Refuse(error, "the BMP header has an unknown size (" + std::to_string(headerSize) + ")");
    if (bytes.size() < kBmpFileHeader + headerSize)
        return Refuse(error, "the BMP header is cut short");
    const std::size_t at = kBmpFileHeader;
    const std::int64_t width = core ? std::int64_t{Read16(bytes, at + 4)}
                                    : std::int64_t{static_cast<std::int32_t>(Read32(bytes, at + 4))};
    const std::int64_t height = core ? std::int64_t{Read16(bytes, at + 6)}
                                     : std::int64_t{static_cast<std::int32_t>(Read32(bytes, at + 8))};
    const std::uint32_t planes = Read16(bytes, at + (core ? 8 : 12));
    const std::uint32_t depth = Read16(bytes, at + (core ? 10 : 14));
    const std::uint32_t compression = core ? kBmpRgb : Read32(bytes, at + 16);
    // Rows run from the bottom unless the height is negative.
    const bool topDown = height < 0;
    const std::uint64_t rows = static_cast<std::uint64_t>(topDown ? -height : height);
    if (width < 0)
        return Refuse(error, "the BMP width is negative");
    if (!CheckSize(static_cast<std::uint64_t>(width), rows, error))
        return false;
    if (planes != 1)
        return Refuse(error, "the BMP has " + std::to_string(planes) + " planes");
    const bool bitFields = compression == kBmpBitFields || compression == kBmpAlphaBitFields;
    const bool knownDepth =
        bitFields ? depth == 16 || depth == 32
                  : depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
    if ((compression != kBmpRgb && !bitFields) || !knownDepth)
        return Refuse(error, "the BMP's compression " + std::to_string(compression) + " at " +
                                 std::to_string(depth) + " bits a pixel is not one this reader knows");

    // The masks of bit fields follow a 40-byte header and are part of the longer ones.
    std::array<Channel, 4> channels{Channel(0x7C00), Channel(0x03E0), Channel(0x001F), Channel()};
    if (bitFields)
    {
        const std::size_t masks = kBmpFileHeader + 40;
        const std::size_t count = compression == kBmpAlphaBitFields || headerSize >= 56 ? 4 : 3;
        if (bytes.size() < masks + count * 4)
            return Refuse(error, "the BMP's bit fields are cut short");
        for (std::size_t i = 0; i < count; ++i)
            channels[i] = Channel(Read32(bytes, masks + i * 4));
    }

    // Pictures of 8 bits or fewer a pixel index a palette: the colours between the headers and the
    // pixels, 256 at the most. An index past it is black.
    std::vector<std::array<std::uint8_t, 4>> palette;
    if (depth <= 8)
    {
        const std::size_t entry = core ? 3 : 4;
        const std::size_t paletteAt = kBmpFileHeader + headerSize;
        const std::size_t end = std::min<std::size_t>(pixelsAt, bytes.size());
        for (std::size_t colour = paletteAt; colour + entry <= end && palette.size() < 256; colour += entry)
            palette.push_back({bytes[colour + 2], bytes[colour + 1], bytes[colour], 255});
    }

    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * depth + 31) / 32 * 4;
    if (pixelsAt > bytes.size() || stride * rows > bytes.size() - pixelsAt)
        return Refuse(error, "the file is too short for a BMP of " + SizeText(width, rows));
    const auto w = static_cast<std::uint32_t>(width);
    const auto h = static_cast<std::uint32_t>(rows);
    StartImage(image, w, h);
    // 32-bit pixels without bit fields carry alpha unless every pixel's is 0 (then they are opaque).
    bool anyAlpha = false;
    for (std::uint32_t row = 0; row < h; ++row)
    {
        const Bytes line = bytes.subspan(pixelsAt + row * stride, stride);
        const std::uint32_t y = topDown ? row : h - 1 - row;
        for (std::uint32_t x = 0; x < w; ++x)
        {
            std::array<std::uint8_t, 4> rgba{0, 0, 0, 255};
            if (depth <= 8)
            {
                const std::uint64_t bit = std::uint64_t{x} * depth;
                const std::uint32_t index = (line[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
                if (index < palette.size())
                    rgba = palette[index];
            }
            else if (depth == 24)
                rgba = {line[x * 3 + 2], line[x * 3 + 1], line[x * 3], 255};
            else if (depth == 32 && !bitFields)
            {
                rgba = {line[x * 4 + 2], line[x * 4 + 1], line[x * 4], line[x * 4 + 3]};
                anyAlpha = anyAlpha || rgba[3] != 0;
            }
            else
            {
                const std::uint32_t pixel = depth == 16 ? Read16(line, x * 2) : Read32(line, x * 4);
                rgba = {channels[0].Of(pixel, 0), channels[1].Of(pixel, 0), channels[2].Of(pixel, 0),
                        channels[3].Of(pixel, 255)};
            }
            SetPixel(image, x, y, rgba);
        }
    }
    if (depth == 32 && !bitFields && !anyAlpha)
        for (std::size_t i = 3; i < image.rgba.size(); i += 4)
            image.rgba[i] = 255;
    return true;
}

constexpr std::size_t kTgaHeader = 18;

// The parts of a TGA header a picture needs; Known() tells whether the bytes are one.
struct TgaHeader
{
    std::uint32_t idLength, mapType, type, mapFirst, mapLength, mapDepth, width, height, depth, descriptor;

    explicit TgaHeader(Bytes bytes)
        : idLength(bytes[0]), mapType(bytes[1]), type(bytes[2]), mapFirst(Read16(bytes, 3)),
          mapLength(Read16(bytes, 5)), mapDepth(bytes[7]), width(Read16(bytes, 12)),
          height(Read16(bytes, 14)), depth(bytes[16]), descriptor(bytes[17])
    {
    }

    bool Mapped() const { return (type & 7) == 1; }
    bool Grey() const { return (type & 7) == 3; }
    bool RunLength() const { return type >= 9; }
    static bool ColourDepth(std::uint32_t bits)
    {
        return bits == 15 || bits == 16 || bits == 24 || bits == 32;
    }

    bool Known() const
    {
        if ((type < 1 || type > 3) && (type < 9 || type > 11))
            return false;
        if (mapType > 1 || (mapType == 1 && !ColourDepth(mapDepth)))
            return false;
        if (Mapped())
            return mapType == 1 && (depth == 8 || depth == 16);
        return Grey() ? depth == 8 || depth == 16 : ColourDepth(depth);
    }
};

// One TGA colour of the given depth at the start of bytes.
std::array<std::uint8_t, 4> TgaColour(const std::uint8_t* bytes, std::uint32_t depth, bool grey)
{
    if (grey)
        return {bytes[0], bytes[0], bytes[0], depth == 16 ? bytes[1] : std::uint8_t{255}};
    if (depth <= 16)
    {
        const std::uint32_t pixel = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8;
        return {FiveBits(pixel, 10), FiveBits(pixel, 5), FiveBits(pixel, 0), 255};
    }
    return {bytes[2], bytes[1], bytes[0], depth == 32 ? bytes[3] : std::uint8_t{255}};
}

bool DecodeTga(Bytes bytes, DecodedImage& image, std::string& error)
{
    const TgaHeader header(bytes);
    if (!CheckSize(header.width, header.height, error))
        return false;
    const std::size_t pixelBytes = (header.depth + 7) / 8;
    const std::size_t mapBytes = (header.mapDepth + 7) / 8;
    std::size_t at = kTgaHeader + header.idLength;
    const std::size_t mapSize = header.mapType == 1 ? std::size_t{header.mapLength} * mapBytes : 0;
    if (at + mapSize > bytes.size())
        return Refuse(error, "the TGA's colour map is cut short");
    std::vector<std::array<std::uint8_t, 4>> map;
    if (header.Mapped())
        for (std::size_t i = 0; i < header.mapLength; ++i)
            map.push_back(TgaColour(&bytes[at + i * mapBytes], header.mapDepth, false));
    at += mapSize;

    // Raw pixels take their bytes; run-length packets at most 128 pixels for one header and one value.
    const std::uint64_t pixels = std::uint64_t{header.width} * header.height;
    const std::uint64_t least =
        header.RunLength() ? (pixels + 127) / 128 * (1 + pixelBytes) : pixels * pixelBytes;
    if (least > bytes.size() - at)
        return Refuse(error, "the file is too short for a TGA of " + SizeText(header.width, header.height));

    StartImage(image, header.width, header.height);
    const bool topDown = (header.descriptor & 0x20) != 0;
    const auto colourAt = [&](std::size_t from)
    {
        if (!header.Mapped())
            return TgaColour(&bytes[from], header.depth, header.Grey());
        const std::uint32_t index = pixelBytes == 2 ? Read16(bytes, from) : bytes[from];
        return index >= header.mapFirst && index - header.mapFirst < map.size()
                   ? map[index - header.mapFirst]
                   : std::array<std::uint8_t, 4>{0, 0, 0, 255};
    };
    std::uint64_t done = 0;
    const auto put = [&](const std::array<std::uint8_t, 4>& rgba)
    {
        const auto row = static_cast<std::uint32_t>(done / header.width);
        SetPixel(image, static_cast<std::uint32_t>(done % header.width),
                 topDown ? row : header.height - 1 - row, rgba);
        ++done;
    };
    while (done < pixels)
    {
        std::uint64_t count = 1;
        bool repeated = false;
        if (header.RunLength())
        {
            if (at >= bytes.size())
                break;
            count = (bytes[at] & 127u) + 1;
            repeated = (bytes[at] & 128u) != 0;
            ++at;
        }
        count = std::min(count, pixels - done);
        const std::uint64_t need = repeated ? pixelBytes : count * pixelBytes;
        if (need > bytes.size() - at)
            break;
        for (std::uint64_t i = 0; i < count; ++i)
            put(colourAt(repeated ? at : at + i * pixelBytes));
        at += need;
    }
    return done == pixels || Refuse(error, "the TGA's pixels are cut short");
}

} // namespace

bool DecodeImage(std::span<const std::uint8_t> bytes, DecodedImage& image, std::string& error)
{
    image = {};
    static constexpr std::uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    bool decoded = false;
    if (bytes.size() >= sizeof(kPng) && std::equal(std::begin(kPng), std::end(kPng), bytes.begin()))
        decoded = DecodePng(bytes, image, error);
    else if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
        decoded = DecodeJpeg(bytes, image, error);
    else if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        decoded = DecodeBmp(bytes, image, error);
    else if (bytes.size() >= kTgaHeader && TgaHeader(bytes).Known())
        decoded = DecodeTga(bytes, image, error);
    else
        error = "not a PNG, JPEG, BMP or TGA picture";
    if (!decoded)
        image = {};
    return decoded;
}

bool DecodeImageFile(const std::filesystem::path& path, DecodedImage& image, std::string& error)
{
    // Only a regular file has a size; anything else is not read.
    std::error_code sizeError;
    const std::uintmax_t size = std::filesystem::file_size(path, sizeError);
    if (sizeError)
    {
        error = "cannot read " + path.string();
        return false;
    }
    if (size > kLargestFile)
    {
        error = "cannot decode " + path.string() + ": the file is too large";
        return false;
    }
    std::vector<std::uint8_t> bytes(size);
    std::ifstream in(path, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
    {
        error = "cannot read " + path.string();
        return false;
    }
    if (!DecodeImage(bytes, image, error))
    {
        error = "cannot decode " + path.string() + ": " + error;
        return false;
    }
    return true;
}

Result CreateImageTexture(Device& device, const DecodedImage& image, std::shared_ptr<Texture>& texture)
{
    std::shared_ptr<Texture> made;
    Result result =
        device.CreateTexture(image.width, image.height, 1, 0, Format::A8R8G8B8, Pool::Managed, made);
    LockedRect locked;
    if (result.Succeeded())
        result = made->LockRect(0, locked, nullptr, 0);
    if (result.Failed())
        return result;
    // The texture's bytes run blue, green, red, alpha.
    for (std::uint32_t y = 0; y < image.height; ++y)
    {
        auto* row =
            static_cast<std::uint8_t*>(locked.bits) + std::size_t{y} * static_cast<std::size_t>(locked.pitch);
        const std::uint8_t* source = image.rgba.data() + std::size_t{y} * image.width * 4;
        for (std::uint32_t x = 0; x < image.width; ++x, row += 4, source += 4)
        {
            row[0] = source[2];
            row[1] = source[1];
            row[2] = source[0];
            row[3] = source[3];
        }
    }
    made->UnlockRect(0);
    texture = std::move(made);
    return Result::Code::Ok;
}

} // namespace Quarn::platform::gfx
