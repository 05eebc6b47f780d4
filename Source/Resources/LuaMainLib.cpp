#include "Resources/LuaMainLib.h"

#include "Core/Matrix4.h"
#include "Core/MatrixBuilders.h"
#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/Quaternion.h"
#include "Core/RestartGameException.h"
#include "Core/SystemManager.h"
#include "Resources/LuaRunner.h"
#include "Resources/ResourceManager.h"
#include "Resources/SavedTables.h"
#include "Script/LuaBoundary.h"
#include "Script/LuaOutput.h"
#include "platform/core/Debugger.h"

#include <cmath>

namespace Quarn
{

namespace
{

constexpr float kPi = 3.1415927f;

// Which of W, A, S and D are held, for the whole process.
struct HeldKeys
{
    bool w = false;
    bool a = false;
    bool s = false;
    bool d = false;
};

HeldKeys g_held;

MessageManager* Messages()
{
    SystemManager* systems = SystemManager::Instance();
    return systems ? &systems->GetMessageManager() : nullptr;
}

void DrawModel(const char* model, const Vector3& position, const Vector3& scale, float angle,
               const RGBA& colour)
{
    const Matrix4 world =
        MatrixTransformation(Vector3(), Quaternion(), scale, Vector3(),
                             QuaternionFromAxisAngle(Vector3(0.0f, 0.0f, 1.0f), angle), position);
    if (MessageManager* messages = Messages())
        messages->SendMessage("DrawDebugModel", std::string(model), world, colour);
}

// The resource manager the script functions work with; a Lua error without one.
ResourceManager& ScriptResources(lua_State* state)
{
    SystemManager* systems = SystemManager::Instance();
    if (!systems)
        luaL_error(state, "no resources without the engine's systems");
    return systems->GetResourceManager();
}

// A name argument: a string or a number as text, anything else the empty name (which is refused).
std::string NameArgument(lua_State* state, int index)
{
    std::size_t length = 0;
    const char* text = lua_type(state, index) == LUA_TSTRING || lua_type(state, index) == LUA_TNUMBER
                           ? lua_tolstring(state, index, &length)
                           : nullptr;
    return text ? std::string(text, length) : std::string();
}

} // namespace

int LuaMainLib::SaveTableFromLua(lua_State* state)
{
    return LuaBoundary(state,
                       [state]
                       {
                           SaveTable(state, 1, NameArgument(state, 2), ScriptResources(state));
                           return 0;
                       });
}

int LuaMainLib::LoadTableFromLua(lua_State* state)
{
    return LuaBoundary(state,
                       [state]
                       {
                           LoadTable(state, NameArgument(state, 1), ScriptResources(state));
                           return 1;
                       });
}

int LuaMainLib::RunFileFromLua(lua_State* state)
{
    return LuaBoundary(state,
                       [state]
                       {
                           // The script's results are left above the argument; the last one is handed back.
                           return LuaRunner::RunFile(NameArgument(state, 1), ScriptResources(state)) > 0 ? 1
                                                                                                         : 0;
                       });
}

void LuaMainLib::Print(const std::string& text)
{
    OutputHandler::Get().Log("%s", text.c_str());
}

void LuaMainLib::Error(const std::string& text)
{
    QUARN_REPORT("%s", text.c_str());
}

void LuaMainLib::ErrorIf(bool condition, const std::string& text)
{
    if (condition)
        QUARN_ASSERT_FAILED_AS("cond", "%s", text.c_str());
}

void LuaMainLib::RestartProgram()
{
    throw RestartGameException();
}

void LuaMainLib::Break()
{
    platform::BreakIfDebuggerAttached();
}

void LuaMainLib::StackDump()
{
    DumpLuaStack(__FILE__, __LINE__, "Dumping lua");
}

void LuaMainLib::RefreshResources()
{
    if (SystemManager* systems = SystemManager::Instance())
        systems->GetResourceManager().RefreshResources();
}

void LuaMainLib::DrawLine(const Vector2& a, const Vector2& b)
{
    if (MessageManager* messages = Messages())
        messages->SendMessage("DrawDebugLine", Vector3(a.x, a.y, 0.0f), Vector3(b.x, b.y, 0.0f), kLineColour);
}

void LuaMainLib::DrawDebugLine(const Vector3& from, const Vector3& to, const RGBA& colour)
{
    if (MessageManager* messages = Messages())
        messages->SendMessage("DrawDebugLine", Vector3(from.x, from.y, from.z), Vector3(to.x, to.y, to.z),
                              colour);
}

void LuaMainLib::DrawDebugArrow(const Vector3& from, const Vector3& to, const RGBA& colour)
{
    if (MessageManager* messages = Messages())
        messages->SendMessage("DrawDebugArrow", Vector3(from.x, from.y, from.z), Vector3(to.x, to.y, to.z),
                              colour);
}

void LuaMainLib::DrawDebugRect(const Vector3& position, const Vector3& scale, float angle, const RGBA& colour)
{
    DrawModel("Rect", position, scale, angle, colour);
}

void LuaMainLib::DrawDebugCube(const Vector3& position, const Vector3& scale, float angle, const RGBA& colour)
{
    DrawModel("Cube", position, scale, angle, colour);
}

Vector2 LuaMainLib::KeysDown(char key, bool down)
{
    switch (key)
    {
    case 'W':
        g_held.w = down;
        break;
    case 'A':
        g_held.a = down;
        break;
    case 'S':
        g_held.s = down;
        break;
    case 'D':
        g_held.d = down;
        break;
    default:
        break;
    }
    if ((g_held.w && g_held.s) || (g_held.a && g_held.d))
        return {};

    // The mean of the held directions in degrees, D counting as 360 beside S so S+D is 315, not 135.
    float sum = 0.0f;
    int count = 0;
    if (g_held.w)
    {
        sum += 90.0f;
        ++count;
    }
    if (g_held.a)
    {
        sum += 180.0f;
        ++count;
    }
    if (g_held.s)
    {
        sum += 270.0f;
        ++count;
    }
    if (g_held.d)
    {
        sum += g_held.s ? 360.0f : 0.0f;
        ++count;
    }
    if (count == 0)
        return {};
    const float radians = sum / static_cast<float>(count) / 180.0f * kPi;
    return {std::cos(radians), std::sin(radians)};
}

Vector2 LuaMainLib::RadToVec(float angle)
{
    return {std::cos(angle), std::sin(angle)};
}

float LuaMainLib::VecToRad(const Vector2& v)
{
    return std::atan2(v.y, v.x);
}

float LuaMainLib::VecToDeg(const Vector2& v)
{
    return std::atan2(v.y, v.x) * 180.0f / kPi;
}

std::string LuaMainLib::FileNameFromPath(const std::string& path)
{
    const std::size_t separator = path.find_last_of("/\\");
    const std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

} // namespace Quarn
