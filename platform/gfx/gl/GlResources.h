#pragma once

#include "platform/gfx/MemorySurface.h"
#include "platform/gfx/Resources.h"
#include "platform/gfx/gl/GlFormats.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>

namespace Quarn::platform::gfx
{

// Whether the GL context the resources of a device were made in is still there: a resource that
// outlives its device has nothing left to delete.
struct GlContextLife
{
    bool alive = true;
};
using GlLife = std::shared_ptr<const GlContextLife>;

// A GL buffer with a copy in the program's memory: locks hand out the copy, and Unlock sends the
// locked range to the GL buffer (a discarding lock first gives the GL buffer fresh storage).
template <typename Base> class GlBuffer final : public Base
{
public:
    GlBuffer(const BufferDesc& desc, GlLife life);
    ~GlBuffer() override;
    Result Lock(std::uint32_t offset, std::uint32_t size, void*& data, std::uint32_t flags) override;
    Result Unlock() override;
    GLuint Name() const { return m_name; }

private:
    GlLife m_life;
    GLuint m_name = 0;
    std::vector<std::uint8_t> m_copy;
    std::uint32_t m_lockOffset = 0;
    std::uint32_t m_lockSize = 0;
    bool m_locked = false;
    bool m_readOnly = false;
};

using GlVertexBuffer = GlBuffer<VertexBuffer>;
using GlIndexBuffer = GlBuffer<IndexBuffer>;

// What the device does with any surface it can draw into or read: attach it to a framebuffer.
class GlAttachable
{
public:
    virtual void AttachTo(GLuint framebuffer, GLenum attachment) const = 0;

protected:
    ~GlAttachable() = default;
};

// A render target or depth-stencil surface that is not part of a texture (the back buffer among them).
class GlRenderbufferSurface final : public Surface, public GlAttachable
{
public:
    GlRenderbufferSurface(const SurfaceDesc& desc, GlLife life);
    ~GlRenderbufferSurface() override;
    Result LockRect(LockedRect&, const Rect*, std::uint32_t) override { return Result::Code::InvalidCall; }
    Result UnlockRect() override { return Result::Code::InvalidCall; }
    void AttachTo(GLuint framebuffer, GLenum attachment) const override;
    bool IsValid() const { return m_name != 0; }

private:
    GlLife m_life;
    GLuint m_name = 0;
};

// The GL texture object, shared by a texture and its level surfaces.
struct GlTextureName
{
    GlTextureName(GLuint name, GlLife life) : name(name), life(std::move(life)) {}
    ~GlTextureName();
    GlTextureName(const GlTextureName&) = delete;
    GlTextureName& operator=(const GlTextureName&) = delete;
    GLuint name;
    GlLife life;
};

// One level of a texture. Lockable levels keep a copy of their pixels; Unlock sends the locked rows (a
// compressed level: the whole level) to the texture.
class GlTextureSurface final : public Surface, public GlAttachable
{
public:
    GlTextureSurface(const SurfaceDesc& desc, std::shared_ptr<GlTextureName> texture, GLint level,
                     const GlFormat& format);
    Result LockRect(LockedRect& locked, const Rect* rect, std::uint32_t flags) override;
    Result UnlockRect() override;
    void AttachTo(GLuint framebuffer, GLenum attachment) const override;

private:
    std::shared_ptr<GlTextureName> m_texture;
    GLint m_level;
    GlFormat m_format;
    std::unique_ptr<MemorySurface> m_copy;
    Rect m_locked;
    bool m_readOnly = false;
};

class GlTexture final : public Texture
{
public:
    // Null name when GL refused the storage.
    GlTexture(const SurfaceDesc& top, std::uint32_t levels, const GlFormat& format, GlLife life);
    GLuint Name() const { return m_name->name; }

private:
    std::shared_ptr<GlTextureName> m_name;
};

// A declaration as a GL vertex array: each element's format at its location, bound to its stream.
class GlDeclaration final : public VertexDeclaration
{
public:
    GlDeclaration(std::vector<VertexElement> elements, GlLife life);
    ~GlDeclaration() override;
    GLuint VertexArray() const { return m_vertexArray; }
    // Whether the declaration reads the stream.
    bool UsesStream(std::uint32_t stream) const { return (m_streams >> stream) & 1u; }
    bool HasPointSize() const { return m_hasPointSize; }

private:
    GlLife m_life;
    GLuint m_vertexArray = 0;
    std::uint32_t m_streams = 0;
    bool m_hasPointSize = false;
};

// A separable GL program of one stage.
class GlShader final : public Shader
{
public:
    // Null program, with the compiler's words in log, when the source does not compile.
    GlShader(ShaderStage stage, std::string_view source, std::string& log, GlLife life);
    ~GlShader() override;
    GLuint Program() const { return m_program; }
    int UniformLocation(std::string_view name) const override;
    Result SetFloats(int location, std::span<const float> values) override;
    Result SetInts(int location, std::span<const std::int32_t> values) override;

private:
    struct Uniform
    {
        GLenum type;
        GLint arraySize;
        // The elements that many values of that many components fill, at most the array's size.
        GLsizei Count(std::size_t values, std::size_t components) const
        {
            return static_cast<GLsizei>(
                std::min<std::size_t>(values / components, static_cast<std::size_t>(arraySize)));
        }
    };
    const Uniform* Find(int location) const;
    GlLife m_life;
    GLuint m_program = 0;
    std::unordered_map<std::string, GLint> m_locations;
    std::unordered_map<GLint, Uniform> m_uniforms;
};

} // namespace Quarn::platform::gfx
