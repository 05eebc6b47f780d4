#include "platform/gfx/recording/RecordingAdapter.h"

#include "platform/gfx/recording/RecordingDevice.h"

namespace Quarn::platform::gfx
{

namespace
{
Result Next(std::deque<Result::Code>& results)
{
    if (results.empty())
        return Result::Code::Ok;
    const Result result = results.front();
    results.pop_front();
    return result;
}
} // namespace

RecordingAdapter::RecordingAdapter()
{
    capabilities.presentImmediate = capabilities.presentVSync = true;
    capabilities.vertexShaderModel = capabilities.pixelShaderModel = 3;
    capabilities.maxTextureSize = 8192;
    modes = {{800, 600, 60, Format::X8R8G8B8},
             {1024, 768, 60, Format::X8R8G8B8},
             {1024, 768, 75, Format::X8R8G8B8}};
}

Result RecordingAdapter::GetDisplayMode(DisplayMode& mode) const
{
    const Result result = Next(displayModeResults);
    if (result.Succeeded())
        mode = desktop;
    return result;
}

std::uint32_t RecordingAdapter::GetModeCount(Format format) const
{
    return format == Format::X8R8G8B8 ? static_cast<std::uint32_t>(modes.size()) : 0;
}

Result RecordingAdapter::EnumMode(Format format, std::uint32_t index, DisplayMode& mode) const
{
    Result result = Next(enumModeResults);
    if (result.Succeeded() && index >= GetModeCount(format))
        result = Result::Code::InvalidCall;
    if (result.Succeeded())
        mode = modes[index];
    return result;
}

Result RecordingAdapter::CreateDevice(Window* window, const PresentParameters& parameters,
                                      std::unique_ptr<Device>& device)
{
    const Result result = Next(createDeviceResults);
    if (result.Failed())
        return result;
    auto made = std::make_unique<RecordingDevice>(parameters);
    m_lastDevice = made.get();
    m_lastWindow = window;
    device = std::move(made);
    return result;
}

} // namespace Quarn::platform::gfx
