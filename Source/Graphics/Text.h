#pragma once

#include "Core/RGBA.h"
#include "GameObjects/ComponentT.h"
#include "Graphics/Font.h"

#include <cstdint>
#include <string>

namespace Quarn
{

// Shows a line of text at its game object's place on the screen.
class Text : public ComponentT<Text>
{
public:
    static constexpr const char* kTypeName = "Text";
    static constexpr std::uint32_t kAlignLeft = 0;
    static constexpr std::uint32_t kAlignCentre = 1;
    static constexpr std::uint32_t kAlignRight = 2;

    // "Display", "Font", "Color", "BackgroundColor", "Alignment", "SolidBackground".
    bool Serialize(Serializer& serializer) override;
    // Getters and setters of the text, font, colours, alignment and solid background.
    static void RegisterLuaMethods(lua_State* state);

    std::string m_display;
    Font m_font;
    RGBA m_color{0xFFFFFFFFu};
    RGBA m_backgroundColor{0xFF000000u};
    std::uint32_t m_alignment = kAlignCentre;
    bool m_solidBackground = false;
};

} // namespace Quarn
