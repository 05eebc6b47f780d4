#pragma once

#include "platform/gfx/DeviceState.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The effect file format (.fx), a text format of our own in the shape of classic effect files:
//
//   // Line and block comments as in C.
//   float4x4 ViewProj : VIEWPROJ;                      // type Name [: SEMANTIC] [<annotations>] [= value];
//   float Glow < string UIWidget = "Slider"; > = 0.5;
//   texture Scene < string Format = "A8R8G8B8"; float2 ViewPortRatio = {1, 1}; >;
//   glsl { vec4 Shade(vec4 c) { return c; } }          // code shared by every shader of the file
//   technique Main < string Script = "Pass=P0;"; >
//   {
//       pass P0 < string Script = "Draw=Objects;"; >
//       {
//           ZEnable = true; SrcBlend = SrcAlpha;       // render states by name, values by name or number
//           VertexShader = glsl { void main() { ... } };
//           PixelShader = glsl { void main() { ... } };
//       }
//   }
//
// Strings written side by side ("a" "b") are one string. Types: bool, int, float, float2, float3, float4,
// float4x4, texture, string. Shader bodies are GLSL 4.50: each stage is compiled with the file's parameters
// declared as uniforms of the same names (float4x4 as mat4, sent as stored, so `Matrix * v` in GLSL
// transforms v as v times Matrix does in the row-vector convention of the engine's matrices) and every
// texture as a sampler2D bound to the sampler of its place among the file's textures. Vertex stages read
// their inputs at IN_POSITION, IN_COLOR0, IN_TEXCOORD0 ... IN_NORMAL and the rest (layout(location =
// IN_POSITION) in vec3 position;). A pass without a vertex stage draws pre-transformed vertices, and its
// pixel stage reads the vertex colour at location 0 and texture coordinates 0 to 3 at locations 1 to 4, all
// vec4.
namespace Quarn::platform::gfx
{

enum class EffectType : std::uint8_t
{
    Bool,
    Int,
    Float,
    Float2,
    Float3,
    Float4,
    Float4x4,
    Texture,
    String,
};

// Whether two names are the same letters, case aside (semantics and render-state names are matched so).
bool SameLetters(std::string_view a, std::string_view b);

// How many numbers a value of the type holds (0 for textures and strings).
std::size_t NumberCount(EffectType type);
const char* EffectTypeName(EffectType type);

// The int a number held for a bool or int stands for: truncated towards zero and kept within the int
// range (values set at run time may lie outside it); NaN is 0.
std::int32_t IntFromNumber(float number);

// A value of one of the types: bools and ints are held as numbers too.
struct EffectValue
{
    EffectType type = EffectType::Float;
    std::vector<float> numbers;
    std::string text;
};

struct EffectAnnotation
{
    std::string name;
    EffectValue value;
};
using EffectAnnotations = std::vector<EffectAnnotation>;
// The annotation of that name (case-sensitive), or null.
const EffectAnnotation* FindAnnotation(const EffectAnnotations& annotations, std::string_view name);

struct EffectParameter
{
    std::string name;
    std::string semantic;
    EffectAnnotations annotations;
    EffectValue value;
};

// GLSL source of the file and the line it starts on.
struct EffectCode
{
    std::string text;
    int line = 0;
    bool Present() const { return line != 0; }
};

struct EffectPass
{
    struct StateSetting
    {
        RenderState state;
        std::uint32_t value;
    };
    std::string name;
    EffectAnnotations annotations;
    std::vector<StateSetting> states;
    EffectCode vertex;
    EffectCode pixel;
};

struct EffectTechnique
{
    std::string name;
    EffectAnnotations annotations;
    std::vector<EffectPass> passes;
};

struct EffectDesc
{
    std::vector<EffectParameter> parameters;
    std::vector<EffectCode> sharedCode;
    std::vector<EffectTechnique> techniques;
};

struct EffectError
{
    int line = 0;
    std::string text;
};

// Reads an effect file; on failure error says where and why, and desc is not to be used.
bool ParseEffect(std::string_view source, EffectDesc& desc, EffectError& error);

// The whole GLSL source of one stage of a pass: version, inputs, the parameters as uniforms, the
// shared code and the stage's body, with line directives so that compiler messages give the lines of
// the effect file.
std::string StageSource(const EffectDesc& desc, const EffectCode& body, ShaderStage stage);

// The compiled form (.fxo): a header line and the checked effect file.
std::string CompiledEffect(std::string_view source);
// Reads a compiled effect: a wrong header or a file that does not parse is an error.
bool ReadCompiledEffect(std::string_view bytes, EffectDesc& desc, EffectError& error);

} // namespace Quarn::platform::gfx
