#include "platform/gfx/EffectFile.h"

#include <gtest/gtest.h>

#include <limits>

namespace Quarn::platform::gfx
{
namespace
{

constexpr const char* kGoodEffect =
    R"(// Two parameters with semantics, one tweakable, a target and a technique.
float4x4 ViewProj : VIEWPROJ;
float Glow < string UIWidget = "Slider"; float4 UIParams = {0, 2, 0.5, 0}; > = .5f;
int Count = 3;
bool On = true;
texture Scene < string Format = "A8R8G8B8"; float2 ViewPortRatio = {0.5, 0.5}; int MipLevels = 1; >;
/* A block comment
   over two lines. */
glsl { vec4 Shade(vec4 c) { return c * Glow; } }
technique Main < string Script = "Pass="
                                 "P0;"; >
{
    pass P0 < string Script = "Draw=Objects;"; >
    {
        ZEnable = false;
        SrcBlend = SrcAlpha; DestBlend = InvSrcAlpha; CullMode = None; StencilFail = Zero;
        PointSize = 2.5;
        VertexShader = glsl {
            void main() { gl_Position = ViewProj * vec4(0.0); } // braces { in comments } are skipped
        };
        PixelShader = glsl { layout(location = 0) out vec4 o; void main() { o = Shade(vec4(1.0)); } };
    }
}
)";

TEST(EffectFileTest, AGoodFileKeepsEveryPartTheEngineReads)
{
    EffectDesc desc;
    EffectError error;
    ASSERT_TRUE(ParseEffect(kGoodEffect, desc, error)) << error.line << ": " << error.text;
    ASSERT_EQ(desc.parameters.size(), 5u);
    EXPECT_EQ(desc.parameters[0].semantic, "VIEWPROJ");
    EXPECT_EQ(desc.parameters[0].value.numbers, std::vector<float>(16, 0.0f));
    const EffectParameter& glow = desc.parameters[1];
    EXPECT_EQ(glow.value.numbers, std::vector<float>{0.5f});
    ASSERT_NE(FindAnnotation(glow.annotations, "UIWidget"), nullptr);
    EXPECT_EQ(FindAnnotation(glow.annotations, "UIWidget")->value.text, "Slider");
    EXPECT_EQ(FindAnnotation(glow.annotations, "UIParams")->value.numbers,
              (std::vector<float>{0, 2, 0.5f, 0}));
    EXPECT_EQ(FindAnnotation(glow.annotations, "uiwidget"), nullptr);
    EXPECT_EQ(desc.parameters[3].value.numbers, std::vector<float>{1.0f});
    EXPECT_EQ(desc.parameters[4].value.type, EffectType::Texture);
    EXPECT_EQ(FindAnnotation(desc.parameters[4].annotations, "MipLevels")->value.numbers,
              std::vector<float>{1});

    ASSERT_EQ(desc.techniques.size(), 1u);
    EXPECT_EQ(FindAnnotation(desc.techniques[0].annotations, "Script")->value.text, "Pass=P0;");
    ASSERT_EQ(desc.techniques[0].passes.size(), 1u);
    const EffectPass& pass = desc.techniques[0].passes[0];
    EXPECT_EQ(FindAnnotation(pass.annotations, "Script")->value.text, "Draw=Objects;");
    ASSERT_EQ(pass.states.size(), 6u);
    EXPECT_EQ(pass.states[0].state, RenderState::ZEnable);
    EXPECT_EQ(pass.states[0].value, 0u);
    EXPECT_EQ(pass.states[1].value, kBlendSrcAlpha);
    EXPECT_EQ(pass.states[2].value, kBlendInvSrcAlpha);
    EXPECT_EQ(pass.states[3].value, kCullNone);
    EXPECT_EQ(pass.states[4].value, kStencilOpZero);
    EXPECT_EQ(pass.states[5].value, FloatBits(2.5f));
    EXPECT_EQ(pass.vertex.line, 18);
    EXPECT_NE(pass.vertex.text.find("braces { in comments }"), std::string::npos);
    EXPECT_EQ(pass.pixel.line, 21);
    ASSERT_EQ(desc.sharedCode.size(), 1u);
    EXPECT_EQ(desc.sharedCode[0].line, 9);

    // The stages see the parameters as uniforms, textures as samplers on their own slots, and the
    // effect file's lines.
    const std::string vertex = StageSource(desc, pass.vertex, ShaderStage::Vertex);
    EXPECT_TRUE(vertex.starts_with("#version 450 core\n"));
    EXPECT_NE(vertex.find("#define IN_POSITION 0\n"), std::string::npos);
    EXPECT_NE(vertex.find("#define IN_TEXCOORD1 4\n"), std::string::npos);
    EXPECT_NE(vertex.find("uniform mat4 ViewProj;\n"), std::string::npos);
    EXPECT_NE(vertex.find("uniform float Glow;\n"), std::string::npos);
    EXPECT_NE(vertex.find("uniform bool On;\n"), std::string::npos);
    EXPECT_NE(vertex.find("layout(binding = 0) uniform sampler2D Scene;\n"), std::string::npos);
    EXPECT_NE(vertex.find("#line 9\n"), std::string::npos);
    EXPECT_NE(vertex.find("#line 18\n"), std::string::npos);
    const std::string pixel = StageSource(desc, pass.pixel, ShaderStage::Pixel);
    EXPECT_EQ(pixel.find("IN_POSITION"), std::string::npos);

    // The compiled form reads back to the same file; anything else is refused.
    EffectDesc read;
    EXPECT_TRUE(ReadCompiledEffect(CompiledEffect(kGoodEffect), read, error));
    EXPECT_EQ(read.parameters.size(), 5u);
    EXPECT_FALSE(ReadCompiledEffect(kGoodEffect, read, error));
    EXPECT_FALSE(ReadCompiledEffect("", read, error));
    EXPECT_FALSE(ReadCompiledEffect("QFXO 1\n float", read, error));
}

TEST(EffectFileTest, BrokenFilesSayWhereAndWhy)
{
    const struct
    {
        const char* source;
        int line;
        const char* text;
    } cases[] = {
        {"float4 A = {1, 2, 3};", 1, "a float4 takes 4 numbers, not 3"},
        {"float A = 1\nfloat B;", 2, "expected ';'"},
        {"\n\ndouble A;", 3, "unknown type or keyword 'double'"},
        {"float A; float A;", 1, "declared twice"},
        {"texture T = 1;", 1, "a texture takes no value"},
        {"float A = x;", 1, "expected a number, not 'x'"},
        {"string S = 3;", 1, "expected a string"},
        {"string S = \"open\n\";", 1, "not closed"},
        {"float A < texture T = 1; >;", 1, "expected an annotation type"},
        {"/* never closed", 1, "a comment is not closed"},
        {"technique T { pass P { Fog = 1; } }", 1, "unknown render state 'Fog'"},
        {"technique T { pass P { ZFunc = Sometimes; } }", 1, "expected a number, not 'Sometimes'"},
        {"technique T { pass P { ZEnable = -1; } }", 1, "takes a whole number"},
        {"technique T { pass P { StencilMask = 4294967296; } }", 1,
         "render state 'StencilMask' takes a whole number from 0 to 4294967295, not '4294967296'"},
        {"technique T { pass P { StencilMask = 4.294967296e9; } }", 1, "takes a whole number"},
        {"technique T { pass P { StencilRef = 2.5; } }", 1, "takes a whole number"},
        {"int A = 3000000000;", 1, "an int takes a whole number from -2147483648 to 2147483647"},
        {"int A = -2147483649;", 1, "an int takes a whole number"},
        {"int A = 3e9;", 1, "an int takes a whole number"},
        {"int A = {1e10};", 1, "an int takes a whole number"},
        {"int A = -nan;", 1, "an int takes a whole number"},
        {"technique T { pass P {\n VertexShader = glsl { void main() { ; }", 2, "GLSL code is not closed"},
        {"technique T { pass P { PixelShader = glsl {};\n PixelShader = glsl {}; } }", 2, "set twice"},
        {"technique T { pass P { PixelShader = hlsl {}; } }", 1, "expected 'glsl'"},
        {"technique T { float A; }", 1, "expected 'pass'"},
        {"technique T { pass P { ZEnable = 1; }", 1, "expected 'pass'"},
    };
    for (const auto& c : cases)
    {
        EffectDesc desc;
        EffectError error;
        EXPECT_FALSE(ParseEffect(c.source, desc, error)) << c.source;
        EXPECT_EQ(error.line, c.line) << c.source;
        EXPECT_NE(error.text.find(c.text), std::string::npos) << c.source << " -> " << error.text;
    }

    std::string many;
    for (int i = 0; i <= 16; ++i)
        many += "texture T" + std::to_string(i) + ";\n";
    EffectDesc desc;
    EffectError error;
    EXPECT_FALSE(ParseEffect(many, desc, error));
    EXPECT_NE(error.text.find("at most 16 textures"), std::string::npos);
}

// Whole numbers are read exactly (a float holds neither 4294967295 nor 2147483647), so the ends of the
// ranges are kept; an int written with a fraction is truncated.
TEST(EffectFileTest, WholeNumbersKeepTheEndsOfTheirRanges)
{
    EffectDesc desc;
    EffectError error;
    ASSERT_TRUE(ParseEffect("int Top = 2147483647; int Bottom = -2147483648; int Cut = -2.9;"
                            "technique T { pass P { StencilMask = 4294967295; StencilRef = +1e3;"
                            " StencilWriteMask = 0; } }",
                            desc, error))
        << error.text;
    EXPECT_EQ(IntFromNumber(desc.parameters[0].value.numbers[0]), 2147483647);
    EXPECT_EQ(IntFromNumber(desc.parameters[1].value.numbers[0]), -2147483647 - 1);
    EXPECT_EQ(desc.parameters[2].value.numbers[0], -2.0f);
    const std::vector<EffectPass::StateSetting>& states = desc.techniques[0].passes[0].states;
    ASSERT_EQ(states.size(), 3u);
    EXPECT_EQ(states[0].value, 4294967295u);
    EXPECT_EQ(states[1].value, 1000u);
    EXPECT_EQ(states[2].value, 0u);
}

// Numbers set at run time reach ints through IntFromNumber, whatever they are.
TEST(EffectFileTest, IntsFromNumbersStayWithinTheIntRange)
{
    const float infinity = std::numeric_limits<float>::infinity();
    const struct
    {
        float number;
        std::int32_t whole;
    } cases[] = {
        {2.9f, 2},
        {-2.9f, -2},
        {3e9f, 2147483647},
        {2147483648.0f, 2147483647},
        {2147483520.0f, 2147483520},
        {-2147483648.0f, -2147483647 - 1},
        {-3e9f, -2147483647 - 1},
        {infinity, 2147483647},
        {-infinity, -2147483647 - 1},
        {std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IntFromNumber(c.number), c.whole) << c.number;
}

} // namespace
} // namespace Quarn::platform::gfx
