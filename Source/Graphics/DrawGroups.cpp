#include "Graphics/DrawGroups.h"

#include "Core/LowerCase.h"
#include "Graphics/DebugLineManager.h"
#include "Graphics/DrawObject.h"
#include "Graphics/GraphicsError.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/EffectFile.h"

#include <algorithm>
#include <cstring>

namespace Quarn
{

namespace
{
template <typename T> void EraseFirst(std::vector<T*>& list, T* item)
{
    const auto found = std::find(list.begin(), list.end(), item);
    if (found != list.end())
        list.erase(found);
}
} // namespace

DrawGroups::DrawGroups() = default;

DrawGroups::~DrawGroups() = default;

void DrawGroups::AddObject(DrawObject* object)
{
    m_objects.push_back(object);
}

void DrawGroups::RemoveObject(DrawObject* object)
{
    EraseFirst(m_objects, object);
}

void DrawGroups::AddEmitter(ParticleEmitter* emitter)
{
    m_emitters.push_back(emitter);
}

void DrawGroups::RemoveEmitter(ParticleEmitter* emitter)
{
    EraseFirst(m_emitters, emitter);
}

void DrawGroups::AddPointLight(PointLight* light)
{
    m_lights.push_back(light);
}

void DrawGroups::RemovePointLight(PointLight* light)
{
    EraseFirst(m_lights, light);
}

void DrawGroups::UpdateParticles(float, float) {}

void DrawGroups::PreparePointLights(platform::gfx::Device*) {}

void DrawGroups::PrepareParticles(platform::gfx::Device*) {}

void DrawGroups::Draw(const std::string& group, platform::gfx::Effect& effect, platform::gfx::Device* device)
{
    const std::string name = LowerCase(group);
    if (name == "screen" || name == "directional_light")
        DrawScreenQuad(effect, device);
    else if (name == "lines")
        DrawLines(device);
}

bool DrawGroups::IsEmpty(const std::string& group) const
{
    const std::string name = LowerCase(group);
    if (name == "lights")
        return m_lights.empty();
    if (name == "screen")
        return false;
    if (name == "particles")
        return m_emitters.empty();
    if (name == "lines")
    {
        const DebugLineManager* lines = DebugLineManager::Current();
        return !lines || lines->Indices().empty();
    }
    if (name == "directional_light")
        return !m_directionalLightOn;
    // Translucent objects are matched by their group string as written.
    return std::none_of(m_objects.begin(), m_objects.end(),
                        [&](const DrawObject* object)
                        {
                            return object->m_hasAlpha ? object->m_drawGroup == name
                                                      : platform::gfx::SameLetters(object->m_drawGroup, name);
                        });
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
    m_lineIndexCapacity = m_lineVertexCapacity = 0;
}

} // namespace Quarn
