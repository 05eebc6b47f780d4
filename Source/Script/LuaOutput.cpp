#include "Script/LuaOutput.h"

#include "Core/OutputHandler.h"

#include <cstdarg>
#include <cstdio>

namespace Quarn
{

namespace
{

// Lua shortens long chunk names to "..." plus their tail. Under the resource folders the tail starts
// at "Resource", which makes it a path relative to the working directory again.
std::string RewriteShortenedChunkName(std::string text)
{
    if (text.rfind("...", 0) != 0)
        return text;
    const std::size_t resource = text.find("Resource");
    if (resource == std::string::npos)
        return text;
    return "..\\" + text.substr(resource);
}

// "name.ext:12: message" -> "name.ext(12): message"; a step that finds nothing leaves the rest as is.
std::string RewritePosition(std::string text)
{
    const std::size_t dot = text.find('.');
    if (dot == std::string::npos)
        return text;
    const std::size_t open = text.find(':', dot);
    if (open == std::string::npos)
        return text;
    text[open] = '(';
    const std::size_t close = text.find(':', open);
    if (close == std::string::npos)
        return text;
    text.replace(close, 1, "):");
    return text;
}

} // namespace

void DumpLuaStack(const char* file, int line, const char* title)
{
    OutputHandler& output = OutputHandler::Get();
    lua_State* state = CurrentLuaState();
    output.Log("-----------\nENCOUNTERED ERROR WHILE IN LUA:\nPERFORMING STACK DUMP:\n-----------\n");
    lua_Debug record;
    for (int level = 0; state && lua_getstack(state, level, &record) == 1; ++level)
    {
        lua_getinfo(state, "Sln", &record);
        const char* shortSource = record.short_src;
        if (shortSource[0] == '@')
            ++shortSource;
        const std::string source = RewriteShortenedChunkName(shortSource);
        if (record.name)
            output.Log("%s(%i) : Function \"%s\"", source.c_str(), record.currentline, record.name);
        else
            output.Log("%s(%i) : %s function .", source.c_str(), record.currentline,
                       record.namewhat ? record.namewhat : "");
    }
    output.Log("-----------\nSTACK DUMP COMPLETE:\n-----------\n\n");
    output.Log("%s(%i) : \"%s\"\n", file, line, title);
}

std::string FormatLuaError()
{
    lua_State* state = CurrentLuaState();
    if (!state)
        return "(no Lua state)";
    const char* text = lua_tostring(state, -1);
    if (!text)
        return std::string("(error object is a ") + luaL_typename(state, -1) + " value)";
    return RewritePosition(RewriteShortenedChunkName(text));
}

void ReportLuaError(const char* fmt, ...)
{
    char text[OutputHandler::kMaxLine + 1];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof(text), fmt, args);
    va_end(args);
    OutputHandler& output = OutputHandler::Get();
    output.ReportError(__FILE__, __LINE__, output.InLua(), "%s\nError: \n%s;", text,
                       FormatLuaError().c_str());
}

int C_ErrorFunc(lua_State*)
{
    DumpLuaStack(__FILE__, __LINE__, "Lua error occured, dumping call stack");
    return 1;
}

int LuaPanic(lua_State*)
{
    ReportLuaError("Lua just panicked.");
    OutputHandler::Get().LowerLuaCallDepth();
    return 0;
}

} // namespace Quarn
