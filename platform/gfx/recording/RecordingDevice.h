#pragma once

#include "platform/gfx/Device.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace Quarn::platform::gfx
{

// A device for tests: it writes every call with its arguments to a log, answers with the results a test
// injected for that call (in order, then Ok), and keeps a back buffer in memory that Clear fills, so
// what was cleared can be read back.
class RecordingDevice final : public Device
{
public:
    explicit RecordingDevice(const PresentParameters& parameters);

    // The next calls of that name ("Present", "Reset" ...) answer these results, one each.
    void InjectResults(const std::string& call, std::initializer_list<Result::Code> results);
    const std::vector<std::string>& Log() const { return m_log; }
    void ClearLog() { m_log.clear(); }

    Result Clear(std::span<const Rect> rects, std::uint32_t flags, std::uint32_t colour, float depth,
                 std::uint32_t stencil) override;
    Result SetViewport(const Viewport& viewport) override;
    Viewport GetViewport() const override { return m_viewport; }
    Result Present() override;
    Result TestCooperativeLevel() override;
    Result Reset(const PresentParameters& parameters) override;
    const PresentParameters& Parameters() const override { return m_parameters; }
    Result ReadBackBuffer(std::vector<std::uint32_t>& pixels) override;

private:
    // Logs the call and takes its next injected result.
    Result Record(const std::string& call, const std::string& arguments);

    PresentParameters m_parameters;
    Viewport m_viewport;
    std::vector<std::uint32_t> m_pixels;
    std::vector<std::string> m_log;
    std::map<std::string, std::deque<Result::Code>> m_injected;
};

} // namespace Quarn::platform::gfx
