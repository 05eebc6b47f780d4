#include "Graphics/DrawObject.h"

#include "Resources/SerializerTypes.h"

#include <algorithm>
#include <cctype>

namespace Quarn
{

bool DrawObject::Serialize(Serializer& serializer)
{
    SerializeNamed(serializer, m_mesh, "Mesh");
    SerializeNamed(serializer, m_texture, "Texture");
    if (SerializeNamed(serializer, m_drawGroup, "DrawGroup"))
        std::transform(m_drawGroup.begin(), m_drawGroup.end(), m_drawGroup.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    SerializeNamed(serializer, m_edgeLighting, "EdgeLighting");
    SerializeNamed(serializer, m_hasAlpha, "HasAlpha");
    SerializeNamed(serializer, m_alpha, "Alpha");
    SerializeNamed(serializer, m_pitch, "Pitch");
    SerializeNamed(serializer, m_yaw, "Yaw");
    SerializeNamed(serializer, m_textureAtlas, "TextureAtlas");
    SerializeNamed(serializer, m_frameName, "Frame");
    SerializeNamed(serializer, m_frameTime, "FrameTime");
    SerializeNamed(serializer, m_interpolatedTexture, "InterpolatedTexture");
    SerializeNamed(serializer, m_mipMap, "MipMap");
    SerializeNamed(serializer, m_screenTexture, "ScreenTexture");
    return true;
}

} // namespace Quarn
