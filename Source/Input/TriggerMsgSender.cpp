#include "Input/TriggerMsgSender.h"

namespace Quarn
{

void TriggerFilterMsgID::Send(unsigned char pad, float value, float delta, float dt)
{
    if (pad != m_pad)
        return;
    m_latch.Update(value > m_value && delta / dt > m_speed, m_function);
}

} // namespace Quarn
