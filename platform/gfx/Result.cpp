#include "platform/gfx/Device.h"

namespace Quarn::platform::gfx
{

const char* Result::Name() const
{
    switch (m_code)
    {
    case Code::Ok:
        return "OK";
    case Code::DeviceLost:
        return "DEVICE_LOST";
    case Code::DeviceNotReset:
        return "DEVICE_NOT_RESET";
    case Code::InvalidCall:
        return "INVALID_CALL";
    case Code::NotAvailable:
        return "NOT_AVAILABLE";
    case Code::OutOfVideoMemory:
        return "OUT_OF_VIDEO_MEMORY";
    case Code::DriverInternalError:
        return "DRIVER_INTERNAL_ERROR";
    }
    return "UNKNOWN";
}

const char* Result::Description() const
{
    switch (m_code)
    {
    case Code::Ok:
        return "The call succeeded.";
    case Code::DeviceLost:
        return "The device is lost and cannot be reset yet.";
    case Code::DeviceNotReset:
        return "The device is lost and can be reset now.";
    case Code::InvalidCall:
        return "The call was invalid, for example a parameter had a value the device cannot take.";
    case Code::NotAvailable:
        return "The machine does not support what was asked for.";
    case Code::OutOfVideoMemory:
        return "There is not enough video memory for the call.";
    case Code::DriverInternalError:
        return "The graphics driver failed.";
    }
    return "An unknown result.";
}

} // namespace Quarn::platform::gfx
