#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Quarn
{

class DrawObject;
class ParticleEmitter;
class PointLight;
class Texture;

namespace platform::gfx
{
class Device;
class Effect;
class IndexBuffer;
class Texture;
class VertexBuffer;
class VertexDeclaration;
} // namespace platform::gfx

// Everything drawable, by group: objects, particle emitters, point lights and the full-screen quad's
// vertex layout. Opaque objects lie in batches of equal group, mesh and texture, so that a group is
// drawn binding each mesh and texture once; translucent objects are drawn after them, back to front.
// The particle and light buffers and the drawing of particles and lights come with their components;
// until then those groups only hold their members.
class DrawGroups
{
public:
    // Process-wide: a group name's id is given on its first use and kept.
    static std::uint16_t GroupId(const std::string& lowerCaseName);
    // Group id, mesh id, 0 and texture id, from the most significant 16 bits down.
    static std::uint64_t BatchKey(const DrawObject& object);

    DrawGroups();
    ~DrawGroups();

    // An object or emitter stays where it was put until it is removed: its translucency, draw group and
    // blending may change meanwhile (the inspector writes them live), and removal finds it by the place
    // it was given. Adding one that is already in leaves it in one place, its new one.
    void AddObject(DrawObject* object);
    void RemoveObject(DrawObject* object);
    void AddEmitter(ParticleEmitter* emitter);
    void RemoveEmitter(ParticleEmitter* emitter);
    // The light list keeps its order; removal takes the first entry equal to the light.
    void AddPointLight(PointLight* light);
    void RemovePointLight(PointLight* light);
    const std::vector<PointLight*>& GetPointLights() const { return m_lights; }
    // 24 bytes: the light's place (its owner's position plus its offset) and radius, then its diffuse and
    // specular colours.
    struct LightInstance
    {
        float x, y, z, radius;
        std::uint32_t diffuse;
        std::uint32_t specular;
    };
    const std::vector<LightInstance>& GetLightInstances() const { return m_lightInstances; }
    // 32 bytes: position, colour (white, with the particle's visibility as alpha) and point size.
    struct ParticleVertex
    {
        float x, y, z;
        float r, g, b, a;
        float size;
    };
    const std::vector<ParticleVertex>& GetParticleVertices() const { return m_particleVertices; }
    const std::map<std::uint64_t, std::vector<DrawObject*>>& GetBatches() const { return m_batches; }
    const std::vector<DrawObject*>& GetTranslucent() const { return m_translucent; }
    // Emitters batch by blend mode and texture.
    using EmitterKey = std::pair<std::int32_t, const Texture*>;
    const std::map<EmitterKey, std::vector<ParticleEmitter*>>& GetEmitterBatches() const
    {
        return m_emitterBatches;
    }

    // Emission, then every particle's step; nothing while particles are off.
    void UpdateParticles(float dt, float gameTime);
    // The frame's light instances and particle vertices, built and uploaded (no particle vertices while
    // particles are off).
    void PreparePointLights(platform::gfx::Device* device);
    void PrepareParticles(platform::gfx::Device* device);
    // Draws one group by its name: "screen" and "directional_light" a quad over render target 0, "lines"
    // the debug lines, any other name an object group.
    void Draw(const std::string& group, platform::gfx::Effect& effect, platform::gfx::Device* device);
    // Whether a pass that draws the group has nothing to draw.
    bool IsEmpty(const std::string& group) const;
    // The debug-line store's frame into the line group's buffers (once a frame, before drawing), and
    // the group "lines" drawn from them, which empties the store.
    void UploadLines(platform::gfx::Device* device);
    void DrawLines(platform::gfx::Device* device);
    // Releases what lives on the device, to be made again on next use.
    void OnLostDevice();

    bool m_particlesOff = false;
    // The Graphics setting "DirectionalLightOn", for the emptiness of "directional_light".
    bool m_directionalLightOn = false;
    // Pre-transformed position and texture coordinates; made once, kept across resets.
    std::shared_ptr<platform::gfx::VertexDeclaration> m_quadDeclaration;
    // The group "text": the Graphics system's text drawing, and whether there is any text to draw.
    std::function<void()> m_renderText;
    std::function<bool()> m_hasText;
    // What objects that ask for the desktop snapshot or a user picture are drawn with (null: none).
    std::shared_ptr<platform::gfx::Texture> m_screenTexture;
    std::array<std::shared_ptr<platform::gfx::Texture>, 3> m_pictures;

private:
    void DrawScreenQuad(platform::gfx::Effect& effect, platform::gfx::Device* device);
    // An object group: batch by batch, object by object, each object's values set as parameters; or,
    // when the pass asks for instancing, each run of objects that share mesh, texture and filters in one
    // instanced draw, their values in a per-instance stream.
    void DrawObjectGroup(const std::string& name, platform::gfx::Effect& effect,
                         platform::gfx::Device& device);
    template <class InGroup>
    void DrawInstanced(std::uint64_t group, const InGroup& inGroup, float clock,
                       platform::gfx::Effect& effect, platform::gfx::Device& device);
    // Into a dynamic vertex buffer, made anew (twice the need and ten records more) when too small.
    bool UploadRecords(platform::gfx::Device& device, std::shared_ptr<platform::gfx::VertexBuffer>& buffer,
                       const void* records, std::size_t count, std::size_t recordSize, std::uint32_t usage);
    static EmitterKey KeyOf(const ParticleEmitter& emitter);
    // Each batch of emitters as one point list, in its texture and blend mode.
    void DrawParticles(platform::gfx::Effect& effect, platform::gfx::Device& device);
    // Every light as one instance of the disc, in one draw.
    void DrawLights(platform::gfx::Effect& effect, platform::gfx::Device& device);
    bool MakeDisc(platform::gfx::Device& device);
    // The texture the object is drawn with: the snapshot or its picture when it asks for one, else its
    // own.
    const std::shared_ptr<platform::gfx::Texture>& TextureFor(const DrawObject& object) const;
    void BindTexture(const DrawObject& object, platform::gfx::Effect& effect) const;
    // Makes sure the line buffers hold the store's counts, made anew (count + 10) when they do not.
    bool EnsureLineBuffers(platform::gfx::Device& device, std::size_t indices, std::size_t vertices);

    // Where an object was put: the translucent list, or the batch of its key then.
    struct ObjectPlace
    {
        bool translucent;
        std::uint64_t key;
    };

    std::map<std::uint64_t, std::vector<DrawObject*>> m_batches;
    std::vector<DrawObject*> m_translucent;
    std::unordered_map<const DrawObject*, ObjectPlace> m_objectPlaces;
    // Position, normal and texture coordinates: the 32-byte mesh vertex.
    std::shared_ptr<platform::gfx::VertexDeclaration> m_objectDeclaration;
    // The same with the per-instance stream 1, and that stream's buffer.
    std::shared_ptr<platform::gfx::VertexDeclaration> m_instancedObjectDeclaration;
    std::shared_ptr<platform::gfx::VertexBuffer> m_instanceBuffer;
    std::shared_ptr<platform::gfx::IndexBuffer> m_lineIndices;
    std::shared_ptr<platform::gfx::VertexBuffer> m_lineVertices;
    std::shared_ptr<platform::gfx::VertexDeclaration> m_lineDeclaration;
    std::size_t m_lineIndexCapacity = 0;
    std::size_t m_lineVertexCapacity = 0;
    std::map<EmitterKey, std::vector<ParticleEmitter*>> m_emitterBatches;
    std::unordered_map<const ParticleEmitter*, EmitterKey> m_emitterKeys;
    std::vector<ParticleVertex> m_particleVertices;
    std::shared_ptr<platform::gfx::VertexBuffer> m_particleBuffer;
    std::shared_ptr<platform::gfx::VertexDeclaration> m_particleDeclaration;
    std::vector<PointLight*> m_lights;
    std::vector<LightInstance> m_lightInstances;
    std::shared_ptr<platform::gfx::VertexBuffer> m_lightInstanceBuffer;
    std::shared_ptr<platform::gfx::VertexDeclaration> m_lightDeclaration;
    // The unit disc the lights are drawn with: a fan of 32 triangles, made once and kept across resets.
    static constexpr std::uint16_t kDiscVertices = 33;
    std::shared_ptr<platform::gfx::VertexBuffer> m_discVertices;
    std::shared_ptr<platform::gfx::IndexBuffer> m_discIndices;
};

} // namespace Quarn
