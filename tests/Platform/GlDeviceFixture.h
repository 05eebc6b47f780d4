#pragma once

#include "platform/gfx/gl/GlDevice.h"

#include <gtest/gtest.h>
#include <sanitizer/lsan_interface.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace Quarn::platform::gfx::test
{

// A GL device on Mesa's offscreen driver (the dummy driver the other tests use has no OpenGL). Mesa
// keeps allocations past the end of the process, reached through frames LeakSanitizer cannot unwind,
// so the device's life is left out of leak checking.
class GlDeviceFixture : public testing::Test
{
protected:
    GlDeviceFixture(std::uint32_t width, std::uint32_t height)
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        __lsan_disable();
        m_device = CreateGlDevice(nullptr, {width, height, true, false}, m_error);
    }
    ~GlDeviceFixture() override
    {
        m_device.reset();
        __lsan_enable();
    }

    std::string m_error;
    std::unique_ptr<Device> m_device;
};

} // namespace Quarn::platform::gfx::test
