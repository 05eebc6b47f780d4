#pragma once

#include "Resources/ResourceBase.h"
#include "Resources/Serializeable.h"
#include "Resources/SerializerTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace Quarn
{

class ResourceNode;

namespace platform::gfx
{
class Buffer;
class Device;
class IndexBuffer;
class VertexBuffer;
} // namespace platform::gfx

// An indexed triangle mesh: 32-byte vertices, 16-bit indices and the ranges of faces drawn one by one,
// read from a ".tmb" file (a binary serializer stream of Serialize). The bytes read are held until the
// first set-up for drawing makes the device buffers.
class Mesh : public ResourceBase, public Serializeable
{
public:
    static constexpr std::uint32_t kVertexStride = 32;

    // One device buffer as stored: its length, device usage and pool, and its bytes until they are on
    // the device.
    struct BufferBlock
    {
        std::uint32_t size = 0;
        std::uint32_t usage = 0;
        std::int32_t pool = 0;
        std::vector<std::byte> data;
        std::shared_ptr<platform::gfx::Buffer> buffer;
    };

    Mesh();

    static void Load(ResourceNode& node, Mesh& mesh, platform::gfx::Device* device);
    // "Vertex Buffer", "Index Buffer", then the attribute ranges. A length the stream cannot back is
    // refused before anything is allocated and leaves that buffer empty.
    bool Serialize(Serializer& serializer) override;

    // A mesh made in memory (managed pool, write-only), for tools and tests.
    void SetData(std::span<const std::byte> vertices, std::span<const std::uint16_t> indices,
                 std::vector<AttributeRange> ranges);

    // Binds the indices and stream 0 for the draws that follow, making the device buffers first.
    bool SetUp(platform::gfx::Device& device);
    // One indexed triangle-list draw per attribute range; a failed range is reported and the next drawn.
    void Draw(platform::gfx::Device& device) const;

    // Empty when every range lies within the indices and every index within the vertices, which drawing
    // relies on; else what is wrong.
    std::string Fault() const;

    std::uint16_t GetId() const { return m_id; }
    const BufferBlock& Vertices() const { return m_vertices; }
    const BufferBlock& Indices() const { return m_indices; }
    const std::vector<AttributeRange>& Ranges() const { return m_ranges; }

private:
    BufferBlock m_vertices;
    BufferBlock m_indices;
    std::vector<AttributeRange> m_ranges;
    std::uint16_t m_id;
    // False after a read whose stream could not back a buffer's length.
    bool m_whole = true;
};

} // namespace Quarn
