#include "Graphics/Font.h"
#include "Script/LuaMethods.h"
#include "Script/LuaPrimitiveBind.h"

#include <typeinfo>

// A font description as scripts hold it: a value of their own, read and changed by its methods.

namespace Quarn
{

namespace
{

void Collect(void* font)
{
    delete static_cast<Font*>(font);
}

void RegisterFontMethods(lua_State* state)
{
    LuaMethods<Font>(
        state, +[](Font& font, std::string face) { font.Face = std::move(face); }, "SetFacename",
        +[](Font& font) { return font.Face; }, "GetFacename",
        +[](Font& font, float size) { font.Size = size; }, "SetSize", +[](Font& font) { return font.Size; },
        "GetSize", +[](Font& font, std::uint32_t weight) { font.Weight = weight; }, "SetWeight",
        +[](Font& font) { return font.Weight; }, "GetWeight",
        +[](Font& font, bool italic) { font.Italic = italic; }, "SetItalic",
        +[](Font& font) { return font.Italic; }, "GetItalic");
    Font::GetLuaBind().SetCollector(&Collect);
}

} // namespace

LuaPrimitiveBind& Font::GetLuaBind()
{
    static LuaPrimitiveBind bind(typeid(Font), &RegisterFontMethods);
    return bind;
}

Font LuaConverter<Font>::Read(lua_State* state, int index)
{
    const void* value = Font::GetLuaBind().ToValue(state, index);
    if (!value)
        LuaArgumentError(state, index, "Font");
    return *static_cast<const Font*>(value);
}

void LuaConverter<Font>::Push(lua_State* state, const Font& font)
{
    void** block = Font::GetLuaBind().PushValueBlock(state);
    *block = new Font(font);
}

} // namespace Quarn
