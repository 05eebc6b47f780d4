#include "GameObjects/Transform.h"

#include "Core/MathUtil.h"
#include "Core/MatrixBuilders.h"
#include "Resources/SerializerTypes.h"

#include <algorithm>
#include <cmath>

namespace Quarn
{

namespace
{

std::uint32_t g_nextListenerId = 0;

} // namespace

Transform::Transform(const Transform& source)
    : ComponentT(source), Position(source.Position), Scale(source.Scale), Angle(source.Angle),
      m_world(source.m_world), m_dirty(source.m_dirty)
{
}

float Transform::ToRadians(float degrees)
{
    return static_cast<float>(degrees / 180.0 * static_cast<double>(kPi));
}

float Transform::ToDegrees(float radians)
{
    return static_cast<float>(radians * 180.0 / static_cast<double>(kPi));
}

Matrix4 Transform::GetWorldMatrix()
{
    if (m_dirty)
    {
        m_world = MatrixScaling(Scale.x, Scale.y, Scale.z) * MatrixRotationZ(ToRadians(Angle)) *
                  MatrixTranslation(Position.x, Position.y, Position.z);
        m_dirty = false;
    }
    return m_world;
}

Matrix4 Transform::GetWorldMatrixYawPitch(float pitch, float yaw) const
{
    return MatrixScaling(Scale.x, Scale.y, Scale.z) * MatrixRotationYawPitchRoll(yaw, pitch, 0.0f) *
           MatrixRotationZ(ToRadians(Angle)) * MatrixTranslation(Position.x, Position.y, Position.z);
}

void Transform::NotifyChanged()
{
    m_dirty = true;
    if (m_listeners.empty())
        return;
    // Listeners may add or remove listeners here; walking by id calls each one present at the start
    // and still present when its turn comes, once, whatever happens to the list meanwhile.
    const std::uint32_t lastId = m_listeners.back().id;
    std::uint32_t nextId = m_listeners.front().id;
    for (;;)
    {
        auto entry =
            std::lower_bound(m_listeners.begin(), m_listeners.end(), nextId,
                             [](const Listener& listener, std::uint32_t id) { return listener.id < id; });
        if (entry == m_listeners.end() || entry->id > lastId)
            return;
        nextId = entry->id + 1;
        // A copy, so a listener that removes itself does not destroy the function it is running.
        const Callback callback = entry->callback;
        callback();
        if (nextId == 0)
            return;
    }
}

std::uint32_t Transform::AddListener(Callback callback)
{
    const std::uint32_t id = g_nextListenerId++;
    m_listeners.push_back({id, std::move(callback)});
    return id;
}

void Transform::RemoveListener(std::uint32_t id)
{
    auto entry =
        std::lower_bound(m_listeners.begin(), m_listeners.end(), id,
                         [](const Listener& listener, std::uint32_t value) { return listener.id < value; });
    if (entry != m_listeners.end() && entry->id == id)
        m_listeners.erase(entry);
}

void Transform::SetPositionAngleScale(const Vector4& scale, const Vector4& position, float angle)
{
    Position = position;
    Angle = ToDegrees(angle);
    Scale = scale;
    NotifyChanged();
}

void Transform::LookAt(const Vector2& point)
{
    Vector2 direction = point - Vector2(Position.x, Position.y);
    const float length = std::sqrt(direction.x * direction.x + direction.y * direction.y);
    if (!(length > 0.0f))
        return;
    direction = direction * (1.0f / length);
    float angle = std::acos(std::clamp(direction.x, -1.0f, 1.0f));
    if (direction.y < 0.0f)
        angle = -angle;
    Angle = ToDegrees(angle);
    NotifyChanged();
}

void Transform::Assign(const Transform& source)
{
    Position = source.Position;
    Scale = source.Scale;
    Angle = source.Angle;
    NotifyChanged();
}

bool Transform::Serialize(Serializer& serializer)
{
    // Loading writes the fields only: a new transform is already dirty.
    Vector3 position(Position);
    Vector3 scale(Scale);
    if (SerializeNamed(serializer, position, "Position"))
        Position = Vector4(position.x, position.y, position.z, Position.w);
    if (SerializeNamed(serializer, scale, "Scale"))
        Scale = Vector4(scale.x, scale.y, scale.z, Scale.w);
    SerializeNamed(serializer, Angle, "Angle");
    return true;
}

} // namespace Quarn
