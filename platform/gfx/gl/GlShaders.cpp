#include "platform/gfx/gl/GlShaders.h"

namespace Quarn::platform::gfx
{

const char* const kPreTransformedVertexStage = R"(#version 450 core
layout(location = 0) in vec4 aPosition;
layout(location = 1) in vec4 aColour;
layout(location = 3) in vec4 aTexCoord0;
layout(location = 4) in vec4 aTexCoord1;
layout(location = 5) in vec4 aTexCoord2;
layout(location = 6) in vec4 aTexCoord3;
layout(location = 12) in float aPointSize;
uniform vec4 uViewport;
uniform float uPointSize;
uniform bool uHasPointSize;
out gl_PerVertex { vec4 gl_Position; float gl_PointSize; };
layout(location = 0) out vec4 vColour;
layout(location = 1) out vec4 vTexCoord0;
layout(location = 2) out vec4 vTexCoord1;
layout(location = 3) out vec4 vTexCoord2;
layout(location = 4) out vec4 vTexCoord3;
void main()
{
    // The position's w holds 1/w; a pixel's centre lies half a pixel past its whole-number corner, and
    // the top of the viewport is +1.
    float w = aPosition.w != 0.0 ? 1.0 / aPosition.w : 1.0;
    vec2 ndc = (aPosition.xy + 0.5 - uViewport.xy) / uViewport.zw * vec2(2.0, -2.0) + vec2(-1.0, 1.0);
    gl_Position = vec4(ndc * w, aPosition.z * w, w);
    gl_PointSize = uHasPointSize ? aPointSize : uPointSize;
    vColour = aColour;
    vTexCoord0 = aTexCoord0;
    vTexCoord1 = aTexCoord1;
    vTexCoord2 = aTexCoord2;
    vTexCoord3 = aTexCoord3;
}
)";

const char* const kVertexColourPixelStage = R"(#version 450 core
layout(location = 0) in vec4 vColour;
layout(location = 1) in vec4 vTexCoord0;
layout(binding = 0) uniform sampler2D uTexture;
uniform bool uHasTexture;
uniform int uAlphaFunc;
uniform float uAlphaRef;
layout(location = 0) out vec4 oColour;
bool Passes(float a)
{
    switch (uAlphaFunc)
    {
    case 1: return false;
    case 2: return a < uAlphaRef;
    case 3: return a == uAlphaRef;
    case 4: return a <= uAlphaRef;
    case 5: return a > uAlphaRef;
    case 6: return a != uAlphaRef;
    case 7: return a >= uAlphaRef;
    default: return true;
    }
}
void main()
{
    vec4 colour = uHasTexture ? texture(uTexture, vTexCoord0.xy) * vColour : vColour;
    if (!Passes(colour.a))
        discard;
    oColour = colour;
}
)";

} // namespace Quarn::platform::gfx
