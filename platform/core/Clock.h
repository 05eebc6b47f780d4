#pragma once

#include <cstdint>

namespace Quarn::platform
{

// The high-resolution counter and sleep the engine times itself with. The process uses one clock;
// tests swap in a ManualClock so nothing depends on the machine's speed.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual std::int64_t Ticks() = 0;
    virtual std::int64_t Frequency() const = 0;
    virtual void SleepMs(unsigned milliseconds) = 0;
};

class SteadyClock final : public Clock
{
public:
    std::int64_t Ticks() override;
    std::int64_t Frequency() const override;
    void SleepMs(unsigned milliseconds) override;
};

// A clock that moves only when told to; sleeping advances it by the time slept.
class ManualClock final : public Clock
{
public:
    explicit ManualClock(std::int64_t frequency = 1000000) : m_frequency(frequency) {}
    std::int64_t Ticks() override { return m_ticks; }
    std::int64_t Frequency() const override { return m_frequency; }
    void SleepMs(unsigned milliseconds) override;

    void Advance(std::int64_t ticks) { m_ticks += ticks; }
    void AdvanceSeconds(double seconds);
    unsigned SleepCalls() const { return m_sleepCalls; }

private:
    std::int64_t m_frequency;
    std::int64_t m_ticks = 0;
    unsigned m_sleepCalls = 0;
};

// The process clock; a SteadyClock unless one was installed.
Clock& GetClock();
// Installs clock as the process clock (null restores the steady clock). The caller keeps ownership.
void SetClock(Clock* clock);

} // namespace Quarn::platform
