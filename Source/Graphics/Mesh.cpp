#include "Graphics/Mesh.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Core/SystemManager.h"
#include "Graphics/GraphicsError.h"
#include "Resources/ResourceManager.h"
#include "Resources/ResourceNode.h"
#include "platform/gfx/Device.h"

#include <cstring>

namespace Quarn
{

namespace gfx = platform::gfx;

namespace
{

gfx::Pool PoolOf(std::int32_t pool)
{
    switch (pool)
    {
    case static_cast<std::int32_t>(gfx::Pool::Managed):
        return gfx::Pool::Managed;
    case static_cast<std::int32_t>(gfx::Pool::SystemMemory):
        return gfx::Pool::SystemMemory;
    default:
        return gfx::Pool::Default;
    }
}

// Size, usage and pool, each unnamed in an unnamed group, then the bytes.
// False when the stream cannot back the length it gives.
bool SerializeBlock(Serializer& s, Mesh::BufferBlock& block)
{
    if (s.IsOutput() && block.buffer)
    {
        block.usage = block.buffer->GetDesc().usage;
        block.pool = static_cast<std::int32_t>(block.buffer->GetDesc().pool);
    }
    SerializeNamed(s, block.size, "");
    SerializeNamed(s, block.usage, "");
    SerializeNamed(s, block.pool, "");
    if (s.IsInput())
    {
        block.buffer.reset();
        block.data.clear();
        if (block.size > s.RawBytesLeft())
        {
            block.size = 0;
            return false;
        }
        block.data.resize(block.size);
        s.SerializeRaw(block.data.data(), block.size);
        return true;
    }
    void* bytes = nullptr;
    if (block.data.empty() && block.buffer &&
        block.buffer->Lock(0, block.size, bytes, gfx::kLockReadOnly).Succeeded())
    {
        s.SerializeRaw(bytes, block.size);
        block.buffer->Unlock();
        return true;
    }
    block.data.resize(block.size);
    s.SerializeRaw(block.data.data(), block.size);
    return true;
}

bool SerializeBlockNamed(Serializer& s, Mesh::BufferBlock& block, const char* name)
{
    if (!s.Exists(name))
        return true;
    s.BeginGroup(name);
    const bool whole = SerializeBlock(s, block);
    s.EndGroup();
    return whole;
}

// Makes the device buffer of the block, once, and moves its held bytes into it.
template <class Made>
gfx::Result MakeDeviceBuffer(Mesh::BufferBlock& block, gfx::Result made, std::shared_ptr<Made> buffer)
{
    if (made.Failed())
        return made;
    block.buffer = std::move(buffer);
    if (block.data.empty())
        return made;
    void* bytes = nullptr;
    const gfx::Result locked = block.buffer->Lock(0, block.size, bytes, 0);
    if (locked.Failed())
        return locked;
    std::memcpy(bytes, block.data.data(), block.size);
    block.buffer->Unlock();
    block.data = {};
    return locked;
}

} // namespace

Mesh::Mesh() : m_id(NextResourceId()) {}

void Mesh::Load(ResourceNode& node, Mesh& mesh, gfx::Device*)
{
    ResourceNode* file = nullptr;
    if (!node.Filter("tmb", file) || !file->IsFile())
    {
        QUARN_REPORT("Could not load mesh \"%s.tmb\" not found!", node.Name().c_str());
        return;
    }
    SystemManager* systems = SystemManager::Instance();
    if (!systems)
        return;
    std::string fault;
    if (!systems->GetResourceManager().LoadBinaryFile(file->Path(), mesh) || !mesh.m_whole)
        fault = "it ends before the data it describes";
    else
        fault = mesh.Fault();
    if (fault.empty())
        return;
    QUARN_REPORT("Mesh file \"%s\" is damaged: %s.", file->Path().c_str(), fault.c_str());
    mesh.m_ranges.clear();
}

std::string Mesh::Fault() const
{
    const std::size_t indexCount = m_indices.data.size() / sizeof(std::uint16_t);
    const std::size_t vertexCount = m_vertices.data.size() / kVertexStride;
    for (const AttributeRange& range : m_ranges)
    {
        if (std::uint64_t{range.faceStart} + range.faceCount > indexCount / 3)
            return "a range draws faces past the end of its indices";
    }
    for (std::size_t i = 0; i < indexCount; ++i)
    {
        std::uint16_t index = 0;
        std::memcpy(&index, m_indices.data.data() + i * sizeof index, sizeof index);
        if (index >= vertexCount)
            return "an index names a vertex past the end of its vertices";
    }
    return {};
}

bool Mesh::Serialize(Serializer& s)
{
    m_whole = SerializeBlockNamed(s, m_vertices, "Vertex Buffer");
    m_whole = SerializeBlockNamed(s, m_indices, "Index Buffer") && m_whole;
    if (s.Exists("unused;Attribute"))
    {
        s.BeginGroup("unused;Attribute");
        auto count = static_cast<std::uint32_t>(m_ranges.size());
        s.SequenceSize(count, "");
        if (s.IsInput())
            m_ranges.assign(count, AttributeRange{});
        for (AttributeRange& range : m_ranges)
        {
            if (!s.Exists(""))
                continue;
            s.BeginGroup("");
            SerializeAttributeRange(s, range);
            s.EndGroup();
        }
        s.EndGroup();
    }
    return true;
}

void Mesh::SetData(std::span<const std::byte> vertices, std::span<const std::uint16_t> indices,
                   std::vector<AttributeRange> ranges)
{
    const auto fill = [](BufferBlock& block, std::span<const std::byte> bytes)
    {
        block.buffer.reset();
        block.size = static_cast<std::uint32_t>(bytes.size());
        block.usage = gfx::kUsageWriteOnly;
        block.pool = static_cast<std::int32_t>(gfx::Pool::Managed);
        block.data.assign(bytes.begin(), bytes.end());
    };
    fill(m_vertices, vertices);
    fill(m_indices, std::as_bytes(indices));
    m_ranges = std::move(ranges);
}

bool Mesh::SetUp(gfx::Device& device)
{
    gfx::Result result;
    if (!m_indices.buffer)
    {
        std::shared_ptr<gfx::IndexBuffer> made;
        result = device.CreateIndexBuffer(m_indices.size, m_indices.usage, gfx::IndexFormat::Index16,
                                          PoolOf(m_indices.pool), made);
        result = MakeDeviceBuffer(m_indices, result, std::move(made));
    }
    if (result.Succeeded())
        result = device.SetIndices(std::static_pointer_cast<gfx::IndexBuffer>(m_indices.buffer));
    if (result.Failed())
    {
        QUARN_GRAPHICS_ERROR(result, "Failed to set mesh indices");
        return false;
    }
    if (!m_vertices.buffer)
    {
        std::shared_ptr<gfx::VertexBuffer> made;
        result = device.CreateVertexBuffer(m_vertices.size, m_vertices.usage, PoolOf(m_vertices.pool), made);
        result = MakeDeviceBuffer(m_vertices, result, std::move(made));
    }
    if (result.Succeeded())
        result = device.SetStreamSource(0, std::static_pointer_cast<gfx::VertexBuffer>(m_vertices.buffer), 0,
                                        kVertexStride);
    if (result.Failed())
    {
        QUARN_GRAPHICS_ERROR(result, "Failed to set mesh vertices");
        return false;
    }
    return true;
}

void Mesh::Draw(gfx::Device& device) const
{
    for (const AttributeRange& range : m_ranges)
    {
        const gfx::Result drawn =
            device.DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, range.vertexStart,
                                        3 * range.faceCount, 3 * range.faceStart, range.faceCount);
        if (drawn.Failed())
            QUARN_GRAPHICS_ERROR(drawn, "Failed to draw mesh subset!");
    }
}

} // namespace Quarn
