#pragma once

#include "Core/Matrix4.h"
#include "Core/Vector2.h"
#include "Core/Vector4.h"
#include "GameObjects/ComponentT.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace Quarn
{

// Places a game object in the world: position, scale and angle about z (degrees), with a cached world
// matrix and change listeners.
class Transform : public ComponentT<Transform>
{
public:
    static constexpr const char* kTypeName = "Transform";

    using Callback = std::function<void()>;
    struct Listener
    {
        std::uint32_t id;
        Callback callback;
    };

    Transform() = default;
    // A copy listens to nothing: listeners were registered on the original.
    Transform(const Transform& source);

    // Degrees and radians, converted in double precision through the float nearest pi.
    static float ToRadians(float degrees);
    static float ToDegrees(float radians);

    // Scaling, then rotation about z, then translation (a point p maps to p × M); rebuilt only when
    // something changed since the last call.
    Matrix4 GetWorldMatrix();
    // The same with a yaw/pitch turn after the scaling. Built on every call and not cached, so the
    // plain matrix stays what GetWorldMatrix returns.
    Matrix4 GetWorldMatrixYawPitch(float pitch, float yaw) const;

    // Marks the matrix stale, then calls the listeners in the order they were added.
    void NotifyChanged();
    // Ids come from one counter shared by every transform and are never reused.
    std::uint32_t AddListener(Callback callback);
    // An id that is not registered here changes nothing.
    void RemoveListener(std::uint32_t id);

    // The angle in radians; then NotifyChanged.
    void SetPositionAngleScale(const Vector4& scale, const Vector4& position, float angle);
    // Turns the object towards point; a point on the object itself leaves the angle as it is.
    void LookAt(const Vector2& point);
    // Position, scale and angle of source; then NotifyChanged.
    void Assign(const Transform& source);

    // "Position" and "Scale" as three-component vectors, "Angle" in degrees.
    bool Serialize(Serializer& serializer) override;

    // The scripts' methods, angles in radians; each changing one ends with NotifyChanged.
    static void RegisterLuaMethods(lua_State* state);

    std::vector<Listener> m_listeners;
    Vector4 Position{0.0f, 0.0f, 0.0f, 0.0f};
    Vector4 Scale{1.0f, 1.0f, 1.0f, 0.0f};
    float Angle = 0.0f;
    Matrix4 m_world;
    bool m_dirty = true;
};

} // namespace Quarn
