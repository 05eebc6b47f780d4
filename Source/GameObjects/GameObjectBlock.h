#pragma once

#include "GameObjects/GameObjectHandle.h"
#include "Resources/Serializeable.h"

#include <vector>

namespace Quarn
{

class GameObject;
class GameObjectManager;

// A named group of game objects (a level, a wave): while open, every object registered joins it. In a
// file each object is stored as its differences from the prototypes it was built from.
class GameObjectBlock : public Serializeable
{
public:
    explicit GameObjectBlock(GameObjectManager& manager) : m_manager(&manager) {}

    std::vector<GameObjectHandle>& Objects() { return m_objects; }
    bool IsOpen() const { return m_open; }
    void SetOpen(bool open) { m_open = open; }

    // Drops every handle whose object is gone or out of play (the last handle takes its place).
    void DropStale();

    // The object list as a sequence of "Object" entries. Reading creates and registers each object.
    bool Serialize(Serializer& serializer) override;

private:
    void ReadObject(Serializer& serializer);
    void WriteObject(Serializer& serializer, GameObject& object);

    GameObjectManager* m_manager;
    std::vector<GameObjectHandle> m_objects;
    bool m_open = false;
};

} // namespace Quarn
