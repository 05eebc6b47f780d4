#include "Script/LuaVector.h"

#include "Core/SizedPool.h"
#include "Script/LuaConvert.h"
#include "Script/LuaNamedFunctions.h"

#include <cmath>
#include <new>

namespace Quarn
{

namespace
{

using VectorPool = SizedPool<sizeof(Vector4)>;

void PushNewVector(lua_State* state, float x, float y, float z, float w)
{
    void** block = GetVectorLuaBind().PushValueBlock(state);
    void* memory = VectorPool::Allocate();
    if (!memory)
    {
        lua_pop(state, 1);
        lua_pushnil(state);
        return;
    }
    *block = new (memory) Vector4(x, y, z, w);
}

void CollectVector(void* vector)
{
    VectorPool::Release(vector);
}

int Normalize(lua_State* state)
{
    LuaCheckVector(state, 1).Normalize();
    return 0;
}

int Normalized(lua_State* state)
{
    LuaPushVector4(state, Vector4::GetNormalized(LuaCheckVector(state, 1)));
    return 1;
}

template <auto Component> int Get(lua_State* state)
{
    lua_pushnumber(state, LuaCheckVector(state, 1).*Component);
    return 1;
}

template <auto Component> int Set(lua_State* state)
{
    LuaCheckVector(state, 1).*Component = LuaConverter<float>::Read(state, 2);
    return 0;
}

int Length(lua_State* state)
{
    lua_pushnumber(state, std::sqrt(Vector4::LengthSquared(LuaCheckVector(state, 1))));
    return 1;
}

int LengthSqrd(lua_State* state)
{
    lua_pushnumber(state, Vector4::LengthSquared(LuaCheckVector(state, 1)));
    return 1;
}

int Dot(lua_State* state)
{
    lua_pushnumber(state, Vector4::Dot(LuaCheckVector(state, 1), LuaCheckVector(state, 2)));
    return 1;
}

int Cross(lua_State* state)
{
    const Vector4& a = LuaCheckVector(state, 1);
    const Vector4& b = LuaCheckVector(state, 2);
    LuaPushVector3(state, Vector3::Cross({a.x, a.y, a.z}, {b.x, b.y, b.z}));
    return 1;
}

int ScaleElementWise(lua_State* state)
{
    const Vector4& a = LuaCheckVector(state, 1);
    const Vector4& b = LuaCheckVector(state, 2);
    PushNewVector(state, a.x * b.x, a.y * b.y, a.z * b.z, a.w * b.w);
    return 1;
}

// Counter-clockwise in the xy plane; z and w stay.
int Rotate(lua_State* state)
{
    Vector4& v = LuaCheckVector(state, 1);
    const float angle = LuaConverter<float>::Read(state, 2);
    const float cosine = std::cos(angle), sine = std::sin(angle);
    const float x = v.x, y = v.y;
    v.x = x * cosine - y * sine;
    v.y = x * sine + y * cosine;
    return 0;
}

int Copy(lua_State* state)
{
    LuaPushVector4(state, LuaCheckVector(state, 1));
    return 1;
}

int Add(lua_State* state)
{
    LuaPushVector4(state, LuaCheckVector(state, 1) + LuaCheckVector(state, 2));
    return 1;
}

int Subtract(lua_State* state)
{
    LuaPushVector4(state, LuaCheckVector(state, 1) - LuaCheckVector(state, 2));
    return 1;
}

// The right operand is a number; anything else reads as 0.
int Multiply(lua_State* state)
{
    LuaPushVector4(state, LuaCheckVector(state, 1) * LuaConverter<float>::Read(state, 2));
    return 1;
}

int Divide(lua_State* state)
{
    LuaPushVector4(state, LuaCheckVector(state, 1) * (1.0f / LuaConverter<float>::Read(state, 2)));
    return 1;
}

int Negate(lua_State* state)
{
    LuaPushVector4(state, -LuaCheckVector(state, 1));
    return 1;
}

int Equal(lua_State* state)
{
    lua_pushboolean(state, LuaCheckVector(state, 1) == LuaCheckVector(state, 2));
    return 1;
}

constexpr LuaNamedFunction kMethods[] = {
    {"Normalize", Normalize},
    {"Normalized", Normalized},
    {"X", Get<&Vector4::x>},
    {"Y", Get<&Vector4::y>},
    {"Z", Get<&Vector4::z>},
    {"W", Get<&Vector4::w>},
    {"SetX", Set<&Vector4::x>},
    {"SetY", Set<&Vector4::y>},
    {"SetZ", Set<&Vector4::z>},
    {"SetW", Set<&Vector4::w>},
    {"Length", Length},
    {"LengthSqrd", LengthSqrd},
    {"Dot", Dot},
    {"Cross", Cross},
    {"ScaleElementWise", ScaleElementWise},
    {"Rotate", Rotate},
    {"Copy", Copy},
};

constexpr LuaNamedFunction kMetamethods[] = {
    {"__add", Add},    {"__sub", Subtract}, {"__mul", Multiply},
    {"__div", Divide}, {"__unm", Negate},   {"__eq", Equal},
};

void RegisterVectorClass(lua_State* state)
{
    LuaPrimitiveBind& bind = GetVectorLuaBind();
    bind.SetCollector(&CollectVector);
    bind.PushMethodTable(state);
    LuaSetFunctions(state, kMethods);
    // v[1] .. v[4] are the getters of x, y, z and w themselves.
    const char* const getters[] = {"X", "Y", "Z", "W"};
    for (int key = 1; key <= 4; ++key)
    {
        lua_pushinteger(state, key);
        lua_getfield(state, -2, getters[key - 1]);
        lua_rawset(state, -3);
    }
    lua_pop(state, 1);

    bind.PushMetatable(state);
    LuaSetFunctions(state, kMetamethods);
    lua_pop(state, 1);
}

} // namespace

LuaPrimitiveBind& GetVectorLuaBind()
{
    static LuaPrimitiveBind bind(typeid(Vector4), RegisterVectorClass);
    return bind;
}

void LuaPushVector4(lua_State* state, const Vector4& value)
{
    PushNewVector(state, value.x, value.y, value.z, value.w);
}

void LuaPushVector3(lua_State* state, const Vector3& value)
{
    PushNewVector(state, value.x, value.y, value.z, 0.0f);
}

void LuaPushVector2(lua_State* state, const Vector2& value)
{
    PushNewVector(state, value.x, value.y, 0.0f, 0.0f);
}

Vector4& LuaCheckVector(lua_State* state, int index)
{
    void* vector = GetVectorLuaBind().ToValue(state, index);
    if (!vector)
        LuaArgumentError(state, index, "Vector");
    return *static_cast<Vector4*>(vector);
}

} // namespace Quarn
