#include "platform/core/Clock.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace Quarn::platform
{

namespace
{
SteadyClock g_steadyClock;
Clock* g_clock = &g_steadyClock;
} // namespace

std::int64_t SteadyClock::Ticks()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::int64_t SteadyClock::Frequency() const
{
    return 1000000000;
}

void SteadyClock::SleepMs(unsigned milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void ManualClock::SleepMs(unsigned milliseconds)
{
    ++m_sleepCalls;
    m_ticks += m_frequency * milliseconds / 1000;
}

void ManualClock::AdvanceSeconds(double seconds)
{
    m_ticks += static_cast<std::int64_t>(std::llround(seconds * static_cast<double>(m_frequency)));
}

Clock& GetClock()
{
    return *g_clock;
}

void SetClock(Clock* clock)
{
    g_clock = clock ? clock : &g_steadyClock;
}

} // namespace Quarn::platform
