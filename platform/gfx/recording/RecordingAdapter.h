#pragma once

#include "platform/gfx/Device.h"

#include <array>
#include <deque>
#include <vector>

namespace Quarn::platform::gfx
{

class RecordingDevice;

// An adapter for tests: capabilities and display modes as the test sets them, devices that record.
// The last device it made stays reachable for the test's checks.
class RecordingAdapter final : public Adapter
{
public:
    RecordingAdapter();

    Capabilities capabilities;
    std::array<std::uint32_t, 4> identifier{1, 2, 3, 4};
    DisplayMode desktop{1024, 768, 60, Format::X8R8G8B8};
    std::vector<DisplayMode> modes;
    // Failures for the next calls, in order: "GetDisplayMode", "EnumMode", "CreateDevice".
    mutable std::deque<Result::Code> displayModeResults;
    mutable std::deque<Result::Code> enumModeResults;
    std::deque<Result::Code> createDeviceResults;

    RecordingDevice* LastDevice() const { return m_lastDevice; }
    Window* LastWindow() const { return m_lastWindow; }

    const Capabilities& GetCapabilities() const override { return capabilities; }
    std::array<std::uint32_t, 4> Identifier() const override { return identifier; }
    Result GetDisplayMode(DisplayMode& mode) const override;
    std::uint32_t GetModeCount(Format format) const override;
    Result EnumMode(Format format, std::uint32_t index, DisplayMode& mode) const override;
    Result CreateDevice(Window* window, const PresentParameters& parameters,
                        std::unique_ptr<Device>& device) override;

private:
    RecordingDevice* m_lastDevice = nullptr;
    Window* m_lastWindow = nullptr;
};

} // namespace Quarn::platform::gfx
