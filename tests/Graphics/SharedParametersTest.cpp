#include "Graphics/FXParamGroup.h"
#include "Graphics/RenderTargetManager.h"
#include "Graphics/ViewProjection.h"
#include "platform/gfx/recording/RecordingDevice.h"
#include "support/CapturedErrors.h"

#include <gtest/gtest.h>

#include <cmath>

namespace Quarn
{
namespace
{

namespace gfx = platform::gfx;

Matrix4 Translation(float x, float y, float z)
{
    return Matrix4(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
}

void ExpectNear(const Matrix4& actual, const Matrix4& expected)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-4f) << "element " << i;
}

// The right-handed perspective of 60 degrees at 4:3 between 40 and 4000, worked by hand: y scale
// cot(30) = 1.7320508, x scale that over 4/3, z 4000 / (40 - 4000) and 40 * 4000 / (40 - 4000).
TEST(ViewProjectionTest, MatricesMatchTheirWorkedValuesForTwoCameras)
{
    const Matrix4 projection(1.2990381f, 0, 0, 0, 0, 1.7320508f, 0, 0, 0, 0, -1.0101010f, -1, 0, 0,
                             -40.404040f, 0);
    ViewProjection fresh;
    ExpectNear(fresh.GetProjection(), projection);
    ExpectNear(fresh.GetViewProjection(), projection);

    // A camera at (10, 20, 500) looking down -z: the point below it lands on the screen's centre.
    ViewProjection moved;
    moved.SetView(Translation(-10, -20, -500));
    ExpectNear(moved.GetViewProjection(), Matrix4(1.2990381f, 0, 0, 0, 0, 1.7320508f, 0, 0, 0, 0, -1.0101010f,
                                                  -1, -12.990381f, -34.641016f, 464.64646f, 500));

    ViewProjection wide;
    wide.SetFOV(1.5707964f);
    EXPECT_NEAR(wide.GetProjection()(1, 1), 1.0f, 1e-6f);
    EXPECT_NEAR(wide.GetProjection()(0, 0), 0.75f, 1e-6f);
    wide.SetFarPlane(100.0f);
    EXPECT_NEAR(wide.GetProjection()(2, 2), 100.0f / (40.0f - 100.0f), 1e-6f);
    EXPECT_FLOAT_EQ(wide.GetFarPlane(), 100.0f);
}

constexpr const char* kEffect = R"(
float4x4 View : VIEW;
float4x4 ViewInv : VIEWINV;
float2 Eye : EYEPOS;
float2 Velocity : CAMERA_VELOCITY;
float Time : time;
float4 Light : DIRECTIONAL_LIGHT;
float Glow < string UIWidget = "Slider"; > = 0.5;
float Spin < string UIWidget = "Spinner"; float4 UIParams = {1, 9, 2, 0}; > = 3;
float Hidden < string UIWidget = "None"; > = 1;
float Plain = 2;
)";

class SharedParametersTest : public testing::Test
{
protected:
    SharedParametersTest()
    {
        gfx::EffectDesc desc;
        gfx::EffectError error;
        EXPECT_TRUE(gfx::ParseEffect(kEffect, desc, error)) << error.text;
        std::string errors;
        EXPECT_TRUE(gfx::Effect::Create(m_device, desc, m_effect, errors).Succeeded());
    }

    std::vector<float> Value(const char* name, std::size_t count)
    {
        std::vector<float> values(count);
        EXPECT_TRUE(m_effect->GetFloats(m_effect->GetParameterByName(name), values).Succeeded());
        return values;
    }

    // A frame with the camera's eye at (x, y).
    void Frame(float x, float y, float physicsDt, Vector4 light = {})
    {
        m_main.SetView(Translation(x, y, -100));
        FXParamGroup::FrameValues frame;
        frame.time = 12.5f;
        frame.physicsDt = physicsDt;
        frame.directionalLight = light;
        m_group.Update(m_main, m_far, frame);
    }

    gfx::RecordingDevice m_device{{64, 64, true, false}};
    std::unique_ptr<gfx::Effect> m_effect;
    FXParamGroup m_group;
    ViewProjection m_main;
    ViewProjection m_far;
};

TEST_F(SharedParametersTest, FrameValuesReachTheirSemantics)
{
    m_group.Bind(m_effect.get());
    Frame(4, 6, 0.5f, Vector4(0, 3, 4, 0));
    EXPECT_EQ(Value("Eye", 2), (std::vector<float>{4, 6}));
    EXPECT_EQ(Value("Time", 1), std::vector<float>{12.5f});
    EXPECT_EQ(Value("Light", 4), (std::vector<float>{0, 0.6f, 0.8f, 0}));
    const std::vector<float> inverse = Value("ViewInv", 16);
    EXPECT_FLOAT_EQ(inverse[12], -4.0f);
    EXPECT_FLOAT_EQ(inverse[14], 100.0f);
    // The first frame sets no velocity; later ones the eye's move over the physics step, except in
    // frames without a step, which keep the last velocity while the eye goes on being followed.
    EXPECT_EQ(Value("Velocity", 2), (std::vector<float>{0, 0}));
    Frame(5, 8, 0.5f);
    EXPECT_EQ(Value("Velocity", 2), (std::vector<float>{2, 4}));
    Frame(7, 8, 0.0f);
    EXPECT_EQ(Value("Velocity", 2), (std::vector<float>{2, 4}));
    Frame(8, 10, 0.25f);
    EXPECT_EQ(Value("Velocity", 2), (std::vector<float>{4, 8}));
    // A light of no direction stays zero instead of becoming NaN.
    Frame(8, 10, 0.25f, Vector4(0, 0, 0, 0));
    EXPECT_EQ(Value("Light", 4), (std::vector<float>{0, 0, 0, 0}));
}

TEST_F(SharedParametersTest, TweakablesAreSetByNameUntilTheNextBind)
{
    m_group.Bind(m_effect.get());
    ASSERT_EQ(m_group.Tweakables().size(), 2u);
    const FXParamGroup::Tweakable& glow = m_group.Tweakables().at("Glow");
    EXPECT_EQ(glow.uiParams, (std::array<float, 4>{0, 1, 0.1f, 0}));
    EXPECT_EQ(glow.value, 0.5f);
    EXPECT_EQ(m_group.Tweakables().at("Spin").uiParams, (std::array<float, 4>{1, 9, 2, 0}));

    m_group.ChangeFloat("Glow", 0.75f);
    m_group.ChangeFloat("Plain", 7.0f);
    m_group.ChangeFloat("Nowhere", 7.0f);
    EXPECT_EQ(Value("Glow", 1), std::vector<float>{0.5f});
    Frame(0, 0, 0.0f);
    EXPECT_EQ(Value("Glow", 1), std::vector<float>{0.75f});
    EXPECT_EQ(Value("Plain", 1), std::vector<float>{2.0f});
    EXPECT_EQ(m_group.GetFloat("Glow"), 0.75f);
    EXPECT_EQ(m_group.GetFloat("Nowhere"), 0.0f);

    // A rebind starts from the effect's values.
    m_effect->SetFloat(m_effect->GetParameterByName("Glow"), 0.25f);
    m_group.Bind(m_effect.get());
    EXPECT_EQ(m_group.GetFloat("Glow"), 0.25f);

    // An effect without any of the semantics takes the frame without a fault.
    gfx::EffectDesc empty;
    std::unique_ptr<gfx::Effect> bare;
    std::string errors;
    ASSERT_TRUE(gfx::Effect::Create(m_device, empty, bare, errors).Succeeded());
    m_group.Bind(bare.get());
    Frame(1, 1, 0.5f);
    EXPECT_TRUE(m_group.Tweakables().empty());
}

// Relative targets follow the back buffer through a reset under the same number; absolute ones keep
// their size; depth formats make depth-stencil textures.
TEST(RenderTargetManagerTest, TargetsAreRemadeAtEveryResetUnderTheirNumbers)
{
    test::CapturedErrors errors;
    gfx::RecordingDevice device({1024, 700, true, false});
    RenderTargetManager targets;
    targets.OnResetDevice(1024, 700, &device);
    const float half[2] = {0.5f, 0.5f};
    const float square[2] = {256.0f, 256.0f};
    const std::uint32_t relative = targets.Create(&device, gfx::Format::A8R8G8B8, half, false);
    const std::uint32_t absolute = targets.Create(&device, gfx::Format::A8R8G8B8, square, true);
    const std::uint32_t depth =
        targets.Create(&device, RenderTargetManager::FormatNamed("D24S8"), half, false);
    const auto size = [&](std::uint32_t id)
    {
        gfx::SurfaceDesc desc;
        targets.Get(id).texture->GetLevelDesc(0, desc);
        return std::pair{desc.width, desc.height};
    };
    EXPECT_EQ(size(relative), (std::pair{512u, 350u}));
    EXPECT_EQ(size(absolute), (std::pair{256u, 256u}));
    gfx::SurfaceDesc depthDesc;
    targets.Get(depth).texture->GetLevelDesc(0, depthDesc);
    EXPECT_EQ(depthDesc.usage, gfx::kUsageDepthStencil);

    targets.OnLostDevice(&device);
    EXPECT_EQ(targets.Get(relative).texture, nullptr);
    targets.OnResetDevice(800, 600, &device);
    EXPECT_EQ(size(relative), (std::pair{400u, 300u}));
    EXPECT_EQ(size(absolute), (std::pair{256u, 256u}));
    EXPECT_EQ(targets.Get(99).texture, nullptr);
    EXPECT_EQ(RenderTargetManager::FormatNamed("d24s8"), gfx::Format::Unknown);
    EXPECT_EQ(errors.Count(), 0u);
}

} // namespace
} // namespace Quarn
