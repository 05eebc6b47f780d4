#pragma once

#include <memory>
#include <string>
#include <vector>

namespace Quarn
{

class DrawObject;
class ParticleEmitter;
class PointLight;

namespace platform::gfx
{
class Device;
class Effect;
class IndexBuffer;
class VertexBuffer;
class VertexDeclaration;
} // namespace platform::gfx

// Everything drawable, by group: objects, particle emitters, point lights and the full-screen quad's
// vertex layout. Batching, the particle and light buffers and the drawing of objects, particles and
// lights come with the draw-group layer; until then those groups only hold their members.
class DrawGroups
{
public:
    DrawGroups();
    ~DrawGroups();

    void AddObject(DrawObject* object);
    void RemoveObject(DrawObject* object);
    void AddEmitter(ParticleEmitter* emitter);
    void RemoveEmitter(ParticleEmitter* emitter);
    // The light list keeps its order; removal takes the first entry equal to the light.
    void AddPointLight(PointLight* light);
    void RemovePointLight(PointLight* light);
    const std::vector<PointLight*>& GetPointLights() const { return m_lights; }
    const std::vector<DrawObject*>& GetObjects() const { return m_objects; }
    const std::vector<ParticleEmitter*>& GetEmitters() const { return m_emitters; }

    void UpdateParticles(float dt, float gameTime);
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

private:
    void DrawScreenQuad(platform::gfx::Effect& effect, platform::gfx::Device* device);
    // Makes sure the line buffers hold the store's counts, made anew (count + 10) when they do not.
    bool EnsureLineBuffers(platform::gfx::Device& device, std::size_t indices, std::size_t vertices);

    std::vector<DrawObject*> m_objects;
    std::shared_ptr<platform::gfx::IndexBuffer> m_lineIndices;
    std::shared_ptr<platform::gfx::VertexBuffer> m_lineVertices;
    std::shared_ptr<platform::gfx::VertexDeclaration> m_lineDeclaration;
    std::size_t m_lineIndexCapacity = 0;
    std::size_t m_lineVertexCapacity = 0;
    std::vector<ParticleEmitter*> m_emitters;
    std::vector<PointLight*> m_lights;
};

} // namespace Quarn
