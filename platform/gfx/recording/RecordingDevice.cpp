#include "platform/gfx/recording/RecordingDevice.h"

#include <algorithm>
#include <cstdio>

namespace Quarn::platform::gfx
{

namespace
{
std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%08x", value);
    return text;
}
} // namespace

RecordingDevice::RecordingDevice(const PresentParameters& parameters)
    : m_parameters(parameters), m_viewport{0,    0,   parameters.backBufferWidth, parameters.backBufferHeight,
                                           0.0f, 1.0f},
      m_pixels(std::size_t{parameters.backBufferWidth} * parameters.backBufferHeight)
{
}

void RecordingDevice::InjectResults(const std::string& call, std::initializer_list<Result::Code> results)
{
    std::deque<Result::Code>& queue = m_injected[call];
    queue.insert(queue.end(), results.begin(), results.end());
}

Result RecordingDevice::Record(const std::string& call, const std::string& arguments)
{
    m_log.push_back(arguments.empty() ? call : call + " " + arguments);
    const auto found = m_injected.find(call);
    if (found == m_injected.end() || found->second.empty())
        return Result::Code::Ok;
    const Result result = found->second.front();
    found->second.pop_front();
    return result;
}

Result RecordingDevice::Clear(std::span<const Rect> rects, std::uint32_t flags, std::uint32_t colour,
                              float depth, std::uint32_t stencil)
{
    std::string arguments = "flags=" + std::to_string(flags) + " colour=" + Hex(colour) +
                            " depth=" + std::to_string(depth) + " stencil=" + std::to_string(stencil);
    for (const Rect& rect : rects)
        arguments += " (" + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
                     std::to_string(rect.right) + "," + std::to_string(rect.bottom) + ")";
    const Result result = Record("Clear", arguments);
    if (result.Failed() || !(flags & kClearTarget))
        return result;
    for (const Rect& rect : ClearedRects(rects, m_viewport))
        for (std::int32_t y = rect.top; y < rect.bottom; ++y)
            std::fill_n(m_pixels.begin() + static_cast<std::ptrdiff_t>(y) * m_parameters.backBufferWidth +
                            rect.left,
                        rect.right - rect.left, colour);
    return result;
}

Result RecordingDevice::SetViewport(const Viewport& viewport)
{
    const Result result =
        Record("SetViewport", std::to_string(viewport.x) + "," + std::to_string(viewport.y) + " " +
                                  std::to_string(viewport.width) + "x" + std::to_string(viewport.height));
    if (result.Succeeded())
        m_viewport = viewport;
    return result;
}

Result RecordingDevice::Present()
{
    return Record("Present", "");
}

Result RecordingDevice::TestCooperativeLevel()
{
    return Record("TestCooperativeLevel", "");
}

Result RecordingDevice::Reset(const PresentParameters& parameters)
{
    const Result result = Record("Reset", std::to_string(parameters.backBufferWidth) + "x" +
                                              std::to_string(parameters.backBufferHeight) +
                                              (parameters.windowed ? " windowed" : " full screen") +
                                              (parameters.vsync ? " vsync" : ""));
    if (result.Failed())
        return result;
    m_parameters = parameters;
    m_viewport = {0, 0, parameters.backBufferWidth, parameters.backBufferHeight, 0.0f, 1.0f};
    m_pixels.assign(std::size_t{parameters.backBufferWidth} * parameters.backBufferHeight, 0);
    return result;
}

Result RecordingDevice::ReadBackBuffer(std::vector<std::uint32_t>& pixels)
{
    const Result result = Record("ReadBackBuffer", "");
    if (result.Succeeded())
        pixels = m_pixels;
    return result;
}

} // namespace Quarn::platform::gfx
