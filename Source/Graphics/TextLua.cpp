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
    LuaMethods<Handle>(state, &Get<&Text::m_display>, "GetText", &Set<&Text::m_display>, "SetText",
                       &Get<&Text::m_font>, "GetFont", &Set<&Text::m_font>, "SetFont", &Get<&Text::m_color>,
                       "GetColor", &Set<&Text::m_color>, "SetColor", &Get<&Text::m_alignment>, "GetAlignment",
                       &Set<&Text::m_alignment>, "SetAlignment", &Set<&Text::m_backgroundColor>,
                       "SetBackgroundColor", &Get<&Text::m_backgroundColor>, "GetBackgroundColor",
                       &Set<&Text::m_solidBackground>, "SetSolidBackground", &Get<&Text::m_solidBackground>,
                       "GetSolidBackground");
}

} // namespace Quarn
