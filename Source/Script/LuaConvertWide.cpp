#include "Script/LuaConvert.h"

#include "Core/WideText.h"

namespace Quarn
{

std::int64_t LuaToShortCharCode(lua_State* state, int index)
{
    if (lua_type(state, index) == LUA_TSTRING)
    {
        const std::wstring first = WideFromUtf8(lua_tostring(state, index), 1);
        return first.empty() ? 0 : static_cast<std::int64_t>(first[0]);
    }
    return LuaToInteger(state, index);
}

std::wstring LuaToWString(lua_State* state, int index)
{
    return WideFromUtf8(lua_tostring(state, index), std::wstring::npos);
}

void LuaPushWString(lua_State* state, const std::wstring& text)
{
    const std::string narrow = Utf8FromWide(text, std::string::npos);
    lua_pushlstring(state, narrow.data(), narrow.size());
}

} // namespace Quarn
