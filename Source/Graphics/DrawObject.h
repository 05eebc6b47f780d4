#pragma once

#include "GameObjects/ComponentT.h"
#include "Resources/Resource.h"

#include <cstdint>
#include <string>

namespace Quarn
{

class Mesh;
class Texture;
class TextureAtlas;

// Makes its game object visible: a mesh drawn with a texture (or a frame of a texture atlas) through
// the effect of its draw group. Holds data only; the Graphics system draws it.
class DrawObject : public ComponentT<DrawObject>
{
public:
    static constexpr const char* kTypeName = "DrawObject";
    static constexpr std::int32_t kNoPicture = -1;

    // The stored fields in file order; the draw group's name is lower-cased whenever it passes.
    bool Serialize(Serializer& serializer) override;
    // The handle's methods: plain setters change this component; the setters of the mesh, texture,
    // atlas and translucency replace it by a changed copy, so that it leaves its draw group and enters
    // again with the new resources.
    static void RegisterLuaMethods(lua_State* state);

    // The atlas frame shown at time now (seconds): the first frame, advanced once per frame time when
    // that is not 0.
    std::uint32_t CurrentFrame(float now) const;
    // Picture slots 0 to 2 choose a picture, -1 none; other values are ignored.
    void SetPicture(std::int32_t slot);

    Resource<Mesh> m_mesh{"Quad"};
    Resource<Texture> m_texture;
    Resource<TextureAtlas> m_textureAtlas;
    std::string m_drawGroup = "Objects";
    float m_edgeLighting = 0.0f;
    bool m_hasAlpha = false;
    float m_alpha = 1.0f;
    bool m_visible = true;
    bool m_interpolatedTexture = true;
    bool m_mipMap = true;
    std::string m_frameName;
    float m_frameTime = 0.0f;
    float m_frameStartTime = 0.0f;
    std::uint32_t m_frameNumber = 0;
    float m_pitch = 0.0f;
    float m_yaw = 0.0f;
    bool m_screenTexture = false;
    std::int32_t m_picture = kNoPicture;
};

} // namespace Quarn
