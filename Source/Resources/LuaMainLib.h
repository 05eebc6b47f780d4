#pragma once

#include "Core/RGBA.h"
#include "Core/Vector2.h"
#include "Core/Vector3.h"

#include <string>

struct lua_State;

namespace Quarn
{

class LuaBasicBind;

// The engine's general services for scripts, published as the global "qMain": debug output and
// errors, debug drawing requests, the W/A/S/D direction, angle conversions, restarting. Scripts call
// the functions with a dot (qMain.Print(text)); none takes a self.
class LuaMainLib
{
public:
    // The Lua class of the published object; its method table holds the functions below.
    static LuaBasicBind& GetLuaBind();

    // Writes text as one line of the run log (only when the log is on); "%" is an ordinary character.
    static void Print(const std::string& text);
    // Reports text; inside a Lua call the game then restarts.
    static void Error(const std::string& text);
    // When condition holds: an assertion report of text, then the restart inside a Lua call.
    static void ErrorIf(bool condition, const std::string& text);
    // Abandons the frame: the frame loop performs a warm reset.
    [[noreturn]] static void RestartProgram();
    // Stops in the debugger when one is attached.
    static void Break();
    // Writes the Lua call stack to the run log.
    static void StackDump();
    // Reloads the resources.
    static void RefreshResources();

    // Debug drawing requests, sent as messages to whatever draws them (nothing when no one listens).
    // A line in the plane z = 0 in the engine's debug green.
    static void DrawLine(const Vector2& a, const Vector2& b);
    static void DrawDebugLine(const Vector3& from, const Vector3& to, const RGBA& colour);
    static void DrawDebugArrow(const Vector3& from, const Vector3& to, const RGBA& colour);
    // The unit models "Rect" and "Cube" scaled, turned by angle (radians) about z, and moved to position.
    static void DrawDebugRect(const Vector3& position, const Vector3& scale, float angle, const RGBA& colour);
    static void DrawDebugCube(const Vector3& position, const Vector3& scale, float angle, const RGBA& colour);

    // Records whether the key is held (only "W", "A", "S" and "D" count; other keys change nothing)
    // and gives the unit direction of the held keys: W up, A left, S down, D right, two neighbours
    // the diagonal between them. Opposite keys held together give (0, 0), whatever else is held.
    static Vector2 KeysDown(char key, bool down);

    static Vector2 RadToVec(float angle);
    static float VecToRad(const Vector2& v);
    static float VecToDeg(const Vector2& v);

    // The last component of path (split at "/" and at "\") without its extension: the text before
    // its last "."; the whole component when it has no ".".
    static std::string FileNameFromPath(const std::string& path);

    // The functions that work on Lua values directly, as Lua C functions (arguments from index 1):
    // SaveTable(table, name) saves the table as the user data of name; LoadTable(name) gives the
    // table saved under name, or a new one (see SavedTables.h); RunFile(name) runs the script
    // resource of that name and gives its last result (nothing when it returned none).
    static int SaveTableFromLua(lua_State* state);
    static int LoadTableFromLua(lua_State* state);
    static int RunFileFromLua(lua_State* state);

    // The colour of DrawLine: blue 118, green 255, red 0, alpha 255.
    static constexpr RGBA kLineColour{0xFF00FF76u};
};

} // namespace Quarn
