#pragma once

struct lua_State;

namespace Quarn
{

class GameObject;

// Pushes object as scripts see game objects; nil for null.
void LuaPushGameObject(lua_State* state, GameObject* object);

} // namespace Quarn
