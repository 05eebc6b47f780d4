#include "Graphics/Text.h"

#include "Resources/SerializerTypes.h"

namespace Quarn
{

bool Text::Serialize(Serializer& serializer)
{
    SerializeNamed(serializer, m_display, "Display");
    SerializeNamed(serializer, m_font, "Font");
    SerializeNamed(serializer, m_color, "Color");
    SerializeNamed(serializer, m_backgroundColor, "BackgroundColor");
    SerializeNamed(serializer, m_alignment, "Alignment");
    SerializeNamed(serializer, m_solidBackground, "SolidBackground");
    return true;
}

} // namespace Quarn
