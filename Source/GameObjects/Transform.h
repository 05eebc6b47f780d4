#pragma once

#include "Core/Matrix4.h"
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

    struct Listener
    {
        std::uint32_t id;
        std::function<void()> callback;
    };

    Transform() = default;
    // A copy listens to nothing: listeners were registered on the original.
    Transform(const Transform& source);

    // "Position" and "Scale" as three-component vectors, "Angle" in degrees.
    bool Serialize(Serializer& serializer) override;

    std::vector<Listener> m_listeners;
    Vector4 Position{0.0f, 0.0f, 0.0f, 0.0f};
    Vector4 Scale{1.0f, 1.0f, 1.0f, 0.0f};
    float Angle = 0.0f;
    Matrix4 m_world;
    bool m_dirty = true;
};

} // namespace Quarn
