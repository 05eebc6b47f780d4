#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace Quarn::platform::gfx
{

// The outcome of a device call: success or a failure whose name and description the graphics error
// report shows beside its message.
class Result
{
public:
    enum class Code : std::uint8_t
    {
        Ok,
        DeviceLost,     // the device is lost and cannot be reset yet
        DeviceNotReset, // the device is lost and can be reset now
        InvalidCall,    // arguments the device cannot take
        NotAvailable,   // the machine cannot give what was asked (a context, a format)
        OutOfVideoMemory,
        DriverInternalError,
    };

    constexpr Result(Code code = Code::Ok) : m_code(code) {}

    Code GetCode() const { return m_code; }
    bool Succeeded() const { return m_code == Code::Ok; }
    bool Failed() const { return m_code != Code::Ok; }
    const char* Name() const;
    const char* Description() const;

    friend bool operator==(Result, Result) = default;

private:
    Code m_code;
};

// A rectangle of pixels: left and top inside, right and bottom outside.
struct Rect
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// What Clear clears.
enum ClearFlags : std::uint32_t
{
    kClearTarget = 1,
    kClearDepth = 2,
    kClearStencil = 4,
};

// Colours are packed 32-bit values: alpha in the top byte, then red, green and blue. In memory (a locked
// surface, a vertex colour) such a value's bytes run blue, green, red, alpha.
constexpr std::uint32_t PackColour(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return std::uint32_t{a} << 24 | std::uint32_t{r} << 16 | std::uint32_t{g} << 8 | b;
}

// The area of the target drawn into, in pixels from the upper-left corner, and its depth range.
struct Viewport
{
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    float minZ = 0.0f;
    float maxZ = 1.0f;
    friend bool operator==(const Viewport&, const Viewport&) = default;
};

// What a Clear with these rectangles changes: the whole viewport when there are none, else each
// rectangle cut to the viewport (empty ones left out).
std::vector<Rect> ClearedRects(std::span<const Rect> rects, const Viewport& viewport);

// Pixel formats. Colour formats name their channels from the highest bit down (L is luminance, read into
// red, green and blue; X is unused and reads as opaque); compressed formats keep 4 x 4 blocks; depth
// formats serve depth-stencil surfaces and depth textures.
enum class Format : std::uint8_t
{
    Unknown,
    A8R8G8B8,
    X8R8G8B8,
    A8,
    R32F,
    G16R16F,
    A16B16G16R16F,
    A32B32G32R32F,
    Dxt1,
    Dxt3,
    Dxt5,
    D16,
    D24X8,
    D24S8,
    D32F,
    R8G8B8,
    R5G6B5,
    X1R5G5B5,
    A4R4G4B4,
    X4R4G4B4,
    R3G3B2,
    A2B10G10R10,
    A2R10G10B10,
    A8B8G8R8,
    X8B8G8R8,
    G16R16,
    A16B16G16R16,
    L8,
    A8L8,
    L16,
    R16F,
    G32R32F,
    D32,
    // 32-bit float depth and 8-bit stencil: depth of at least 24 bits in floating point, with stencil.
    D32FS8,
};

bool IsDepthFormat(Format format);
// Depth formats with a stencil part.
bool HasStencil(Format format);
bool IsCompressedFormat(Format format);
// Bytes from one row of a level to the next (for a compressed format, one row of blocks), and the number
// of such rows, for a level of that width and height.
std::uint32_t RowPitch(Format format, std::uint32_t width);
std::uint32_t RowCount(Format format, std::uint32_t height);
const char* FormatName(Format format);

// Where a resource lives: Default resources are the device's own and go with a reset; Managed ones keep
// a copy that survives it; SystemMemory ones are only ever read and written by the program.
enum class Pool : std::uint8_t
{
    Default,
    Managed,
    SystemMemory,
};

enum Usage : std::uint32_t
{
    kUsageRenderTarget = 1,
    kUsageDepthStencil = 2,
    kUsageDynamic = 4,
    kUsageWriteOnly = 8,
    kUsagePoints = 16,
};

enum LockFlags : std::uint32_t
{
    kLockDiscard = 1,     // the old contents may go; all of it will be written
    kLockNoOverwrite = 2, // nothing a draw still needs will be written
    kLockReadOnly = 4,
};

enum class IndexFormat : std::uint8_t
{
    Index16,
    Index32,
};

enum class PrimitiveType : std::uint8_t
{
    PointList = 1,
    LineList,
    LineStrip,
    TriangleList,
    TriangleStrip,
    TriangleFan,
};

// Vertices needed to draw that many primitives of the type.
std::uint32_t VertexCountOf(PrimitiveType type, std::uint32_t primitives);

// How the device presents: the back buffer's size and format, windowed or full screen, the depth-stencil
// surface made with it, and whether Present waits for the display's refresh.
// A vertex as the pass-through stages take it: a position already in screen pixels (with depth and the
// reciprocal of w), a packed colour and one pair of texture coordinates.
struct ScreenVertex
{
    float x, y, z, rhw;
    std::uint32_t colour;
    float u, v;
};

struct PresentParameters
{
    std::uint32_t backBufferWidth = 0;
    std::uint32_t backBufferHeight = 0;
    bool windowed = true;
    bool vsync = false;
    Format backBufferFormat = Format::X8R8G8B8;
    bool autoDepthStencil = true;
    Format depthStencilFormat = Format::D24S8;
    friend bool operator==(const PresentParameters&, const PresentParameters&) = default;
};

struct DisplayMode
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t refreshRate = 0;
    Format format = Format::X8R8G8B8;
    friend bool operator==(const DisplayMode&, const DisplayMode&) = default;
};

// What the machine's graphics can do, as far as the engine asks.
struct Capabilities
{
    bool presentImmediate = false; // Present without waiting for the refresh
    bool presentVSync = false;     // Present once per refresh
    // The shader model the stages reach: 3 when the shading language the engine's shaders are written
    // in is there.
    std::uint32_t vertexShaderModel = 0;
    std::uint32_t pixelShaderModel = 0;
    // The widest and tallest texture (and so back buffer) the device makes.
    std::uint32_t maxTextureSize = 0;
};

} // namespace Quarn::platform::gfx
