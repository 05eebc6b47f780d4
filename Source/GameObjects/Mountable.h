#pragma once

#include "Core/Vector4.h"
#include "GameObjects/ComponentT.h"
#include "GameObjects/GameObjectHandle.h"

#include <cstdint>

namespace Quarn
{

// Makes its game object ride on another one (the parent), at an offset held here.
class Mountable : public ComponentT<Mountable>
{
public:
    static constexpr const char* kTypeName = "Mountable";
    static constexpr std::uint32_t kNoListener = 0xFFFFFFFFu;

    Mountable() = default;
    // A copy keeps the parent but holds no listener id: the listener on the parent belongs to the
    // original, and the copy's end must not remove it.
    Mountable(const Mountable& source);

    // "Position" (four components), "Scale" (three), "Angle" (radians), "InheritScale", "InheritAngle";
    // the parent is not stored.
    bool Serialize(Serializer& serializer) override;

    GameObjectHandle m_parent;
    std::uint32_t m_listenerId = kNoListener;
    Vector4 Position{0.0f, 0.0f, 0.0f, 1.0f};
    bool InheritAngle = false;
    bool InheritScale = false;
    float Angle = 0.0f;
    Vector4 Scale{1.0f, 1.0f, 1.0f, 0.0f};
};

} // namespace Quarn
