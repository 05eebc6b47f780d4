#pragma once

#include "platform/gfx/Types.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Quarn::platform::gfx
{

struct BufferDesc
{
    std::uint32_t size = 0; // bytes
    std::uint32_t usage = 0;
    Pool pool = Pool::Default;
    IndexFormat indexFormat = IndexFormat::Index16; // index buffers only
};

// Device memory for vertices or indices. Lock gives the bytes from offset on (size 0: to the end) until
// Unlock; one lock at a time.
class Buffer
{
public:
    virtual ~Buffer() = default;
    const BufferDesc& GetDesc() const { return m_desc; }
    virtual Result Lock(std::uint32_t offset, std::uint32_t size, void*& data, std::uint32_t flags) = 0;
    virtual Result Unlock() = 0;

protected:
    explicit Buffer(const BufferDesc& desc) : m_desc(desc) {}

private:
    BufferDesc m_desc;
};

class VertexBuffer : public Buffer
{
protected:
    using Buffer::Buffer;
};

class IndexBuffer : public Buffer
{
protected:
    using Buffer::Buffer;
};

struct SurfaceDesc
{
    Format format = Format::Unknown;
    std::uint32_t usage = 0;
    Pool pool = Pool::Default;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

struct LockedRect
{
    std::int32_t pitch = 0; // bytes from one row (of blocks, when compressed) to the next
    void* bits = nullptr;
};

// A two-dimensional image: the back buffer, a render target, a depth-stencil surface, a level of a
// texture or a plain surface in system memory. Rows run from the top.
class Surface
{
public:
    virtual ~Surface() = default;
    const SurfaceDesc& GetDesc() const { return m_desc; }
    // The pixels of rect (null: all of it; compressed formats lock whole blocks). Depth surfaces and
    // render targets cannot be locked.
    virtual Result LockRect(LockedRect& locked, const Rect* rect, std::uint32_t flags) = 0;
    virtual Result UnlockRect() = 0;

protected:
    explicit Surface(const SurfaceDesc& desc) : m_desc(desc) {}

private:
    SurfaceDesc m_desc;
};

// A texture with its chain of levels, each half the size of the one before (at least 1 x 1).
class Texture
{
public:
    virtual ~Texture() = default;
    std::uint32_t LevelCount() const { return static_cast<std::uint32_t>(m_levels.size()); }
    Result GetLevelDesc(std::uint32_t level, SurfaceDesc& desc) const;
    Result GetSurfaceLevel(std::uint32_t level, std::shared_ptr<Surface>& surface) const;
    Result LockRect(std::uint32_t level, LockedRect& locked, const Rect* rect, std::uint32_t flags);
    Result UnlockRect(std::uint32_t level);

protected:
    Texture() = default;
    std::vector<std::shared_ptr<Surface>> m_levels;
};

// The number of levels a full chain down to 1 x 1 has.
std::uint32_t FullLevelCount(std::uint32_t width, std::uint32_t height);

// The type of one vertex element in memory. Colour is a packed colour (bytes blue, green, red, alpha),
// read as four channels from 0 to 1 in red, green, blue, alpha order.
enum class DeclType : std::uint8_t
{
    Float1,
    Float2,
    Float3,
    Float4,
    Colour,
    UByte4,
    UByte4N,
    Short2,
    Short4,
};

// What a vertex element is for. PositionT is a position already on the target: x and y in pixels, z in
// the depth range and the reciprocal of w; a declaration with one is drawn without a vertex shader.
enum class DeclUsage : std::uint8_t
{
    Position,
    BlendWeight,
    Normal,
    PointSize,
    TexCoord,
    Tangent,
    Binormal,
    PositionT,
    Colour,
};

struct VertexElement
{
    std::uint16_t stream = 0;
    std::uint16_t offset = 0;
    DeclType type = DeclType::Float4;
    DeclUsage usage = DeclUsage::Position;
    std::uint8_t usageIndex = 0;
    friend bool operator==(const VertexElement&, const VertexElement&) = default;
};

// The shader input an element feeds: shaders declare their inputs at these locations
// (layout(location = N)). Position and PositionT share 0; colours 0 and 1 take 1 and 2; texture
// coordinates 0 to 7 take 3 to 10; normal 11, point size 12, tangent 13, binormal 14, blend weight 15;
// -1 for an element no location is kept for.
int AttributeLocation(DeclUsage usage, std::uint8_t usageIndex);
inline constexpr int kTexCoordLocations = 8;

// The vertex layout of the streams a draw reads.
class VertexDeclaration
{
public:
    virtual ~VertexDeclaration() = default;
    const std::vector<VertexElement>& Elements() const { return m_elements; }
    bool IsPreTransformed() const { return m_preTransformed; }

protected:
    explicit VertexDeclaration(std::vector<VertexElement> elements);

private:
    std::vector<VertexElement> m_elements;
    bool m_preTransformed = false;
};

enum class ShaderStage : std::uint8_t
{
    Vertex,
    Pixel,
};

// A compiled shader stage (GLSL 4.50). Its uniforms are set by location; samplers take the texture of
// the sampler slot their binding names (layout(binding = N)). A shader stage without a vertex stage of
// its own over a pre-transformed declaration receives the vertex colour at input location 0 and texture
// coordinates 0 to 3 at locations 1 to 4, all as vec4.
class Shader
{
public:
    virtual ~Shader() = default;
    ShaderStage Stage() const { return m_stage; }
    // -1 when the shader has no uniform of that name (an array's first element also answers to its
    // name without "[0]").
    virtual int UniformLocation(std::string_view name) const = 0;
    // As many values as the uniform takes, in its own order (matrices by columns of the shader's view);
    // floats for float, vector and matrix uniforms, ints for int, bool and sampler ones.
    virtual Result SetFloats(int location, std::span<const float> values) = 0;
    virtual Result SetInts(int location, std::span<const std::int32_t> values) = 0;

protected:
    explicit Shader(ShaderStage stage) : m_stage(stage) {}

private:
    ShaderStage m_stage;
};

} // namespace Quarn::platform::gfx
