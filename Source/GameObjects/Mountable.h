#pragma once

#include "Core/Vector4.h"
#include "GameObjects/ComponentT.h"
#include "GameObjects/GameObjectHandle.h"

#include <cstdint>

namespace Quarn
{

// Makes its game object ride on another one (the parent), at an offset held here. The follow step
// runs as a change listener of the parent's transform, so chains of mounts follow in one pass.
class Mountable : public ComponentT<Mountable>
{
public:
    static constexpr const char* kTypeName = "Mountable";
    static constexpr std::uint32_t kNoListener = 0xFFFFFFFFu;

    Mountable() = default;
    // A copy keeps the parent but holds no listener id: the listener on the parent belongs to the
    // original, and the copy's end must not remove it.
    Mountable(const Mountable& source);
    // Leaves no listener behind on the parent.
    ~Mountable() override;

    // Places the owner's transform from the parent's and the offset; nothing while the parent is gone
    // or out of play, or either transform is missing.
    void Follow();
    // Rides on parent from now on, and follows it at once. A parent that is the owner or rides on it
    // (directly or down a chain) would make a loop: reported, and the mount stays as it was.
    void Mount(GameObject& parent);
    // Stops listening to the parent; the parent is kept, so the offset setters still follow it.
    void Unregister();

    // "Position" (four components), "Scale" (three), "Angle" (radians), "InheritScale", "InheritAngle";
    // the parent is not stored.
    bool Serialize(Serializer& serializer) override;

    // The scripts' methods; each offset setter ends with Follow.
    static void RegisterLuaMethods(lua_State* state);

    GameObjectHandle m_parent;
    std::uint32_t m_listenerId = kNoListener;
    Vector4 Position{0.0f, 0.0f, 0.0f, 1.0f};
    bool InheritAngle = false;
    bool InheritScale = false;
    float Angle = 0.0f;
    Vector4 Scale{1.0f, 1.0f, 1.0f, 0.0f};

private:
    bool WouldFormLoop(const GameObject& parent) const;
};

} // namespace Quarn
