#include "Graphics/DrawGroups.h"

#include "Graphics/DebugLineManager.h"
#include "Graphics/GraphicsError.h"
#include "platform/gfx/Device.h"

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

void DrawGroups::Draw(const std::string& group, Effect&, platform::gfx::Device* device)
{
    if (group == "lines")
        DrawLines(device);
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
