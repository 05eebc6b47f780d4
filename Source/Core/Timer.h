#pragma once

#include <cstdint>

namespace Quarn
{

class LuaBasicBind;

// One clock of the time manager. Every value derives from integer counter ticks, so totals do not
// drift; the frame time handed to the game is clamped to 0.1 s, the total is not.
class Timer
{
public:
    static constexpr float kMaxDT = 0.1f;

    // Scripts reach timers through the time manager's getters.
    static LuaBasicBind& GetLuaBind();

    // Advances by one frame of delta counter ticks at the given counter frequency.
    void Tick(std::int64_t delta, std::int64_t frequency);

    void SetDT(float dt) { m_dt = dt; }
    float GetDT() const { return m_dt; }
    double GetTotalTime() const { return m_totalTime; }
    float GetScale() const { return m_scale; }
    float GetDistortionLeft() const { return m_distortionLeft; }

    // Runs this timer at scale for the given real seconds of its own ticks, then at 1.0 again.
    void DistortTime(float scale, float seconds);

private:
    std::int64_t m_totalTicks = 0;
    float m_dt = 0.0f;
    double m_totalTime = 0.0;
    float m_scale = 1.0f;
    float m_distortionLeft = 9999.0f;
};

} // namespace Quarn
