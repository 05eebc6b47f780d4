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

// Colours are packed 32-bit values: alpha in the top byte, then red, green and blue.
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

// How the device presents: the back buffer's size, windowed or full screen, and whether Present waits
// for the display's refresh.
struct PresentParameters
{
    std::uint32_t backBufferWidth = 0;
    std::uint32_t backBufferHeight = 0;
    bool windowed = true;
    bool vsync = false;
    friend bool operator==(const PresentParameters&, const PresentParameters&) = default;
};

// The graphics device: everything that draws reaches the screen through it. Draws go to the back
// buffer, which Present shows; the back buffer can be read back pixel by pixel. A lost device fails
// Present with DeviceLost; TestCooperativeLevel tells when it can be Reset.
class Device
{
public:
    virtual ~Device() = default;

    // Clears the whole viewport (rects empty) or the given rectangles within it.
    virtual Result Clear(std::span<const Rect> rects, std::uint32_t flags, std::uint32_t colour, float depth,
                         std::uint32_t stencil) = 0;
    virtual Result SetViewport(const Viewport& viewport) = 0;
    virtual Viewport GetViewport() const = 0;
    virtual Result Present() = 0;
    virtual Result TestCooperativeLevel() = 0;
    // Makes the back buffer anew with the parameters; the viewport becomes the whole back buffer.
    virtual Result Reset(const PresentParameters& parameters) = 0;
    virtual const PresentParameters& Parameters() const = 0;
    // The back buffer's pixels, packed colours, rows from the top.
    virtual Result ReadBackBuffer(std::vector<std::uint32_t>& pixels) = 0;
};

} // namespace Quarn::platform::gfx
