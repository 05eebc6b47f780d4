#pragma once

#include "Resources/ResourceBase.h"

namespace Quarn
{

class ResourceNode;
class SystemManager;

// The frames of a sprite sheet, read from ".txa" and ".tai" files; their reader comes with the texture
// layer. It knows the size of the texture it cuts.
class TextureAtlas : public ResourceBase
{
public:
    static void Create(ResourceNode& node, SystemManager& systems, TextureAtlas& atlas);
    void SetTextureSize(float width, float height);
    float GetTextureWidth() const { return m_textureWidth; }
    float GetTextureHeight() const { return m_textureHeight; }

private:
    float m_textureWidth = 0.0f;
    float m_textureHeight = 0.0f;
};

} // namespace Quarn
