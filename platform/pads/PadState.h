#pragma once

#include <cstdint>

namespace Quarn::platform
{

inline constexpr unsigned kMaxPads = 4;

// Button bits of a pad's state, numbered as the classic desktop pad interface numbers them.
namespace padbutton
{
inline constexpr std::uint16_t DPadUp = 0x0001;
inline constexpr std::uint16_t DPadDown = 0x0002;
inline constexpr std::uint16_t DPadLeft = 0x0004;
inline constexpr std::uint16_t DPadRight = 0x0008;
inline constexpr std::uint16_t Start = 0x0010;
inline constexpr std::uint16_t Back = 0x0020;
inline constexpr std::uint16_t LeftThumb = 0x0040;
inline constexpr std::uint16_t RightThumb = 0x0080;
inline constexpr std::uint16_t LeftShoulder = 0x0100;
inline constexpr std::uint16_t RightShoulder = 0x0200;
inline constexpr std::uint16_t A = 0x1000;
inline constexpr std::uint16_t B = 0x2000;
inline constexpr std::uint16_t X = 0x4000;
inline constexpr std::uint16_t Y = 0x8000;
} // namespace padbutton

// One reading of a pad: thumb axes -32768..32767 with y up, triggers 0..255.
struct PadGamepad
{
    std::uint16_t buttons = 0;
    std::uint8_t leftTrigger = 0;
    std::uint8_t rightTrigger = 0;
    std::int16_t thumbLX = 0;
    std::int16_t thumbLY = 0;
    std::int16_t thumbRX = 0;
    std::int16_t thumbRY = 0;

    bool operator==(const PadGamepad&) const = default;
};

// The packet number changes whenever the gamepad reading does.
struct PadState
{
    std::uint32_t packetNumber = 0;
    PadGamepad gamepad;
};

// Motor speeds 0..65535: the left motor is the heavy low-frequency one, the right the light one.
struct PadVibration
{
    std::uint16_t leftMotorSpeed = 0;
    std::uint16_t rightMotorSpeed = 0;

    bool operator==(const PadVibration&) const = default;
};

} // namespace Quarn::platform
