#include "platform/gfx/gl/GlResources.h"

#include "platform/gfx/gl/GlVideo.h"

#include <algorithm>
#include <cstring>

namespace Quarn::platform::gfx
{

template <typename Base>
GlBuffer<Base>::GlBuffer(const BufferDesc& desc, GlLife life)
    : Base(desc), m_life(std::move(life)), m_copy(desc.size)
{
    glCreateBuffers(1, &m_name);
    glNamedBufferData(m_name, desc.size, nullptr,
                      (desc.usage & kUsageDynamic) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
}

template <typename Base> GlBuffer<Base>::~GlBuffer()
{
    if (m_life->alive)
        glDeleteBuffers(1, &m_name);
}

template <typename Base>
Result GlBuffer<Base>::Lock(std::uint32_t offset, std::uint32_t size, void*& data, std::uint32_t flags)
{
    if (size == 0 && offset <= m_copy.size())
        size = static_cast<std::uint32_t>(m_copy.size()) - offset;
    if (m_locked || offset > m_copy.size() || size > m_copy.size() - offset)
        return Result::Code::InvalidCall;
    if (flags & kLockDiscard)
        glNamedBufferData(m_name, static_cast<GLsizeiptr>(m_copy.size()), nullptr, GL_DYNAMIC_DRAW);
    m_locked = true;
    m_readOnly = flags & kLockReadOnly;
    m_lockOffset = offset;
    m_lockSize = size;
    data = m_copy.data() + offset;
    return Result::Code::Ok;
}

template <typename Base> Result GlBuffer<Base>::Unlock()
{
    if (!m_locked)
        return Result::Code::InvalidCall;
    m_locked = false;
    if (!m_readOnly && m_lockSize > 0)
        glNamedBufferSubData(m_name, m_lockOffset, m_lockSize, m_copy.data() + m_lockOffset);
    return Result::Code::Ok;
}

template class GlBuffer<VertexBuffer>;
template class GlBuffer<IndexBuffer>;

GlRenderbufferSurface::GlRenderbufferSurface(const SurfaceDesc& desc, GlLife life)
    : Surface(desc), m_life(std::move(life))
{
    GlFormat format;
    if (!ToGlFormat(desc.format, format) || IsCompressedFormat(desc.format) || desc.width == 0 ||
        desc.height == 0)
        return;
    glCreateRenderbuffers(1, &m_name);
    glNamedRenderbufferStorage(m_name, format.internalFormat, static_cast<GLsizei>(desc.width),
                               static_cast<GLsizei>(desc.height));
}

GlRenderbufferSurface::~GlRenderbufferSurface()
{
    if (m_life->alive)
        glDeleteRenderbuffers(1, &m_name);
}

void GlRenderbufferSurface::AttachTo(GLuint framebuffer, GLenum attachment) const
{
    glNamedFramebufferRenderbuffer(framebuffer, attachment, GL_RENDERBUFFER, m_name);
}

GlTextureName::~GlTextureName()
{
    if (life->alive)
        glDeleteTextures(1, &name);
}

GlTextureSurface::GlTextureSurface(const SurfaceDesc& desc, std::shared_ptr<GlTextureName> texture,
                                   GLint level, const GlFormat& format)
    : Surface(desc), m_texture(std::move(texture)), m_level(level), m_format(format)
{
}

Result GlTextureSurface::LockRect(LockedRect& locked, const Rect* rect, std::uint32_t flags)
{
    const SurfaceDesc& desc = GetDesc();
    if ((desc.usage & (kUsageRenderTarget | kUsageDepthStencil)) || IsDepthFormat(desc.format))
        return Result::Code::InvalidCall;
    if (!m_copy)
        m_copy = std::make_unique<MemorySurface>(
            SurfaceDesc{desc.format, 0, Pool::SystemMemory, desc.width, desc.height});
    const Result result = m_copy->LockRect(locked, rect, flags);
    if (result.Succeeded())
    {
        m_locked =
            rect ? *rect
                 : Rect{0, 0, static_cast<std::int32_t>(desc.width), static_cast<std::int32_t>(desc.height)};
        m_readOnly = flags & kLockReadOnly;
    }
    return result;
}

Result GlTextureSurface::UnlockRect()
{
    if (!m_copy || !m_copy->IsLocked())
        return Result::Code::InvalidCall;
    m_copy->UnlockRect();
    if (m_readOnly)
        return Result::Code::Ok;
    const SurfaceDesc& desc = GetDesc();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (IsCompressedFormat(desc.format))
    {
        glCompressedTextureSubImage2D(m_texture->name, m_level, 0, 0, static_cast<GLsizei>(desc.width),
                                      static_cast<GLsizei>(desc.height), m_format.internalFormat,
                                      static_cast<GLsizei>(m_copy->ByteCount()), m_copy->Bytes());
        return Result::Code::Ok;
    }
    const std::uint32_t pixelBytes = RowPitch(desc.format, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(m_copy->Pitch() / pixelBytes));
    glTextureSubImage2D(m_texture->name, m_level, m_locked.left, m_locked.top, m_locked.right - m_locked.left,
                        m_locked.bottom - m_locked.top, m_format.format, m_format.type,
                        m_copy->Bytes() + ByteOffsetOf(desc, m_copy->Pitch(), &m_locked));
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    return Result::Code::Ok;
}

void GlTextureSurface::AttachTo(GLuint framebuffer, GLenum attachment) const
{
    glNamedFramebufferTexture(framebuffer, attachment, m_texture->name, m_level);
}

GlTexture::GlTexture(const SurfaceDesc& top, std::uint32_t levels, const GlFormat& format, GlLife life)
{
    GLuint name = 0;
    glCreateTextures(GL_TEXTURE_2D, 1, &name);
    glTextureStorage2D(name, static_cast<GLsizei>(levels), format.internalFormat,
                       static_cast<GLsizei>(top.width), static_cast<GLsizei>(top.height));
    glTextureParameteriv(name, GL_TEXTURE_SWIZZLE_RGBA, format.swizzle);
    glTextureParameteri(name, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels) - 1);
    m_name = std::make_shared<GlTextureName>(name, std::move(life));
    SurfaceDesc level = top;
    for (std::uint32_t i = 0; i < levels; ++i)
    {
        m_levels.push_back(std::make_shared<GlTextureSurface>(level, m_name, static_cast<GLint>(i), format));
        level.width = std::max(1u, level.width / 2);
        level.height = std::max(1u, level.height / 2);
    }
}

namespace
{
struct GlElementFormat
{
    GLint size;
    GLenum type;
    GLboolean normalized;
};

GlElementFormat ElementFormatOf(DeclType type)
{
    switch (type)
    {
    case DeclType::Float1:
        return {1, GL_FLOAT, GL_FALSE};
    case DeclType::Float2:
        return {2, GL_FLOAT, GL_FALSE};
    case DeclType::Float3:
        return {3, GL_FLOAT, GL_FALSE};
    case DeclType::Float4:
        return {4, GL_FLOAT, GL_FALSE};
    case DeclType::Colour:
        return {GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE};
    case DeclType::UByte4:
        return {4, GL_UNSIGNED_BYTE, GL_FALSE};
    case DeclType::UByte4N:
        return {4, GL_UNSIGNED_BYTE, GL_TRUE};
    case DeclType::Short2:
        return {2, GL_SHORT, GL_FALSE};
    case DeclType::Short4:
        return {4, GL_SHORT, GL_FALSE};
    }
    return {4, GL_FLOAT, GL_FALSE};
}
} // namespace

GlDeclaration::GlDeclaration(std::vector<VertexElement> elements, GlLife life)
    : VertexDeclaration(std::move(elements)), m_life(std::move(life))
{
    glCreateVertexArrays(1, &m_vertexArray);
    for (const VertexElement& element : Elements())
    {
        const int location = AttributeLocation(element.usage, element.usageIndex);
        if (location < 0)
            continue;
        const GlElementFormat format = ElementFormatOf(element.type);
        const auto attribute = static_cast<GLuint>(location);
        glEnableVertexArrayAttrib(m_vertexArray, attribute);
        glVertexArrayAttribFormat(m_vertexArray, attribute, format.size, format.type, format.normalized,
                                  element.offset);
        glVertexArrayAttribBinding(m_vertexArray, attribute, element.stream);
        m_streams |= 1u << element.stream;
        m_hasPointSize |= element.usage == DeclUsage::PointSize;
    }
}

GlDeclaration::~GlDeclaration()
{
    if (m_life->alive)
        glDeleteVertexArrays(1, &m_vertexArray);
}

GlShader::GlShader(ShaderStage stage, std::string_view source, std::string& log, GlLife life)
    : Shader(stage), m_life(std::move(life))
{
    const std::string text(source);
    const char* sources[] = {text.c_str()};
    const DriverAllocations driver;
    const GLuint program = glCreateShaderProgramv(
        stage == ShaderStage::Vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER, 1, sources);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked)
    {
        GLint length = 0;
        glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
        log.assign(static_cast<std::size_t>(std::max(length, 1)), '\0');
        glGetProgramInfoLog(program, length, nullptr, log.data());
        log.resize(std::strlen(log.c_str()));
        glDeleteProgram(program);
        return;
    }
    m_program = program;
    GLint count = 0;
    glGetProgramInterfaceiv(program, GL_UNIFORM, GL_ACTIVE_RESOURCES, &count);
    for (GLint i = 0; i < count; ++i)
    {
        const GLenum properties[] = {GL_NAME_LENGTH, GL_TYPE, GL_ARRAY_SIZE, GL_LOCATION};
        GLint values[4] = {};
        glGetProgramResourceiv(program, GL_UNIFORM, static_cast<GLuint>(i), 4, properties, 4, nullptr,
                               values);
        if (values[3] < 0)
            continue; // a member of a block
        std::string name(static_cast<std::size_t>(values[0]), '\0');
        glGetProgramResourceName(program, GL_UNIFORM, static_cast<GLuint>(i), values[0], nullptr,
                                 name.data());
        name.resize(std::strlen(name.c_str()));
        m_uniforms[values[3]] = {static_cast<GLenum>(values[1]), values[2]};
        m_locations[name] = values[3];
        if (name.ends_with("[0]"))
            m_locations[name.substr(0, name.size() - 3)] = values[3];
    }
}

GlShader::~GlShader()
{
    if (m_life->alive)
        glDeleteProgram(m_program);
}

const GlShader::Uniform* GlShader::Find(int location) const
{
    const auto found = m_uniforms.find(location);
    return found == m_uniforms.end() ? nullptr : &found->second;
}

int GlShader::UniformLocation(std::string_view name) const
{
    const auto found = m_locations.find(std::string(name));
    return found == m_locations.end() ? -1 : found->second;
}

Result GlShader::SetFloats(int location, std::span<const float> values)
{
    const Uniform* uniform = Find(location);
    if (!uniform)
        return Result::Code::InvalidCall;
    const auto take = [&](std::size_t components) { return uniform->Count(values.size(), components); };
    const float* data = values.data();
    switch (uniform->type)
    {
    case GL_FLOAT:
        glProgramUniform1fv(m_program, location, take(1), data);
        break;
    case GL_FLOAT_VEC2:
        glProgramUniform2fv(m_program, location, take(2), data);
        break;
    case GL_FLOAT_VEC3:
        glProgramUniform3fv(m_program, location, take(3), data);
        break;
    case GL_FLOAT_VEC4:
        glProgramUniform4fv(m_program, location, take(4), data);
        break;
    case GL_FLOAT_MAT2:
        glProgramUniformMatrix2fv(m_program, location, take(4), GL_FALSE, data);
        break;
    case GL_FLOAT_MAT3:
        glProgramUniformMatrix3fv(m_program, location, take(9), GL_FALSE, data);
        break;
    case GL_FLOAT_MAT4:
        glProgramUniformMatrix4fv(m_program, location, take(16), GL_FALSE, data);
        break;
    default:
        return Result::Code::InvalidCall;
    }
    return Result::Code::Ok;
}

Result GlShader::SetInts(int location, std::span<const std::int32_t> values)
{
    const Uniform* uniform = Find(location);
    if (!uniform)
        return Result::Code::InvalidCall;
    const auto take = [&](std::size_t components) { return uniform->Count(values.size(), components); };
    const GLint* data = values.data();
    switch (uniform->type)
    {
    case GL_INT:
    case GL_BOOL:
    case GL_SAMPLER_2D:
        glProgramUniform1iv(m_program, location, take(1), data);
        break;
    case GL_INT_VEC2:
    case GL_BOOL_VEC2:
        glProgramUniform2iv(m_program, location, take(2), data);
        break;
    case GL_INT_VEC3:
    case GL_BOOL_VEC3:
        glProgramUniform3iv(m_program, location, take(3), data);
        break;
    case GL_INT_VEC4:
    case GL_BOOL_VEC4:
        glProgramUniform4iv(m_program, location, take(4), data);
        break;
    default:
        return Result::Code::InvalidCall;
    }
    return Result::Code::Ok;
}

} // namespace Quarn::platform::gfx
