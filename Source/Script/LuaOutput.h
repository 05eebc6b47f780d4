#pragma once

#include "Script/LuaState.h"

#include <string>

namespace Quarn
{

// Writes the call stack of the current Lua state to the run log (nothing when file logging is off),
// followed by the caller's file, line and title.
void DumpLuaStack(const char* file, int line, const char* title);

// The error value on top of the current Lua stack as text, rewritten into the clickable form
// "path(12): message": a chunk name Lua shortened to "..." becomes a path relative to the working
// directory when it lies under the resource folders, and the first "name.ext:line:" becomes
// "name.ext(line):". An error value that is neither string nor number reads as a short description.
std::string FormatLuaError();

// Reports fmt's text followed by the formatted Lua error on top of the stack.
void ReportLuaError(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// The message handler of every protected call: logs the Lua call stack and hands the error value on.
int C_ErrorFunc(lua_State* state);

// Lua's panic handler: reports the error; Lua then ends the process.
int LuaPanic(lua_State* state);

} // namespace Quarn
