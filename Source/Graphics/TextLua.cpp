#include "GameObjects/ComponentHandle.h"
#include "Graphics/Text.h"
#include "Script/LuaColor.h"
#include "Script/LuaMethods.h"

namespace Quarn
{

namespace
{
namespace Methods
{

using Handle = ComponentHandle<Text>;

// A getter and a setter of one field, doing nothing (and answering the field's default) once the
// owner is gone.
template <auto Field> auto Get(Handle& self)
{
    using Value = std::remove_cvref_t<decltype(std::declval<Text&>().*Field)>;
    const Text* text = self.Resolve();
    return text ? text->*Field : Value{};
}

template <auto Field>
void Set(Handle& self, std::remove_cvref_t<decltype(std::declval<Text&>().*Field)> value)
{
    if (Text* text = self.Resolve())
        text->*Field = std::move(value);
}

} // namespace Methods
} // namespace

void Text::RegisterLuaMethods(lua_State* state)
{
    using namespace Methods;
    LuaMethods<Handle>(
        state, LuaMethod<&Get<&Text::m_display>>("GetText"), LuaMethod<&Set<&Text::m_display>>("SetText"),
        LuaMethod<&Get<&Text::m_font>>("GetFont"), LuaMethod<&Set<&Text::m_font>>("SetFont"),
        LuaMethod<&Get<&Text::m_color>>("GetColor"), LuaMethod<&Set<&Text::m_color>>("SetColor"),
        LuaMethod<&Get<&Text::m_alignment>>("GetAlignment"),
        LuaMethod<&Set<&Text::m_alignment>>("SetAlignment"),
        LuaMethod<&Set<&Text::m_backgroundColor>>("SetBackgroundColor"),
        LuaMethod<&Get<&Text::m_backgroundColor>>("GetBackgroundColor"),
        LuaMethod<&Set<&Text::m_solidBackground>>("SetSolidBackground"),
        LuaMethod<&Get<&Text::m_solidBackground>>("GetSolidBackground"));
}

} // namespace Quarn
