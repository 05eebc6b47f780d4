#include "Core/Timer.h"

namespace Quarn
{

void Timer::Tick(std::int64_t delta, std::int64_t frequency)
{
    const double ticksPerSecond = static_cast<double>(frequency);
    const float real = static_cast<float>(static_cast<double>(delta) / ticksPerSecond);
    const auto scaled = static_cast<std::int64_t>(static_cast<double>(delta) * static_cast<double>(m_scale));
    m_totalTicks += scaled;
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
    m_scale = scale;
    m_distortionLeft = seconds;
}

} // namespace Quarn
