#include "Graphics/DrawGroups.h"

#include "Core/LowerCase.h"
#include "Core/SystemManager.h"
#include "Core/TimeManager.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/PhysicsObject.h"
#include "GameObjects/Transform.h"
#include "Graphics/DebugLineManager.h"
#include "Graphics/DrawObject.h"
#include "Graphics/GraphicsError.h"
#include "Graphics/Mesh.h"
#include "Graphics/ParticleEmitter.h"
#include "Graphics/PointLight.h"
#include "Graphics/Texture.h"
#include "Graphics/TextureAtlas.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/EffectFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace Quarn
{

namespace
{
namespace gfx = platform::gfx;

template <typename T> void EraseFirst(std::vector<T*>& list, T* item)
{
    const auto found = std::find(list.begin(), list.end(), item);
    if (found != list.end())
        list.erase(found);
}

constexpr int kGroupShift = 48;

float ObjectZ(const DrawObject* object)
{
    const Transform* transform = object->GetOwner() ? object->GetOwner()->Get<Transform>() : nullptr;
    return transform ? transform->Position.z : 0.0f;
}

// The current timer's total time, which atlas animation counts from.
float AnimationClock()
{
    SystemManager* systems = SystemManager::Instance();
    return systems ? static_cast<float>(systems->GetTimeManager().GetCurrentTimer()->GetTotalTime()) : 0.0f;
}

struct ObjectParameters
{
    gfx::EffectHandle world;
    gfx::EffectHandle frame;
    gfx::EffectHandle velocityEdgeAlpha;
};

// What one object is drawn with besides its mesh and texture: world matrix (by rows), atlas frame, and
// velocity, edge lighting and alpha. Instanced drawing uploads it as it is.
struct ObjectInstance
{
    std::array<float, 16> world;
    TextureAtlas::Rectangle frame;
    std::array<float, 4> velocityEdgeAlpha;
};
static_assert(sizeof(ObjectInstance) == 96);

ObjectInstance InstanceOf(DrawObject& object, float clock)
{
    ObjectInstance instance{};
    GameObject* owner = object.GetOwner();
    const PhysicsObject* physics = owner ? owner->Get<PhysicsObject>() : nullptr;
    instance.velocityEdgeAlpha = {physics ? physics->m_velocity.x : 0.0f,
                                  physics ? physics->m_velocity.y : 0.0f, object.m_edgeLighting,
                                  object.m_alpha};
    instance.frame = object.m_textureAtlas && object.m_textureAtlas->IsLoaded()
                         ? object.m_textureAtlas->GetFrame(object.m_frameName, object.CurrentFrame(clock))
                         : TextureAtlas::kWholeTexture;
    Transform* transform = owner ? owner->Get<Transform>() : nullptr;
    const Matrix4 world = !transform ? Matrix4()
                          : object.m_pitch == 0.0f && object.m_yaw == 0.0f
                              ? transform->GetWorldMatrix()
                              : transform->GetWorldMatrixYawPitch(object.m_pitch, object.m_yaw);
    std::copy_n(world.Data(), 16, instance.world.begin());
    return instance;
}

// Sampler 0's filters: linear or point, and no mip filter when the object turns mip-maps off.
void SetFilters(const DrawObject& object, gfx::Device& device)
{
    const std::uint32_t filter = object.m_interpolatedTexture ? gfx::kFilterLinear : gfx::kFilterPoint;
    device.SetSamplerState(0, gfx::SamplerState::MinFilter, filter);
    device.SetSamplerState(0, gfx::SamplerState::MipFilter, object.m_mipMap ? filter : gfx::kFilterNone);
    device.SetSamplerState(0, gfx::SamplerState::MagFilter, filter);
}

bool IsDrawn(const DrawObject& object)
{
    return object.m_visible && object.m_mesh;
}

// Sets what one object is drawn with on the effect, then draws its mesh (already set up).
void DrawOne(DrawObject& object, const ObjectParameters& parameters, float clock, gfx::Effect& effect,
             gfx::Device& device)
{
    if (!IsDrawn(object))
        return;
    const ObjectInstance instance = InstanceOf(object, clock);
    effect.SetFloats(parameters.velocityEdgeAlpha, instance.velocityEdgeAlpha);
    effect.SetFloats(parameters.frame, instance.frame);
    effect.SetFloats(parameters.world, instance.world);
    SetFilters(object, device);
    effect.CommitChanges();
    object.m_mesh->Draw(device);
}

// Whether the pass draws object groups instanced (its annotation "Instancing" is true).
bool IsInstancing(const gfx::Effect& effect)
{
    const gfx::EffectPass* pass = effect.ActivePass();
    const gfx::EffectAnnotation* instancing =
        pass ? gfx::FindAnnotation(pass->annotations, "Instancing") : nullptr;
    return instancing && !instancing->value.numbers.empty() && instancing->value.numbers[0] != 0.0f;
}

} // namespace

DrawGroups::DrawGroups() = default;

DrawGroups::~DrawGroups() = default;

std::uint16_t DrawGroups::GroupId(const std::string& lowerCaseName)
{
    static std::unordered_map<std::string, std::uint16_t> ids;
    return ids.try_emplace(lowerCaseName, static_cast<std::uint16_t>(ids.size())).first->second;
}

std::uint64_t DrawGroups::BatchKey(const DrawObject& object)
{
    const std::uint64_t mesh = object.m_mesh ? object.m_mesh->GetId() : 0;
    const std::uint64_t texture = object.m_texture ? object.m_texture->GetId() : 0;
    return std::uint64_t{GroupId(LowerCase(object.m_drawGroup))} << kGroupShift | mesh << 32 | texture;
}

void DrawGroups::AddObject(DrawObject* object)
{
    RemoveObject(object);
    const ObjectPlace place{object->m_hasAlpha, object->m_hasAlpha ? 0 : BatchKey(*object)};
    m_objectPlaces.emplace(object, place);
    if (place.translucent)
        m_translucent.push_back(object);
    else
        m_batches[place.key].push_back(object);
}

void DrawGroups::RemoveObject(DrawObject* object)
{
    const auto placed = m_objectPlaces.find(object);
    if (placed == m_objectPlaces.end())
        return;
    const ObjectPlace place = placed->second;
    m_objectPlaces.erase(placed);
    if (place.translucent)
    {
        std::erase(m_translucent, object);
        return;
    }
    const auto batch = m_batches.find(place.key);
    if (batch == m_batches.end())
        return;
    EraseFirst(batch->second, object);
    if (batch->second.empty())
        m_batches.erase(batch);
}

DrawGroups::EmitterKey DrawGroups::KeyOf(const ParticleEmitter& emitter)
{
    return {emitter.m_blending, emitter.m_texture.Get()};
}

void DrawGroups::AddEmitter(ParticleEmitter* emitter)
{
    RemoveEmitter(emitter);
    const EmitterKey key = KeyOf(*emitter);
    m_emitterKeys.emplace(emitter, key);
    m_emitterBatches[key].push_back(emitter);
}

void DrawGroups::RemoveEmitter(ParticleEmitter* emitter)
{
    const auto keyed = m_emitterKeys.find(emitter);
    if (keyed == m_emitterKeys.end())
        return;
    const auto batch = m_emitterBatches.find(keyed->second);
    m_emitterKeys.erase(keyed);
    if (batch == m_emitterBatches.end())
        return;
    EraseFirst(batch->second, emitter);
    if (batch->second.empty())
        m_emitterBatches.erase(batch);
}

void DrawGroups::AddPointLight(PointLight* light)
{
    m_lights.push_back(light);
}

void DrawGroups::RemovePointLight(PointLight* light)
{
    EraseFirst(m_lights, light);
}

void DrawGroups::UpdateParticles(float dt, float gameTime)
{
    if (m_particlesOff)
        return;
    for (auto& [key, emitters] : m_emitterBatches)
        for (ParticleEmitter* emitter : emitters)
            emitter->Emit(dt);
    for (auto& [key, emitters] : m_emitterBatches)
        for (ParticleEmitter* emitter : emitters)
            emitter->Step(dt, gameTime);
}

void DrawGroups::PreparePointLights(gfx::Device* device)
{
    m_lightInstances.clear();
    for (const PointLight* light : m_lights)
    {
        const Transform* transform = light->GetOwner() ? light->GetOwner()->Get<Transform>() : nullptr;
        const Vector4 at = transform ? transform->Position : Vector4(0.0f, 0.0f, 0.0f, 0.0f);
        m_lightInstances.push_back({at.x + light->m_offset.x, at.y + light->m_offset.y,
                                    at.z + light->m_offset.z, light->m_radius, light->m_diffuse.value,
                                    light->m_specular.value});
    }
    if (device && !m_lightInstances.empty())
        UploadRecords(*device, m_lightInstanceBuffer, m_lightInstances.data(), m_lightInstances.size(),
                      sizeof(LightInstance), gfx::kUsageDynamic | gfx::kUsageWriteOnly);
}

void DrawGroups::PrepareParticles(gfx::Device* device)
{
    m_particleVertices.clear();
    if (m_particlesOff)
        return;
    for (const auto& [key, emitters] : m_emitterBatches)
        for (const ParticleEmitter* emitter : emitters)
            for (const ParticleEmitter::Particle& particle : emitter->m_particles)
            {
                const float t =
                    particle.totalLife > 0.0f ? 1.0f - particle.remainingLife / particle.totalLife : 1.0f;
                m_particleVertices.push_back({particle.position.x, particle.position.y, particle.position.z,
                                              1.0f, 1.0f, 1.0f,
                                              ParticleEmitter::ValueAt(particle.visibility, t),
                                              ParticleEmitter::ValueAt(particle.size, t)});
            }
    if (device && !m_particleVertices.empty())
        UploadRecords(*device, m_particleBuffer, m_particleVertices.data(), m_particleVertices.size(),
                      sizeof(ParticleVertex), gfx::kUsageDynamic | gfx::kUsageWriteOnly | gfx::kUsagePoints);
}

void DrawGroups::Draw(const std::string& group, platform::gfx::Effect& effect, platform::gfx::Device* device)
{
    const std::string name = LowerCase(group);
    if (name == "lights")
    {
        if (device)
            DrawLights(effect, *device);
    }
    else if (name == "screen" || name == "directional_light")
        DrawScreenQuad(effect, device);
    else if (name == "particles")
    {
        if (device && !m_particlesOff)
            DrawParticles(effect, *device);
    }
    else if (name == "lines")
        DrawLines(device);
    else if (name == "text")
    {
        if (m_renderText)
            m_renderText();
    }
    else if (device)
        DrawObjectGroup(name, effect, *device);
}

bool DrawGroups::IsEmpty(const std::string& group) const
{
    const std::string name = LowerCase(group);
    if (name == "lights")
        return m_lights.empty();
    if (name == "screen")
        return false;
    if (name == "particles")
        return m_emitterBatches.empty();
    if (name == "lines")
    {
        const DebugLineManager* lines = DebugLineManager::Current();
        return !lines || lines->Indices().empty();
    }
    if (name == "directional_light")
        return !m_directionalLightOn;
    // Read as an object group, a pass drawing "text" would never run; the texts decide.
    if (name == "text" && m_hasText && m_hasText())
        return false;
    const std::uint64_t first = std::uint64_t{GroupId(name)} << kGroupShift;
    const auto batch = m_batches.lower_bound(first);
    if (batch != m_batches.end() && batch->first >> kGroupShift == first >> kGroupShift)
        return false;
    // Translucent objects are matched by their group string as written.
    return std::none_of(m_translucent.begin(), m_translucent.end(),
                        [&](const DrawObject* object) { return object->m_drawGroup == name; });
}

const std::shared_ptr<gfx::Texture>& DrawGroups::TextureFor(const DrawObject& object) const
{
    static const std::shared_ptr<gfx::Texture> none;
    if (object.m_screenTexture)
        return m_screenTexture;
    if (object.m_picture >= 0 && object.m_picture < static_cast<std::int32_t>(m_pictures.size()) &&
        m_pictures[static_cast<std::size_t>(object.m_picture)])
        return m_pictures[static_cast<std::size_t>(object.m_picture)];
    return object.m_texture ? object.m_texture->GetTexture() : none;
}

void DrawGroups::BindTexture(const DrawObject& object, gfx::Effect& effect) const
{
    effect.SetTexture(effect.GetParameterBySemantic("TEXTURE"), TextureFor(object));
}

void DrawGroups::DrawObjectGroup(const std::string& name, gfx::Effect& effect, gfx::Device& device)
{
    const std::uint64_t group = GroupId(name);
    const bool instancing = IsInstancing(effect);
    std::shared_ptr<gfx::VertexDeclaration>& declaration =
        instancing ? m_instancedObjectDeclaration : m_objectDeclaration;
    if (!declaration)
    {
        std::vector<gfx::VertexElement> elements = {
            {0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0},
            {0, 12, gfx::DeclType::Float3, gfx::DeclUsage::Normal, 0},
            {0, 24, gfx::DeclType::Float2, gfx::DeclUsage::TexCoord, 0}};
        if (instancing)
            elements.insert(elements.end(), {{1, 0, gfx::DeclType::Float4, gfx::DeclUsage::TexCoord, 4},
                                             {1, 16, gfx::DeclType::Float4, gfx::DeclUsage::TexCoord, 5},
                                             {1, 32, gfx::DeclType::Float4, gfx::DeclUsage::TexCoord, 6},
                                             {1, 48, gfx::DeclType::Float4, gfx::DeclUsage::TexCoord, 7},
                                             {1, 64, gfx::DeclType::Float4, gfx::DeclUsage::Tangent, 0},
                                             {1, 80, gfx::DeclType::Float4, gfx::DeclUsage::Binormal, 0}});
        device.CreateVertexDeclaration(elements, declaration);
    }
    device.SetVertexDeclaration(declaration);
    device.SetStreamSourceFreq(1, 1);
    device.SetStreamSource(1, nullptr, 0, 0);
    device.SetRenderState(gfx::RenderState::CullMode, gfx::kCullNone);
    const float clock = AnimationClock();
    std::sort(m_translucent.begin(), m_translucent.end(),
              [](const DrawObject* a, const DrawObject* b) { return ObjectZ(a) < ObjectZ(b); });
    const auto inGroup = [&](const DrawObject* object) { return object->m_drawGroup == name; };

    if (instancing)
    {
        DrawInstanced(group, inGroup, clock, effect, device);
    }
    else
    {
        const ObjectParameters parameters{effect.GetParameterBySemantic("WORLD"),
                                          effect.GetParameterBySemantic("FRAME"),
                                          effect.GetParameterBySemantic("VELOCITY_EDGE_ALPHA")};
        for (auto batch = m_batches.lower_bound(group << kGroupShift);
             batch != m_batches.end() && batch->first >> kGroupShift == group; ++batch)
        {
            DrawObject& first = *batch->second.front();
            if (!first.m_mesh || !first.m_mesh->SetUp(device))
                continue;
            BindTexture(first, effect);
            for (DrawObject* object : batch->second)
                DrawOne(*object, parameters, clock, effect, device);
        }
        device.SetRenderState(gfx::RenderState::ZWriteEnable, 0);
        device.SetRenderState(gfx::RenderState::CullMode, gfx::kCullNone);
        for (DrawObject* object : m_translucent)
        {
            if (!inGroup(object) || !object->m_mesh || !object->m_mesh->SetUp(device))
                continue;
            BindTexture(*object, effect);
            DrawOne(*object, parameters, clock, effect, device);
        }
    }
    device.SetRenderState(gfx::RenderState::ZWriteEnable, 1);
    device.SetRenderState(gfx::RenderState::CullMode, gfx::kCullCounterClockwise);
    device.SetStreamSourceFreq(0, 1);
    device.SetStreamSourceFreq(1, 1);
}

template <class InGroup>
void DrawGroups::DrawInstanced(std::uint64_t group, const InGroup& inGroup, float clock, gfx::Effect& effect,
                               gfx::Device& device)
{
    // Runs of objects that share mesh, texture and filters, in drawing order: the opaque ones by
    // batch, then the translucent ones by z. Each run is one draw.
    struct Run
    {
        DrawObject* first;
        std::uint32_t start;
        std::uint32_t count;
    };
    std::vector<ObjectInstance> instances;
    std::vector<Run> runs;
    const auto add = [&](DrawObject& object)
    {
        if (!IsDrawn(object))
            return;
        const DrawObject* last = runs.empty() ? nullptr : runs.back().first;
        if (!last || last->m_mesh.Get() != object.m_mesh.Get() || TextureFor(*last) != TextureFor(object) ||
            last->m_interpolatedTexture != object.m_interpolatedTexture || last->m_mipMap != object.m_mipMap)
            runs.push_back({&object, static_cast<std::uint32_t>(instances.size()), 0});
        instances.push_back(InstanceOf(object, clock));
        ++runs.back().count;
    };
    for (auto batch = m_batches.lower_bound(group << kGroupShift);
         batch != m_batches.end() && batch->first >> kGroupShift == group; ++batch)
        for (DrawObject* object : batch->second)
            add(*object);
    const std::size_t opaqueRuns = runs.size();
    // A translucent object never joins an opaque run: the depth writes change between them.
    runs.push_back({nullptr, 0, 0});
    for (DrawObject* object : m_translucent)
        if (inGroup(object))
            add(*object);
    if (instances.empty() ||
        !UploadRecords(device, m_instanceBuffer, instances.data(), instances.size(), sizeof(ObjectInstance),
                       gfx::kUsageDynamic | gfx::kUsageWriteOnly))
        return;

    const Mesh* boundMesh = nullptr;
    for (std::size_t i = 0; i < runs.size(); ++i)
    {
        const Run& run = runs[i];
        if (i == opaqueRuns)
        {
            device.SetRenderState(gfx::RenderState::ZWriteEnable, 0);
            device.SetRenderState(gfx::RenderState::CullMode, gfx::kCullNone);
        }
        if (!run.first)
            continue;
        Mesh& mesh = *run.first->m_mesh;
        if (&mesh != boundMesh && !mesh.SetUp(device))
            continue;
        boundMesh = &mesh;
        BindTexture(*run.first, effect);
        SetFilters(*run.first, device);
        device.SetStreamSource(1, m_instanceBuffer,
                               run.start * static_cast<std::uint32_t>(sizeof(ObjectInstance)),
                               sizeof(ObjectInstance));
        device.SetStreamSourceFreq(0, gfx::kStreamIndexedData | run.count);
        device.SetStreamSourceFreq(1, gfx::kStreamInstanceData | 1);
        effect.CommitChanges();
        mesh.Draw(device);
    }
}

bool DrawGroups::UploadRecords(gfx::Device& device, std::shared_ptr<gfx::VertexBuffer>& buffer,
                               const void* records, std::size_t count, std::size_t recordSize,
                               std::uint32_t usage)
{
    const std::size_t size = count * recordSize;
    if (!buffer || buffer->GetDesc().size < size)
    {
        buffer.reset();
        const gfx::Result made = device.CreateVertexBuffer(
            static_cast<std::uint32_t>((2 * count + 10) * recordSize), usage, gfx::Pool::Default, buffer);
        if (made.Failed())
        {
            QUARN_GRAPHICS_ERROR(made, "Failed to create vertex buffer");
            return false;
        }
    }
    void* data = nullptr;
    const gfx::Result locked = buffer->Lock(0, static_cast<std::uint32_t>(size), data, gfx::kLockDiscard);
    if (locked.Failed())
    {
        QUARN_GRAPHICS_ERROR(locked, "Failed to lock vertex buffer");
        return false;
    }
    std::memcpy(data, records, size);
    buffer->Unlock();
    return true;
}

void DrawGroups::DrawParticles(gfx::Effect& effect, gfx::Device& device)
{
    if (m_particleVertices.empty() || !m_particleBuffer)
        return;
    if (!m_particleDeclaration)
    {
        const gfx::VertexElement elements[] = {{0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0},
                                               {0, 12, gfx::DeclType::Float4, gfx::DeclUsage::Colour, 0},
                                               {0, 28, gfx::DeclType::Float1, gfx::DeclUsage::PointSize, 0}};
        device.CreateVertexDeclaration(elements, m_particleDeclaration);
    }
    device.SetStreamSource(0, m_particleBuffer, 0, sizeof(ParticleVertex));
    device.SetVertexDeclaration(m_particleDeclaration);
    const gfx::EffectHandle texture = effect.GetParameterBySemantic("TEXTURE");
    const auto blend = [&device](std::uint32_t op, std::uint32_t destination)
    {
        device.SetRenderState(gfx::RenderState::BlendOp, op);
        device.SetRenderState(gfx::RenderState::ZFunc, gfx::kCompareAlways);
        device.SetRenderState(gfx::RenderState::SrcBlend, gfx::kBlendSrcAlpha);
        device.SetRenderState(gfx::RenderState::DestBlend, destination);
    };
    std::uint32_t start = 0;
    for (const auto& [key, emitters] : m_emitterBatches)
    {
        std::uint32_t count = 0;
        for (const ParticleEmitter* emitter : emitters)
            count += static_cast<std::uint32_t>(emitter->m_particles.size());
        if (count == 0)
            continue;
        effect.SetTexture(texture, key.second ? key.second->GetTexture() : nullptr);
        if (key.first == 0)
            blend(gfx::kBlendOpAdd, gfx::kBlendInvSrcAlpha);
        else if (key.first == 1)
            blend(gfx::kBlendOpAdd, gfx::kBlendOne);
        else if (key.first == 2)
            blend(gfx::kBlendOpRevSubtract, gfx::kBlendInvSrcAlpha);
        effect.CommitChanges();
        device.DrawPrimitive(gfx::PrimitiveType::PointList, start, count);
        blend(gfx::kBlendOpAdd, gfx::kBlendInvSrcAlpha);
        start += count;
    }
}

void DrawGroups::DrawLights(gfx::Effect& effect, gfx::Device& device)
{
    if (m_lightInstances.empty() || !m_lightInstanceBuffer || !MakeDisc(device))
        return;
    if (!m_lightDeclaration)
    {
        const gfx::VertexElement elements[] = {{0, 0, gfx::DeclType::Float4, gfx::DeclUsage::Position, 0},
                                               {1, 0, gfx::DeclType::Float4, gfx::DeclUsage::TexCoord, 1},
                                               {1, 16, gfx::DeclType::Colour, gfx::DeclUsage::Colour, 0},
                                               {1, 20, gfx::DeclType::Colour, gfx::DeclUsage::Colour, 1}};
        device.CreateVertexDeclaration(elements, m_lightDeclaration);
    }
    const auto lights = static_cast<std::uint32_t>(m_lightInstances.size());
    device.SetVertexDeclaration(m_lightDeclaration);
    device.SetStreamSource(0, m_discVertices, 0, 4 * sizeof(float));
    device.SetStreamSourceFreq(0, gfx::kStreamIndexedData | lights);
    device.SetStreamSource(1, m_lightInstanceBuffer, 0, sizeof(LightInstance));
    device.SetStreamSourceFreq(1, gfx::kStreamInstanceData | 1);
    device.SetIndices(m_discIndices);
    effect.CommitChanges();
    device.DrawIndexedPrimitive(gfx::PrimitiveType::TriangleFan, 0, 0, kDiscVertices, 0, kDiscVertices - 1);
    device.SetStreamSourceFreq(0, 1);
    device.SetStreamSourceFreq(1, 1);
}

bool DrawGroups::MakeDisc(gfx::Device& device)
{
    if (m_discVertices && m_discIndices)
        return true;
    // The centre, then 32 points on the unit circle; the fan closes on the first of them.
    std::array<float, 4 * kDiscVertices> vertices{};
    std::array<std::uint16_t, kDiscVertices + 1> indices{};
    for (std::uint32_t i = 0; i + 1 < kDiscVertices; ++i)
    {
        const float a = static_cast<float>(i) * 2.0f * 3.1415927f / static_cast<float>(kDiscVertices - 1);
        vertices[4 * (i + 1)] = std::sin(a);
        vertices[4 * (i + 1) + 1] = std::cos(a);
    }
    for (std::uint16_t i = 0; i < kDiscVertices; ++i)
        indices[i] = i;
    indices[kDiscVertices] = 1;
    std::shared_ptr<gfx::VertexBuffer> discVertices;
    std::shared_ptr<gfx::IndexBuffer> discIndices;
    void* data = nullptr;
    if (device.CreateVertexBuffer(sizeof vertices, gfx::kUsageWriteOnly, gfx::Pool::Managed, discVertices)
            .Failed() ||
        discVertices->Lock(0, 0, data, 0).Failed())
        return false;
    std::memcpy(data, vertices.data(), sizeof vertices);
    discVertices->Unlock();
    if (device
            .CreateIndexBuffer(sizeof indices, gfx::kUsageWriteOnly, gfx::IndexFormat::Index16,
                               gfx::Pool::Managed, discIndices)
            .Failed() ||
        discIndices->Lock(0, 0, data, 0).Failed())
        return false;
    std::memcpy(data, indices.data(), sizeof indices);
    discIndices->Unlock();
    m_discVertices = std::move(discVertices);
    m_discIndices = std::move(discIndices);
    return true;
}

void DrawGroups::DrawScreenQuad(platform::gfx::Effect& effect, platform::gfx::Device* device)
{
    namespace gfx = platform::gfx;
    if (!device)
        return;
    // Render target 0 may be held as null, meaning the back buffer.
    std::shared_ptr<gfx::Surface> target = device->GetRenderTarget(0);
    if (!target)
        target = device->GetBackBuffer();
    if (!target || !m_quadDeclaration)
        return;
    const auto w = static_cast<float>(target->GetDesc().width);
    const auto h = static_cast<float>(target->GetDesc().height);
    // Pixel centres lie on whole numbers: the quad's corners sit half a pixel before the first and after
    // the last.
    const float quad[] = {-0.5f, -0.5f, 0.5f,     1.0f,     0.0f,     0.0f,  -0.5f, h - 0.5f,
                          0.5f,  1.0f,  0.0f,     1.0f,     w - 0.5f, -0.5f, 0.5f,  1.0f,
                          1.0f,  0.0f,  w - 0.5f, h - 0.5f, 0.5f,     1.0f,  1.0f,  1.0f};
    device->SetStreamSourceFreq(1, 1);
    device->SetStreamSourceFreq(0, 1);
    device->SetVertexDeclaration(m_quadDeclaration);
    effect.CommitChanges();
    device->DrawPrimitiveUP(gfx::PrimitiveType::TriangleStrip, 2, quad, 6 * sizeof(float));
}

bool DrawGroups::EnsureLineBuffers(platform::gfx::Device& device, std::size_t indices, std::size_t vertices)
{
    namespace gfx = platform::gfx;
    constexpr std::uint32_t kDynamic = gfx::kUsageDynamic | gfx::kUsageWriteOnly;
    if (indices > m_lineIndexCapacity || !m_lineIndices)
    {
        m_lineIndexCapacity = indices + 10;
        m_lineIndices.reset();
        device.CreateIndexBuffer(static_cast<std::uint32_t>(m_lineIndexCapacity * sizeof(std::uint16_t)),
                                 kDynamic, gfx::IndexFormat::Index16, gfx::Pool::Default, m_lineIndices);
    }
    if (vertices > m_lineVertexCapacity || !m_lineVertices)
    {
        m_lineVertexCapacity = vertices + 10;
        m_lineVertices.reset();
        device.CreateVertexBuffer(
            static_cast<std::uint32_t>(m_lineVertexCapacity * sizeof(DebugLineManager::LineVertex)), kDynamic,
            gfx::Pool::Default, m_lineVertices);
    }
    return m_lineIndices && m_lineVertices;
}

void DrawGroups::UploadLines(platform::gfx::Device* device)
{
    const DebugLineManager* lines = DebugLineManager::Current();
    if (!device || !lines || lines->Indices().empty())
        return;
    if (!EnsureLineBuffers(*device, lines->Indices().size(), lines->Vertices().size()))
        return;
    const auto copy =
        [](platform::gfx::Buffer& buffer, const void* bytes, std::size_t size, const char* failure)
    {
        void* data = nullptr;
        const platform::gfx::Result locked =
            buffer.Lock(0, static_cast<std::uint32_t>(size), data, platform::gfx::kLockDiscard);
        if (locked.Failed())
        {
            QUARN_GRAPHICS_ERROR(locked, "%s", failure);
            return false;
        }
        std::memcpy(data, bytes, size);
        buffer.Unlock();
        return true;
    };
    if (copy(*m_lineIndices, lines->Indices().data(), lines->Indices().size() * sizeof(std::uint16_t),
             "Failed to lock index buffer"))
        copy(*m_lineVertices, lines->Vertices().data(),
             lines->Vertices().size() * sizeof(DebugLineManager::LineVertex), "Failed to lock vertex buffer");
}

void DrawGroups::DrawLines(platform::gfx::Device* device)
{
    namespace gfx = platform::gfx;
    DebugLineManager* lines = DebugLineManager::Current();
    if (!device || !lines || lines->Indices().empty())
        return;
    if (!EnsureLineBuffers(*device, lines->Indices().size(), lines->Vertices().size()))
        return;
    if (!m_lineDeclaration)
    {
        const gfx::VertexElement elements[] = {{0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0},
                                               {0, 12, gfx::DeclType::Colour, gfx::DeclUsage::Colour, 0}};
        device->CreateVertexDeclaration(elements, m_lineDeclaration);
    }
    device->SetVertexDeclaration(m_lineDeclaration);
    device->SetIndices(m_lineIndices);
    device->SetStreamSource(0, m_lineVertices, 0, sizeof(DebugLineManager::LineVertex));
    device->DrawIndexedPrimitive(gfx::PrimitiveType::LineList, 0, 0,
                                 static_cast<std::uint32_t>(lines->Vertices().size()), 0,
                                 static_cast<std::uint32_t>(lines->Indices().size() / 2));
    lines->Clear();
}

void DrawGroups::OnLostDevice()
{
    m_lineIndices.reset();
    m_lineVertices.reset();
    m_lineDeclaration.reset();
    m_objectDeclaration.reset();
    m_instancedObjectDeclaration.reset();
    m_instanceBuffer.reset();
    m_particleBuffer.reset();
    m_particleDeclaration.reset();
    m_lightInstanceBuffer.reset();
    m_lightDeclaration.reset();
    m_lineIndexCapacity = m_lineVertexCapacity = 0;
}

} // namespace Quarn
