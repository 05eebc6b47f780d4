#pragma once

#include "platform/gfx/Types.h"

#include <epoxy/gl.h>

namespace Quarn::platform::gfx
{

// How a format lives in OpenGL: the storage format, the layout of its bytes in the program's memory
// (for compressed formats, format is the compressed one and type 0), and the channels sampling reads.
struct GlFormat
{
    GLenum internalFormat = 0;
    GLenum format = 0;
    GLenum type = 0;
    GLint swizzle[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
};

// False for Unknown.
bool ToGlFormat(Format format, GlFormat& gl);

} // namespace Quarn::platform::gfx
