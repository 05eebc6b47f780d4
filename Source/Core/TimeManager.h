#pragma once

#include "Core/Timer.h"

#include <cstdint>

namespace Quarn
{

class LuaBasicBind;

// The four clocks of the game, ticked once per frame from the platform counter. Exactly one of
// pause, game and menu is current and advances; the app timer always advances.
class TimeManager
{
public:
    TimeManager();
    // Releases the Lua identities of the four timers and then its own.
    ~TimeManager();
    TimeManager(const TimeManager&) = delete;
    TimeManager& operator=(const TimeManager&) = delete;

    // Scripts reach the time manager as the global "time".
    static LuaBasicBind& GetLuaBind();

    void Tick();

    void SetPause() { m_current = &m_pause; }
    void SetGame() { m_current = &m_game; }
    void SetMenu() { m_current = &m_menu; }

    Timer* GetPauseTimer() { return &m_pause; }
    Timer* GetGameTimer() { return &m_game; }
    Timer* GetMenuTimer() { return &m_menu; }
    Timer* GetAppTimer() { return &m_app; }
    Timer* GetCurrentTimer() { return m_current; }

private:
    Timer m_pause;
    Timer m_game;
    Timer m_menu;
    Timer m_app;
    Timer* m_current;
    std::int64_t m_frequency;
    std::int64_t m_previous;
    std::int64_t m_counter;
    std::int64_t m_delta = 0;
};

} // namespace Quarn
