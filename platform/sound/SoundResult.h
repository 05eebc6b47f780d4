#pragma once

#include <cstdint>

namespace Quarn::platform::sound
{

// The outcome of a sound-layer call; every failure has a text for the report that names it.
enum class SoundResult : std::uint8_t
{
    Ok,
    FileNotFound,
    BadFormat,
    InvalidParameter,
    InvalidHandle,
    EventNotFound,
    OutputFailed,
    NotInitialized,
    UnsupportedRate,
    TooLong,
};

const char* ErrorString(SoundResult result);

} // namespace Quarn::platform::sound
