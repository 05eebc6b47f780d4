#include "Core/TimeManager.h"

#include "platform/core/Clock.h"

namespace Quarn
{

TimeManager::TimeManager()
    : m_current(&m_game), m_frequency(platform::GetClock().Frequency()),
      m_previous(platform::GetClock().Ticks()), m_counter(m_previous)
{
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
