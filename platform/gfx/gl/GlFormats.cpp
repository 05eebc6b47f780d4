#include "platform/gfx/gl/GlFormats.h"

namespace Quarn::platform::gfx
{

bool ToGlFormat(Format format, GlFormat& gl)
{
    gl = GlFormat{};
    switch (format)
    {
    case Format::Unknown:
        return false;
    case Format::A8R8G8B8:
        gl.internalFormat = GL_RGBA8;
        gl.format = GL_BGRA;
        gl.type = GL_UNSIGNED_BYTE;
        return true;
    case Format::X8R8G8B8:
        gl.internalFormat = GL_RGBA8;
        gl.format = GL_BGRA;
        gl.type = GL_UNSIGNED_BYTE;
        gl.swizzle[3] = GL_ONE;
        return true;
    case Format::A8:
        gl.internalFormat = GL_R8;
        gl.format = GL_RED;
        gl.type = GL_UNSIGNED_BYTE;
        gl.swizzle[0] = gl.swizzle[1] = gl.swizzle[2] = GL_ZERO;
        gl.swizzle[3] = GL_RED;
        return true;
    case Format::R32F:
        gl.internalFormat = GL_R32F;
        gl.format = GL_RED;
        gl.type = GL_FLOAT;
        return true;
    case Format::G16R16F:
        gl.internalFormat = GL_RG16F;
        gl.format = GL_RG;
        gl.type = GL_HALF_FLOAT;
        return true;
    case Format::A16B16G16R16F:
        gl.internalFormat = GL_RGBA16F;
        gl.format = GL_RGBA;
        gl.type = GL_HALF_FLOAT;
        return true;
    case Format::A32B32G32R32F:
        gl.internalFormat = GL_RGBA32F;
        gl.format = GL_RGBA;
        gl.type = GL_FLOAT;
        return true;
    case Format::Dxt1:
        gl.internalFormat = gl.format = GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
        return true;
    case Format::Dxt3:
        gl.internalFormat = gl.format = GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
        return true;
    case Format::Dxt5:
        gl.internalFormat = gl.format = GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
        return true;
    case Format::D16:
        gl.internalFormat = GL_DEPTH_COMPONENT16;
        gl.format = GL_DEPTH_COMPONENT;
        gl.type = GL_UNSIGNED_SHORT;
        return true;
    case Format::D24X8:
        gl.internalFormat = GL_DEPTH_COMPONENT24;
        gl.format = GL_DEPTH_COMPONENT;
        gl.type = GL_UNSIGNED_INT;
        return true;
    case Format::D24S8:
        gl.internalFormat = GL_DEPTH24_STENCIL8;
        gl.format = GL_DEPTH_STENCIL;
        gl.type = GL_UNSIGNED_INT_24_8;
        return true;
    case Format::D32F:
        gl.internalFormat = GL_DEPTH_COMPONENT32F;
        gl.format = GL_DEPTH_COMPONENT;
        gl.type = GL_FLOAT;
        return true;
    }
    return false;
}

} // namespace Quarn::platform::gfx
