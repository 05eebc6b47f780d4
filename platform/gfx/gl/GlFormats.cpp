#include "platform/gfx/gl/GlFormats.h"

namespace Quarn::platform::gfx
{

namespace
{
void Set(GlFormat& gl, GLenum internalFormat, GLenum format, GLenum type)
{
    gl.internalFormat = internalFormat;
    gl.format = format;
    gl.type = type;
}

// Luminance reads into red, green and blue; alpha reads as given (one, or the second channel).
void Luminance(GlFormat& gl, GLint alpha)
{
    gl.swizzle[0] = gl.swizzle[1] = gl.swizzle[2] = GL_RED;
    gl.swizzle[3] = alpha;
}
} // namespace

bool ToGlFormat(Format format, GlFormat& gl)
{
    gl = GlFormat{};
    switch (format)
    {
    case Format::Unknown:
        return false;
    case Format::A8R8G8B8:
        Set(gl, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE);
        return true;
    case Format::X8R8G8B8:
        Set(gl, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE);
        gl.swizzle[3] = GL_ONE;
        return true;
    case Format::A8:
        Set(gl, GL_R8, GL_RED, GL_UNSIGNED_BYTE);
        gl.swizzle[0] = gl.swizzle[1] = gl.swizzle[2] = GL_ZERO;
        gl.swizzle[3] = GL_RED;
        return true;
    case Format::R32F:
        Set(gl, GL_R32F, GL_RED, GL_FLOAT);
        return true;
    case Format::G16R16F:
        Set(gl, GL_RG16F, GL_RG, GL_HALF_FLOAT);
        return true;
    case Format::A16B16G16R16F:
        Set(gl, GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT);
        return true;
    case Format::A32B32G32R32F:
        Set(gl, GL_RGBA32F, GL_RGBA, GL_FLOAT);
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
        Set(gl, GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT);
        return true;
    case Format::D24X8:
        Set(gl, GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT);
        return true;
    case Format::D24S8:
        Set(gl, GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8);
        return true;
    case Format::D32F:
        Set(gl, GL_DEPTH_COMPONENT32F, GL_DEPTH_COMPONENT, GL_FLOAT);
        return true;
    // Colour formats without a storage every driver renders to are kept in 8 bits a channel, which
    // holds them whole; their bytes in memory keep their own layout.
    case Format::R8G8B8:
        Set(gl, GL_RGBA8, GL_BGR, GL_UNSIGNED_BYTE);
        gl.swizzle[3] = GL_ONE;
        return true;
    case Format::R3G3B2:
        Set(gl, GL_RGBA8, GL_RGB, GL_UNSIGNED_BYTE_3_3_2);
        gl.swizzle[3] = GL_ONE;
        return true;
    case Format::R5G6B5:
        Set(gl, GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5);
        return true;
    case Format::X1R5G5B5:
        Set(gl, GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV);
        gl.swizzle[3] = GL_ONE;
        return true;
    case Format::A4R4G4B4:
        Set(gl, GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV);
        return true;
    case Format::X4R4G4B4:
        Set(gl, GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV);
        gl.swizzle[3] = GL_ONE;
        return true;
    case Format::A2B10G10R10:
        Set(gl, GL_RGB10_A2, GL_RGBA, GL_UNSIGNED_INT_2_10_10_10_REV);
        return true;
    case Format::A2R10G10B10:
        Set(gl, GL_RGB10_A2, GL_BGRA, GL_UNSIGNED_INT_2_10_10_10_REV);
        return true;
    case Format::A8B8G8R8:
        Set(gl, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE);
        return true;
    case Format::X8B8G8R8:
        Set(gl, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE);
        gl.swizzle[3] = GL_ONE;
        return true;
    case Format::G16R16:
        Set(gl, GL_RG16, GL_RG, GL_UNSIGNED_SHORT);
        return true;
    case Format::A16B16G16R16:
        Set(gl, GL_RGBA16, GL_RGBA, GL_UNSIGNED_SHORT);
        return true;
    case Format::L8:
        Set(gl, GL_R8, GL_RED, GL_UNSIGNED_BYTE);
        Luminance(gl, GL_ONE);
        return true;
    case Format::A8L8:
        Set(gl, GL_RG8, GL_RG, GL_UNSIGNED_BYTE);
        Luminance(gl, GL_GREEN);
        return true;
    case Format::L16:
        Set(gl, GL_R16, GL_RED, GL_UNSIGNED_SHORT);
        Luminance(gl, GL_ONE);
        return true;
    case Format::R16F:
        Set(gl, GL_R16F, GL_RED, GL_HALF_FLOAT);
        return true;
    case Format::G32R32F:
        Set(gl, GL_RG32F, GL_RG, GL_FLOAT);
        return true;
    case Format::D32:
        Set(gl, GL_DEPTH_COMPONENT32, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT);
        return true;
    case Format::D32FS8:
        Set(gl, GL_DEPTH32F_STENCIL8, GL_DEPTH_STENCIL, GL_FLOAT_32_UNSIGNED_INT_24_8_REV);
        return true;
    }
    return false;
}

} // namespace Quarn::platform::gfx
