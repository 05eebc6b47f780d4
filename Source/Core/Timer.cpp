#include "Core/Timer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Quarn
{

namespace
{

// A frame's scaled ticks: truncated toward zero, a product that is not a number (0 ticks at an infinite
// scale) is 0, and any other is held to 2^53 ticks either way (months at any counter's rate), so that the
// totals stay exact and far from the integer's range.
std::int64_t ScaledTicks(std::int64_t delta, float scale)
{
    constexpr double kMostTicks = 9007199254740992.0;
    const double scaled = static_cast<double>(delta) * static_cast<double>(scale);
    return std::isnan(scaled) ? 0 : static_cast<std::int64_t>(std::clamp(scaled, -kMostTicks, kMostTicks));
}

// Totals stop at the ends of the integer's range instead of wrapping.
std::int64_t SaturatedSum(std::int64_t total, std::int64_t ticks)
{
    std::int64_t sum = 0;
    if (__builtin_add_overflow(total, ticks, &sum))
        return ticks > 0 ? std::numeric_limits<std::int64_t>::max()
                         : std::numeric_limits<std::int64_t>::min();
    return sum;
}

} // namespace

void Timer::Tick(std::int64_t delta, std::int64_t frequency)
{
    const double ticksPerSecond = static_cast<double>(frequency);
    const float real = static_cast<float>(static_cast<double>(delta) / ticksPerSecond);
    const std::int64_t scaled = ScaledTicks(delta, m_scale);
    m_totalTicks = SaturatedSum(m_totalTicks, scaled);
    m_dt = static_cast<float>(static_cast<double>(scaled) / ticksPerSecond);
    m_totalTime = static_cast<double>(m_totalTicks) / ticksPerSecond;
    if (m_dt > kMaxDT)
        m_dt = kMaxDT;
    m_distortionLeft -= real;
    if (m_distortionLeft <= 0.0f)
    {
        m_scale = 1.0f;
        m_distortionLeft = 99999.0f;
    }
}

void Timer::DistortTime(float scale, float seconds)
{
    // A scale or duration that is not a number would stop time, or never end, for every system.
    if (std::isnan(scale) || std::isnan(seconds))
        return;
    m_scale = scale;
    m_distortionLeft = seconds;
}

} // namespace Quarn
