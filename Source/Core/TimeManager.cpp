#include "Core/TimeManager.h"

#include "Script/LuaPolymorphicBase.h"
#include "platform/core/Clock.h"

namespace Quarn
{

TimeManager::TimeManager()
    : m_current(&m_game), m_frequency(platform::GetClock().Frequency()),
      m_previous(platform::GetClock().Ticks()), m_counter(m_previous)
{
}

TimeManager::~TimeManager()
{
    ReleaseLuaIdentity(&m_app);
    ReleaseLuaIdentity(&m_menu);
    ReleaseLuaIdentity(&m_game);
    ReleaseLuaIdentity(&m_pause);
    ReleaseLuaIdentity(this);
}

void TimeManager::Tick()
{
    // Only the current timer moves; the others report a still frame.
    m_pause.SetDT(0.0f);
    m_game.SetDT(0.0f);
    m_menu.SetDT(0.0f);
    m_previous = m_counter;
    m_counter = platform::GetClock().Ticks();
    m_delta = m_counter - m_previous;
    m_current->Tick(m_delta, m_frequency);
    m_app.Tick(m_delta, m_frequency);
}

} // namespace Quarn
