#include "Graphics/TextureAtlas.h"

namespace Quarn
{

void TextureAtlas::Create(ResourceNode&, SystemManager&, TextureAtlas&) {}

void TextureAtlas::SetTextureSize(float width, float height)
{
    m_textureWidth = width;
    m_textureHeight = height;
}

} // namespace Quarn
