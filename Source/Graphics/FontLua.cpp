#include "Graphics/Font.h"
#include "Script/LuaMethods.h"
#include "Script/LuaPrimitiveBind.h"

#include <type_traits>
#include <typeinfo>
#include <utility>

// A font description as scripts hold it: a value of their own, read and changed by its methods.

namespace Quarn
{

namespace
{

void Collect(void* font)
{
    delete static_cast<Font*>(font);
}

// A getter and a setter of one field.
template <auto Field> auto Get(Font& font)
{
    return font.*Field;
}

template <auto Field> void Set(Font& font, std::remove_cvref_t<decltype(std::declval<Font&>().*Field)> value)
{
    font.*Field = std::move(value);
}

void RegisterFontMethods(lua_State* state)
{
    LuaMethods<Font>(state, LuaMethod<&Set<&Font::Face>>("SetFacename"),
                     LuaMethod<&Get<&Font::Face>>("GetFacename"), LuaMethod<&Set<&Font::Size>>("SetSize"),
                     LuaMethod<&Get<&Font::Size>>("GetSize"), LuaMethod<&Set<&Font::Weight>>("SetWeight"),
                     LuaMethod<&Get<&Font::Weight>>("GetWeight"), LuaMethod<&Set<&Font::Italic>>("SetItalic"),
                     LuaMethod<&Get<&Font::Italic>>("GetItalic"));
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
