#include "tools/fxc/EffectCompiler.h"
#include "platform/gfx/EffectFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace Quarn::tools
{
namespace
{

constexpr const char* kGood = R"(float4 Tint = {1, 1, 1, 1};
technique Main < string Script = "Pass=P0;"; >
{
    pass P0
    {
        PixelShader = glsl {
            layout(location = 0) out vec4 colour;
            void main() { colour = Tint; }
        };
    }
}
)";

TEST(EffectCompilerTest, AGoodEffectCompilesToItsCompiledForm)
{
    test::TempDir dir;
    dir.Write("Good.fx", kGood);
    std::string errors;
    ASSERT_TRUE(CompileEffect(dir / "Good.fx", dir / "out" / "Good.fxo", errors)) << errors;
    platform::gfx::EffectDesc desc;
    platform::gfx::EffectError error;
    EXPECT_TRUE(
        platform::gfx::ReadCompiledEffect(test::TempDir::Read(dir / "out" / "Good.fxo"), desc, error));
    EXPECT_EQ(desc.techniques.size(), 1u);
}

// A fault in the file's form or in any stage's GLSL names the effect file's line, and leaves no
// compiled file, not even an old one.
TEST(EffectCompilerTest, FaultsGiveTheirLineAndLeaveNoCompiledFile)
{
    const struct
    {
        const char* source;
        const char* fault;
    } cases[] = {
        {"float4 Tint = {1, 1};", "Bad.fx(1): error: a float4 takes 4 numbers"},
        {"technique T { pass P {\n StencilMask = 4294967296; } }",
         "Bad.fx(2): error: render state 'StencilMask' takes a whole number from 0 to 4294967295"},
        {"technique T { pass P {\n PixelShader = glsl {\n layout(location = 0) out vec4 c;\n"
         " void main() { c = Missing; } }; } }",
         "Bad.fx(4): error: 'Missing' : undeclared identifier"},
        {"technique T { pass P { VertexShader = glsl { void main() { gl_Position = vec4(0.0); } }; }\n"
         " pass Q {\n PixelShader = glsl { void main() { float x = ; } }; } }",
         "Bad.fx(3): error: "},
    };
    for (const auto& c : cases)
    {
        test::TempDir dir;
        dir.Write("Bad.fx", c.source);
        dir.Write("Bad.fxo", "an old compiled file");
        std::string errors;
        EXPECT_FALSE(CompileEffect(dir / "Bad.fx", dir / "Bad.fxo", errors)) << c.source;
        EXPECT_NE(errors.find(c.fault), std::string::npos) << errors;
        EXPECT_FALSE(std::filesystem::exists(dir / "Bad.fxo")) << c.source;
    }
    test::TempDir dir;
    std::string errors;
    EXPECT_FALSE(CompileEffect(dir / "Missing.fx", dir / "Missing.fxo", errors));
    EXPECT_NE(errors.find("cannot open"), std::string::npos);
}

} // namespace
} // namespace Quarn::tools
