#include "Input/ControllerMoveMsgSender.h"

#include <algorithm>
#include <cmath>

namespace Quarn
{

namespace
{
float Length(const Vector2& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y);
}

// The angle between two non-zero vectors. Rounding can push the cosine of parallel vectors past 1,
// where acos has no answer, so it is kept in range.
float AngleBetween(const Vector2& a, const Vector2& b)
{
    const float cosine = (a.x * b.x + a.y * b.y) / (Length(a) * Length(b));
    return std::acos(std::clamp(cosine, -1.0f, 1.0f));
}
} // namespace

void ControllerMoveFilterID::Send(unsigned char pad, const Vector2& position, const Vector2& delta, float dt)
{
    if (pad != m_pad)
        return;
    const float speed = Length(delta) / dt;
    const bool passes = Length(position) > m_magnitude && speed > m_speed &&
                        AngleBetween(position, m_direction) < m_positionAngle &&
                        AngleBetween(delta, m_direction) < m_movementAngle;
    m_latch.Update(passes, m_function);
}

} // namespace Quarn
