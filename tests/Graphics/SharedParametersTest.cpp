#include "Graphics/FXParamGroup.h"
#include "Graphics/RenderTargetManager.h"
#include "Graphics/ViewProjection.h"
#include "Platform/GlDeviceFixture.h"
#include "platform/gfx/recording/RecordingDevice.h"
#include "support/CapturedErrors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

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

// Every format name of the classic table is known. On GL, each that a render target can have makes a
// target that takes a clear (a colour target as target 0, a depth one as the depth-stencil surface); the
// others (palettes, bump-map and video layouts, compressed blocks, vertex and index data, packings GL
// has no storage for) are reported as a failed target and leave it without a texture.
class GlRenderTargetTest : public gfx::test::GlDeviceFixture
{
protected:
    GlRenderTargetTest() : GlDeviceFixture(16, 16) {}
};

TEST_F(GlRenderTargetTest, EveryFormatNameMakesATargetOrIsReportedAsAFailedOne)
{
    ASSERT_TRUE(m_device) << m_error;
    const struct
    {
        const char* names;
        bool made;
    } groups[] = {
        {"R8G8B8 A8R8G8B8 X8R8G8B8 R5G6B5 X1R5G5B5 A4R4G4B4 R3G3B2 A8 X4R4G4B4 A2B10G10R10 A8B8G8R8 "
         "X8B8G8R8 G16R16 A2R10G10B10 A16B16G16R16 L8 A8L8 L16 R16F G16R16F A16B16G16R16F R32F G32R32F "
         "A32B32G32R32F D16_LOCKABLE D32 D15S1 D24S8 D24X8 D24X4S4 D16 D32F_LOCKABLE D24FS8",
         true},
        {"A8R3G3B2 A8P8 P8 A4L4 V8U8 L6V5U5 X8L8V8U8 Q8W8V8U8 V16U16 A2W10V10U10 UYVY R8G8_B8G8 YUY2 "
         "G8R8_G8B8 DXT1 DXT2 DXT3 DXT4 DXT5 VERTEXDATA INDEX16 INDEX32 Q16W16V16U16 MULTI2_ARGB8 CxV8U8 "
         "a8r8g8b8 NOTAFORMAT",
         false},
    };
    RenderTargetManager targets;
    targets.OnResetDevice(16, 16, m_device.get());
    const float size[2] = {16.0f, 16.0f};
    for (const auto& group : groups)
    {
        std::istringstream names(group.names);
        for (std::string name; names >> name;)
        {
            test::CapturedErrors errors;
            const gfx::Format format = RenderTargetManager::FormatNamed(name);
            const std::uint32_t id = targets.Create(m_device.get(), format, size, true);
            const std::shared_ptr<gfx::Texture>& texture = targets.Get(id).texture;
            ASSERT_EQ(texture != nullptr, group.made) << name;
            if (!group.made)
            {
                EXPECT_TRUE(errors.Any("Failed to create render target.")) << name;
                continue;
            }
            std::shared_ptr<gfx::Surface> surface;
            ASSERT_TRUE(texture->GetSurfaceLevel(0, surface).Succeeded()) << name;
            const bool depth = gfx::IsDepthFormat(format);
            if (depth)
                EXPECT_TRUE(m_device->SetDepthStencilSurface(surface).Succeeded()) << name;
            else
                EXPECT_TRUE(m_device->SetRenderTarget(0, surface).Succeeded()) << name;
            std::uint32_t flags = gfx::kClearTarget;
            if (depth)
                flags = gfx::HasStencil(format) ? gfx::kClearDepth | gfx::kClearStencil : gfx::kClearDepth;
            EXPECT_TRUE(m_device->Clear({}, flags, 0xFF204080u, 0.5f, 1).Succeeded()) << name;
            m_device->SetRenderTarget(0, nullptr);
            m_device->SetDepthStencilSurface(nullptr);
            EXPECT_EQ(errors.Count(), 0u) << name << ": " << errors.Texts()[0];
        }
    }
}

} // namespace
} // namespace Quarn
