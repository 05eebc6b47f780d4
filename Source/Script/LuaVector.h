#pragma once

#include "Core/Vector2.h"
#include "Core/Vector3.h"
#include "Core/Vector4.h"
#include "Script/LuaConvert.h"
#include "Script/LuaPrimitiveBind.h"

namespace Quarn
{

// Every engine vector reaches Lua as one class: a userdata that owns four floats (a Vector4 from the
// sized pool) and gives them back when it is collected. A Vector3 arrives with w = 0, a Vector2 with
// z = w = 0; the class does not remember which type a vector came from.
LuaPrimitiveBind& GetVectorLuaBind();

// Each push makes a new userdata holding a copy; nil when the pool cannot grow.
void LuaPushVector4(lua_State* state, const Vector4& value);
void LuaPushVector3(lua_State* state, const Vector3& value);
void LuaPushVector2(lua_State* state, const Vector2& value);

// The vector at index, shared with every Lua reference to it. Anything else raises
// "bad argument #index (Vector expected)".
Vector4& LuaCheckVector(lua_State* state, int index);

// Engine functions that take a Vector3 or Vector2 use the first three or two components.
template <> struct LuaConverter<Vector4>
{
    static Vector4 Read(lua_State* state, int index) { return LuaCheckVector(state, index); }
    static void Push(lua_State* state, const Vector4& value) { LuaPushVector4(state, value); }
};

template <> struct LuaConverter<Vector3>
{
    static Vector3 Read(lua_State* state, int index)
    {
        const Vector4& v = LuaCheckVector(state, index);
        return {v.x, v.y, v.z};
    }
    static void Push(lua_State* state, const Vector3& value) { LuaPushVector3(state, value); }
};

template <> struct LuaConverter<Vector2>
{
    static Vector2 Read(lua_State* state, int index)
    {
        const Vector4& v = LuaCheckVector(state, index);
        return {v.x, v.y};
    }
    static void Push(lua_State* state, const Vector2& value) { LuaPushVector2(state, value); }
};

} // namespace Quarn
