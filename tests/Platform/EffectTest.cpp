#include "platform/gfx/Effect.h"
#include "Platform/GlDeviceFixture.h"
#include "platform/gfx/recording/RecordingDevice.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace Quarn::platform::gfx
{
namespace
{

// Pass "Moved" draws model-space squares through a row-vector matrix in a uniform colour; pass "Pictured"
// draws pre-transformed vertices with the texture "Picture" and no vertex stage of its own.
constexpr const char* kEffect = R"(
float4x4 Move : WORLD;
float4 Tint = {1, 0, 0, 1};
bool Dim = false;
int Steps = 2;
string Note = "text";
texture Picture;
texture Unused;
technique Main
{
    pass Moved
    {
        ZEnable = false; CullMode = None;
        VertexShader = glsl {
            layout(location = IN_POSITION) in vec3 position;
            void main() { gl_Position = Move * vec4(position, 1.0); }
        };
        PixelShader = glsl {
            layout(location = 0) out vec4 colour;
            void main() { colour = Dim ? Tint * 0.25 : Tint * float(Steps) / 2.0; }
        };
    }
    pass Pictured
    {
        AlphaBlendEnable = true;
        PixelShader = glsl {
            layout(location = 1) in vec4 texCoord;
            layout(location = 0) out vec4 colour;
            void main() { colour = texture(Picture, texCoord.xy); }
        };
    }
}
technique Other { pass Only { ZEnable = true; } }
)";

EffectDesc Described()
{
    EffectDesc desc;
    EffectError error;
    EXPECT_TRUE(ParseEffect(kEffect, desc, error)) << error.line << ": " << error.text;
    return desc;
}

TEST(EffectTest, ValuesAreTypedAndLookedUpByNameSemanticAndPlace)
{
    RecordingDevice device({8, 8, true, false});
    std::unique_ptr<Effect> effect;
    std::string errors;
    ASSERT_TRUE(Effect::Create(device, Described(), effect, errors).Succeeded()) << errors;

    EXPECT_EQ(effect->GetParameterBySemantic("world"), effect->GetParameterByName("Move"));
    EXPECT_EQ(effect->GetParameter(1), effect->GetParameterByName("Tint"));
    EXPECT_EQ(effect->GetParameter(7), 0u);
    EXPECT_EQ(effect->GetParameterByName("tint"), 0u);
    EXPECT_EQ(effect->GetParameterBySemantic("VIEW"), 0u);
    EXPECT_EQ(effect->GetPassIndex(effect->GetTechniqueByName("Main"), "Pictured"), 1);
    EXPECT_EQ(effect->GetPassIndex(effect->GetTechniqueByName("Main"), "Only"), -1);
    EXPECT_EQ(effect->GetPassIndex(0, "Moved"), -1);

    const EffectHandle tint = effect->GetParameterByName("Tint");
    const EffectHandle dim = effect->GetParameterByName("Dim");
    const EffectHandle steps = effect->GetParameterByName("Steps");
    const float two[] = {0.25f, 0.5f};
    EXPECT_TRUE(effect->SetFloats(tint, two).Succeeded());
    float read[4] = {};
    EXPECT_TRUE(effect->GetFloats(tint, read).Succeeded());
    EXPECT_EQ(std::vector<float>(read, read + 4), (std::vector<float>{0.25f, 0.5f, 0, 1}));
    const float five[5] = {};
    EXPECT_EQ(effect->SetFloats(tint, five), Result::Code::InvalidCall);
    EXPECT_EQ(effect->SetFloat(effect->GetParameterByName("Note"), 1.0f), Result::Code::InvalidCall);
    EXPECT_EQ(effect->SetFloat(effect->GetParameterByName("Picture"), 1.0f), Result::Code::InvalidCall);
    EXPECT_EQ(effect->SetFloat(0, 1.0f), Result::Code::InvalidCall);
    EXPECT_EQ(effect->SetTexture(tint, nullptr), Result::Code::InvalidCall);

    // Numbers take the type of their parameter.
    std::int32_t whole = 0;
    bool truth = false;
    EXPECT_TRUE(effect->SetFloat(steps, 2.9f).Succeeded());
    EXPECT_TRUE(effect->GetInt(steps, whole).Succeeded());
    EXPECT_EQ(whole, 2);
    EXPECT_TRUE(effect->SetFloat(dim, 0.3f).Succeeded());
    EXPECT_TRUE(effect->GetBool(dim, truth).Succeeded());
    EXPECT_TRUE(truth);
    EXPECT_TRUE(effect->SetFloat(tint, 2.7f).Succeeded());
    EXPECT_TRUE(effect->GetInt(tint, whole).Succeeded());
    EXPECT_EQ(whole, 2);
}

// Begin saves the device's state and End puts it back; a pass sets its states, its shaders (none for a
// stage it lacks) and every texture on its sampler. Calls out of order are refused.
TEST(EffectTest, PassesSetTheirStatesShadersAndTexturesAndEndRestoresTheDevice)
{
    RecordingDevice device({8, 8, true, false});
    std::unique_ptr<Effect> effect;
    std::string errors;
    ASSERT_TRUE(Effect::Create(device, Described(), effect, errors).Succeeded()) << errors;
    std::shared_ptr<Texture> picture;
    ASSERT_TRUE(device.CreateTexture(4, 4, 1, 0, Format::A8R8G8B8, Pool::Managed, picture).Succeeded());
    ASSERT_TRUE(effect->SetTexture(effect->GetParameterByName("Picture"), picture).Succeeded());

    std::uint32_t passes = 0;
    EXPECT_EQ(effect->Begin(passes), Result::Code::InvalidCall);
    EXPECT_EQ(effect->SetTechnique(0), Result::Code::InvalidCall);
    ASSERT_TRUE(effect->SetTechnique(effect->GetTechniqueByName("Main")).Succeeded());
    EXPECT_EQ(effect->BeginPass(0), Result::Code::InvalidCall);
    device.ClearLog();
    ASSERT_TRUE(effect->Begin(passes).Succeeded());
    EXPECT_EQ(passes, 2u);
    EXPECT_EQ(effect->BeginPass(2), Result::Code::InvalidCall);
    ASSERT_TRUE(effect->BeginPass(1).Succeeded());
    EXPECT_EQ(effect->BeginPass(0), Result::Code::InvalidCall);
    EXPECT_TRUE(effect->CommitChanges().Succeeded());
    EXPECT_TRUE(effect->EndPass().Succeeded());
    EXPECT_EQ(effect->EndPass(), Result::Code::InvalidCall);
    EXPECT_EQ(effect->CommitChanges(), Result::Code::InvalidCall);
    EXPECT_TRUE(effect->End().Succeeded());
    EXPECT_EQ(effect->End(), Result::Code::InvalidCall);

    const std::vector<std::string>& log = device.Log();
    const std::vector<std::string> pass = {"CreateStateBlock",
                                           "SetRenderState AlphaBlendEnable 1",
                                           "SetVertexShader null",
                                           "SetPixelShader " + log[3].substr(15),
                                           "SetTexture 0 " + log[4].substr(13),
                                           "SetTexture 1 null",
                                           "SetTexture 0 " + log[4].substr(13),
                                           "SetTexture 1 null",
                                           "ApplyStateBlock"};
    ASSERT_GE(log.size(), pass.size());
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + static_cast<std::ptrdiff_t>(pass.size())),
              pass);
    EXPECT_NE(log[3], "SetPixelShader null");
    EXPECT_NE(log[4], "SetTexture 0 null");
    EXPECT_EQ(device.GetRenderState(RenderState::AlphaBlendEnable), 0u);
}

// A number set on an int parameter may lie outside the int range; read as an int it is the range's
// nearest end, and NaN is 0.
TEST(EffectTest, IntsReadFromAnyNumberStayWithinTheIntRange)
{
    RecordingDevice device({8, 8, true, false});
    std::unique_ptr<Effect> effect;
    std::string errors;
    ASSERT_TRUE(Effect::Create(device, Described(), effect, errors).Succeeded()) << errors;
    const EffectHandle steps = effect->GetParameterByName("Steps");
    const struct
    {
        float number;
        std::int32_t whole;
    } cases[] = {
        {3e9f, 2147483647},
        {-3e9f, -2147483647 - 1},
        {-std::numeric_limits<float>::infinity(), -2147483647 - 1},
        {std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const auto& c : cases)
    {
        std::int32_t whole = 1;
        ASSERT_TRUE(effect->SetFloat(steps, c.number).Succeeded());
        EXPECT_TRUE(effect->GetInt(steps, whole).Succeeded());
        EXPECT_EQ(whole, c.whole) << c.number;
    }
}

TEST(EffectTest, AStageThatDoesNotCompileNamesItsPassAndMakesNoEffect)
{
    RecordingDevice device({8, 8, true, false});
    device.InjectResults("CreateShader", {Result::Code::Ok, Result::Code::InvalidCall});
    std::unique_ptr<Effect> effect;
    std::string errors;
    EXPECT_EQ(Effect::Create(device, Described(), effect, errors), Result::Code::InvalidCall);
    EXPECT_EQ(effect, nullptr);
    EXPECT_NE(errors.find("technique Main, pass Moved, pixel shader"), std::string::npos) << errors;
}

class GlEffectTest : public test::GlDeviceFixture
{
protected:
    GlEffectTest() : GlDeviceFixture(16, 16) {}
};

// On GL the uniforms reach the shaders: the matrix in the engine's row-vector layout moves the square
// into the top-left quarter, bool and int change the colour, and a pass without a vertex stage samples
// the texture parameter.
TEST_F(GlEffectTest, UniformsAndTexturesReachTheShaders)
{
    ASSERT_NE(m_device, nullptr) << m_error;
    std::unique_ptr<Effect> effect;
    std::string errors;
    ASSERT_TRUE(Effect::Create(*m_device, Described(), effect, errors).Succeeded()) << errors;

    // Model square (0,0)-(1,1), moved by (-1, 0): the quarter x < 0, y > 0, the top left.
    const float move[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, 0, 0, 1};
    ASSERT_TRUE(effect->SetFloats(effect->GetParameterByName("Move"), move).Succeeded());
    ASSERT_TRUE(effect->SetInt(effect->GetParameterByName("Steps"), 1).Succeeded());
    std::shared_ptr<Texture> picture;
    ASSERT_TRUE(m_device->CreateTexture(2, 2, 1, kUsageRenderTarget, Format::A8R8G8B8, Pool::Default, picture)
                    .Succeeded());
    std::shared_ptr<Surface> level;
    ASSERT_TRUE(picture->GetSurfaceLevel(0, level).Succeeded());
    ASSERT_TRUE(m_device->ColorFill(*level, nullptr, PackColour(255, 0, 255, 0)).Succeeded());
    ASSERT_TRUE(effect->SetTexture(effect->GetParameterByName("Picture"), picture).Succeeded());

    const VertexElement model[] = {{0, 0, DeclType::Float3, DeclUsage::Position, 0}};
    const VertexElement screen[] = {{0, 0, DeclType::Float4, DeclUsage::PositionT, 0},
                                    {0, 16, DeclType::Float2, DeclUsage::TexCoord, 0}};
    std::shared_ptr<VertexDeclaration> modelDeclaration;
    std::shared_ptr<VertexDeclaration> screenDeclaration;
    ASSERT_TRUE(m_device->CreateVertexDeclaration(model, modelDeclaration).Succeeded());
    ASSERT_TRUE(m_device->CreateVertexDeclaration(screen, screenDeclaration).Succeeded());
    const float square[] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0};
    // The bottom-right quarter in pixels.
    const float quad[] = {7.5f, 7.5f,  0.5f, 1, 0, 0, 15.5f, 7.5f,  0.5f, 1, 1, 0,
                          7.5f, 15.5f, 0.5f, 1, 0, 1, 15.5f, 15.5f, 0.5f, 1, 1, 1};

    ASSERT_TRUE(m_device->BeginScene().Succeeded());
    ASSERT_TRUE(m_device->Clear({}, kClearTarget, PackColour(255, 0, 0, 0), 1.0f, 0).Succeeded());
    ASSERT_TRUE(effect->SetTechnique(effect->GetTechniqueByName("Main")).Succeeded());
    std::uint32_t passes = 0;
    ASSERT_TRUE(effect->Begin(passes).Succeeded());
    ASSERT_TRUE(effect->BeginPass(0).Succeeded());
    m_device->SetVertexDeclaration(modelDeclaration);
    ASSERT_TRUE(m_device->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, square, 12).Succeeded());
    // A change within the pass reaches the shader once committed.
    ASSERT_TRUE(effect->SetBool(effect->GetParameterByName("Dim"), true).Succeeded());
    ASSERT_TRUE(effect->CommitChanges().Succeeded());
    const float lower[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, -1, 0, 1};
    ASSERT_TRUE(effect->SetFloats(effect->GetParameterByName("Move"), lower).Succeeded());
    ASSERT_TRUE(effect->CommitChanges().Succeeded());
    ASSERT_TRUE(m_device->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, square, 12).Succeeded());
    ASSERT_TRUE(effect->EndPass().Succeeded());
    ASSERT_TRUE(effect->BeginPass(1).Succeeded());
    m_device->SetVertexDeclaration(screenDeclaration);
    ASSERT_TRUE(m_device->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, quad, 24).Succeeded());
    ASSERT_TRUE(effect->EndPass().Succeeded());
    ASSERT_TRUE(effect->End().Succeeded());
    ASSERT_TRUE(m_device->EndScene().Succeeded());

    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(m_device->ReadSurface(*m_device->GetBackBuffer(), pixels).Succeeded());
    const auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y * 16 + x)]; };
    EXPECT_EQ(at(2, 2), PackColour(128, 128, 0, 0)); // Tint * 1 / 2
    EXPECT_EQ(at(2, 13), PackColour(64, 64, 0, 0));  // dimmed: Tint * 0.25
    EXPECT_EQ(at(12, 12), PackColour(255, 0, 255, 0));
    EXPECT_EQ(at(12, 3), PackColour(255, 0, 0, 0));
}

// An int uniform takes the int its number stands for: 3e9 sends the largest int (full red), NaN sends 0
// (no colour).
TEST_F(GlEffectTest, IntUniformsOutsideTheIntRangeAreSentAsTheNearestInt)
{
    ASSERT_NE(m_device, nullptr) << m_error;
    std::unique_ptr<Effect> effect;
    std::string errors;
    ASSERT_TRUE(Effect::Create(*m_device, Described(), effect, errors).Succeeded()) << errors;
    const VertexElement model[] = {{0, 0, DeclType::Float3, DeclUsage::Position, 0}};
    std::shared_ptr<VertexDeclaration> declaration;
    ASSERT_TRUE(m_device->CreateVertexDeclaration(model, declaration).Succeeded());
    const float square[] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0};
    const EffectHandle move = effect->GetParameterByName("Move");
    const EffectHandle steps = effect->GetParameterByName("Steps");

    ASSERT_TRUE(m_device->BeginScene().Succeeded());
    ASSERT_TRUE(m_device->Clear({}, kClearTarget, PackColour(255, 0, 0, 255), 1.0f, 0).Succeeded());
    ASSERT_TRUE(effect->SetTechnique(effect->GetTechniqueByName("Main")).Succeeded());
    std::uint32_t passes = 0;
    ASSERT_TRUE(effect->Begin(passes).Succeeded());
    m_device->SetVertexDeclaration(declaration);
    // The top-left quarter with 3e9 steps, the bottom-left one with NaN.
    const float upper[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, 0, 0, 1};
    const float lower[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, -1, 0, 1};
    ASSERT_TRUE(effect->SetFloats(move, upper).Succeeded());
    ASSERT_TRUE(effect->SetFloat(steps, 3e9f).Succeeded());
    ASSERT_TRUE(effect->BeginPass(0).Succeeded());
    ASSERT_TRUE(m_device->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, square, 12).Succeeded());
    ASSERT_TRUE(effect->SetFloats(move, lower).Succeeded());
    ASSERT_TRUE(effect->SetFloat(steps, std::numeric_limits<float>::quiet_NaN()).Succeeded());
    ASSERT_TRUE(effect->CommitChanges().Succeeded());
    ASSERT_TRUE(m_device->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, square, 12).Succeeded());
    ASSERT_TRUE(effect->EndPass().Succeeded());
    ASSERT_TRUE(effect->End().Succeeded());
    ASSERT_TRUE(m_device->EndScene().Succeeded());

    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(m_device->ReadSurface(*m_device->GetBackBuffer(), pixels).Succeeded());
    EXPECT_EQ(pixels[2 * 16 + 2], PackColour(255, 255, 0, 0));
    EXPECT_EQ(pixels[13 * 16 + 2], PackColour(0, 0, 0, 0));
    EXPECT_EQ(pixels[13 * 16 + 13], PackColour(255, 0, 0, 255));
}

} // namespace
} // namespace Quarn::platform::gfx
