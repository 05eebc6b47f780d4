#include "Graphics/DrawObject.h"

#include "Core/LowerCase.h"
#include "Resources/SerializerTypes.h"

#include <cmath>

namespace Quarn
{

bool DrawObject::Serialize(Serializer& serializer)
{
    SerializeNamed(serializer, m_mesh, "Mesh");
    SerializeNamed(serializer, m_texture, "Texture");
    if (SerializeNamed(serializer, m_drawGroup, "DrawGroup"))
        m_drawGroup = LowerCase(m_drawGroup);
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

std::uint32_t DrawObject::CurrentFrame(float now) const
{
    if (m_frameTime == 0.0f)
        return m_frameNumber;
    const float steps = (now - m_frameStartTime) / m_frameTime;
    // Out-of-range quotients (a negative frame time, an infinite one) would be undefined to convert.
    if (!std::isfinite(steps) || std::fabs(steps) >= 9.2e18f)
        return m_frameNumber;
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(steps)) + m_frameNumber;
}

void DrawObject::SetPicture(std::int32_t slot)
{
    if (slot >= kNoPicture && slot < 3)
        m_picture = slot;
}

} // namespace Quarn
