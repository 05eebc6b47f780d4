#include "Core/TimeManager.h"
#include "Core/Timer.h"
#include "platform/core/Clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace Quarn
{
namespace
{

constexpr std::int64_t kFrequency = 1000000;

// A counter of a million ticks per second that moves only when a test says so.
struct ManualClockScope
{
    ManualClockScope() { platform::SetClock(&m_clock); }
    ~ManualClockScope() { platform::SetClock(nullptr); }
    platform::ManualClock m_clock{kFrequency};
};

class TimeTest : public testing::Test
{
protected:
    void Frame(double seconds)
    {
        m_clock.AdvanceSeconds(seconds);
        m_time.Tick();
    }

    // Installed before the time manager, which reads the clock when it is built.
    ManualClockScope m_clockScope;
    platform::ManualClock& m_clock = m_clockScope.m_clock;
    TimeManager m_time;
};

TEST_F(TimeTest, FrameTimeIsScaledAndClampedWhileTheTotalIsNot)
{
    enum class Current
    {
        Game,
        Pause,
        Menu
    };
    struct Case
    {
        double frame;
        float scale;
        Current current;
        float dt;
        double total;
    };
    const Case cases[] = {
        {0.016, 1.0f, Current::Game, 0.016f, 0.016}, {0.5, 1.0f, Current::Game, 0.1f, 0.5},
        {0.1, 1.0f, Current::Game, 0.1f, 0.1},       {0.0, 1.0f, Current::Game, 0.0f, 0.0},
        {0.02, 2.0f, Current::Game, 0.04f, 0.04},    {0.3, 0.5f, Current::Game, 0.1f, 0.15},
        {0.08, 0.25f, Current::Game, 0.02f, 0.02},   {0.5, 1.0f, Current::Pause, 0.1f, 0.5},
        {0.03, 1.0f, Current::Menu, 0.03f, 0.03},    {0.04, 0.5f, Current::Menu, 0.02f, 0.02},
    };
    for (const Case& c : cases)
    {
        platform::ManualClock clock{kFrequency};
        platform::SetClock(&clock);
        TimeManager time;
        switch (c.current)
        {
        case Current::Game:
            time.SetGame();
            break;
        case Current::Pause:
            time.SetPause();
            break;
        case Current::Menu:
            time.SetMenu();
            break;
        }
        Timer& current = *time.GetCurrentTimer();
        current.DistortTime(c.scale, 100.0f);
        clock.AdvanceSeconds(c.frame);
        time.Tick();

        EXPECT_FLOAT_EQ(current.GetDT(), c.dt) << c.frame << " s at " << c.scale;
        EXPECT_NEAR(current.GetTotalTime(), c.total, 1e-9) << c.frame << " s at " << c.scale;
        // The app timer runs unscaled whichever timer is current.
        EXPECT_NEAR(time.GetAppTimer()->GetTotalTime(), c.frame, 1e-9);
        for (Timer* other : {time.GetGameTimer(), time.GetPauseTimer(), time.GetMenuTimer()})
        {
            if (other != &current)
            {
                EXPECT_EQ(other->GetDT(), 0.0f);
                EXPECT_EQ(other->GetTotalTime(), 0.0);
            }
        }
    }
    platform::SetClock(&m_clock);
}

TEST_F(TimeTest, WhilePausedTheGameTimerIsFrozenAndTheAppTimerAdvances)
{
    Frame(0.05);
    m_time.SetPause();
    for (int i = 0; i < 10; ++i)
        Frame(0.05);
    EXPECT_EQ(m_time.GetGameTimer()->GetDT(), 0.0f);
    EXPECT_NEAR(m_time.GetGameTimer()->GetTotalTime(), 0.05, 1e-9);
    EXPECT_NEAR(m_time.GetPauseTimer()->GetTotalTime(), 0.5, 1e-9);
    EXPECT_FLOAT_EQ(m_time.GetAppTimer()->GetDT(), 0.05f);
    EXPECT_NEAR(m_time.GetAppTimer()->GetTotalTime(), 0.55, 1e-9);

    m_time.SetGame();
    Frame(0.05);
    EXPECT_FLOAT_EQ(m_time.GetGameTimer()->GetDT(), 0.05f);
    EXPECT_EQ(m_time.GetPauseTimer()->GetDT(), 0.0f);
    EXPECT_NEAR(m_time.GetGameTimer()->GetTotalTime(), 0.1, 1e-9);
}

TEST_F(TimeTest, DistortionRunsForItsRealSecondsThenTheScaleReturnsToOne)
{
    // Frames of 1/16 s add up exactly, so the two seconds end on the 32nd frame.
    Timer& game = *m_time.GetGameTimer();
    game.DistortTime(0.5f, 2.0f);
    for (int frame = 1; frame <= 32; ++frame)
    {
        Frame(0.0625);
        EXPECT_FLOAT_EQ(game.GetDT(), 0.03125f) << "frame " << frame;
    }
    EXPECT_EQ(game.GetScale(), 1.0f);
    EXPECT_EQ(game.GetDistortionLeft(), 99999.0f);
    EXPECT_DOUBLE_EQ(game.GetTotalTime(), 1.0);

    Frame(0.0625);
    EXPECT_FLOAT_EQ(game.GetDT(), 0.0625f);
    EXPECT_DOUBLE_EQ(game.GetTotalTime(), 1.0625);
    EXPECT_DOUBLE_EQ(m_time.GetAppTimer()->GetTotalTime(), 2.0625);
}

TEST_F(TimeTest, ADistortedTimerThatIsNotCurrentKeepsItsCountdown)
{
    Timer& menu = *m_time.GetMenuTimer();
    menu.DistortTime(3.0f, 1.0f);
    for (int i = 0; i < 20; ++i)
        Frame(0.25);
    EXPECT_EQ(menu.GetScale(), 3.0f);
    EXPECT_EQ(menu.GetDistortionLeft(), 1.0f);

    m_time.SetMenu();
    Frame(0.25);
    EXPECT_FLOAT_EQ(menu.GetDT(), 0.1f);
    EXPECT_DOUBLE_EQ(menu.GetTotalTime(), 0.75);
    for (int i = 0; i < 3; ++i)
        Frame(0.25);
    EXPECT_EQ(menu.GetScale(), 1.0f);
}

TEST_F(TimeTest, ScalesFromScriptsThatAreNotNumbersOrAreHugeKeepTimeDefined)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    struct Case
    {
        float scale;
        float seconds;
        float scaleAfter;
        float dt;
    };
    const Case cases[] = {
        {nan, 10.0f, 1.0f, 0.05f},                          // refused
        {2.0f, nan, 1.0f, 0.05f},                           // refused
        {infinity, 10.0f, infinity, 0.1f},                  // clamped to the largest frame
        {-infinity, 10.0f, -infinity, -9007199254.740992f}, // 2^53 ticks back
        {1e30f, 10.0f, 1e30f, 0.1f},
        {0.0f, 10.0f, 0.0f, 0.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.scale);
        platform::ManualClock clock{kFrequency};
        platform::SetClock(&clock);
        TimeManager time;
        Timer& game = *time.GetGameTimer();
        game.DistortTime(c.scale, c.seconds);
        EXPECT_EQ(game.GetScale(), c.scaleAfter);
        for (int frame = 0; frame < 3; ++frame)
        {
            clock.AdvanceSeconds(0.05);
            time.Tick();
        }
        EXPECT_FLOAT_EQ(game.GetDT(), c.dt);
        EXPECT_FALSE(std::isnan(game.GetTotalTime()));
    }
    // Ticks at an infinite scale with no time passing are none.
    {
        platform::ManualClock clock{kFrequency};
        platform::SetClock(&clock);
        TimeManager time;
        time.GetGameTimer()->DistortTime(infinity, 10.0f);
        time.Tick();
        EXPECT_EQ(time.GetGameTimer()->GetDT(), 0.0f);
    }
    platform::SetClock(&m_clock);
}

TEST_F(TimeTest, TotalsComeFromWholeTicksAndDoNotDrift)
{
    // A counter of 60 ticks per second and one tick per frame: an hour of frames is exactly an hour,
    // where summing float frame times would have drifted.
    platform::ManualClock clock{60};
    platform::SetClock(&clock);
    TimeManager time;
    for (int frame = 0; frame < 60 * 3600; ++frame)
    {
        clock.Advance(1);
        time.Tick();
    }
    EXPECT_EQ(time.GetGameTimer()->GetTotalTime(), 3600.0);
    EXPECT_EQ(time.GetAppTimer()->GetTotalTime(), 3600.0);
    platform::SetClock(&m_clock);
}

} // namespace
} // namespace Quarn
