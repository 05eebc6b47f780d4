#include "Platform/GlDeviceFixture.h"
#include "platform/gfx/recording/RecordingDevice.h"

#include <vector>

namespace Quarn::platform::gfx
{
namespace
{

constexpr std::uint32_t kWidth = 64;
constexpr std::uint32_t kHeight = 48;
constexpr std::uint32_t kBlue = PackColour(255, 0, 0, 255);
constexpr std::uint32_t kRed = PackColour(255, 255, 0, 0);
constexpr std::uint32_t kGrey = PackColour(128, 10, 20, 30);

// The colour at (x, y), rows from the top.
std::uint32_t At(const std::vector<std::uint32_t>& pixels, std::uint32_t x, std::uint32_t y)
{
    return pixels[std::size_t{y} * kWidth + x];
}

// Clears the whole back buffer blue, then a red rectangle inside a viewport that cuts it, and reads back:
// every pixel is where the top-left pixel rules put it. Both devices must agree.
void ExpectClearsFollowThePixelRules(Device& device)
{
    ASSERT_TRUE(device.Clear({}, kClearTarget | kClearDepth | kClearStencil, kBlue, 1.0f, 0).Succeeded());
    ASSERT_TRUE(device.SetViewport({8, 4, 32, 20, 0.0f, 1.0f}).Succeeded());
    const Rect rect[1] = {{30, 10, 50, 30}};
    ASSERT_TRUE(device.Clear(rect, kClearTarget, kRed, 1.0f, 0).Succeeded());

    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(device.ReadSurface(*device.GetBackBuffer(), pixels).Succeeded());
    ASSERT_EQ(pixels.size(), std::size_t{kWidth} * kHeight);
    // The rectangle, cut by the viewport's right (40) and bottom (24) edges.
    EXPECT_EQ(At(pixels, 30, 10), kRed);
    EXPECT_EQ(At(pixels, 39, 23), kRed);
    EXPECT_EQ(At(pixels, 29, 10), kBlue);
    EXPECT_EQ(At(pixels, 30, 9), kBlue);
    EXPECT_EQ(At(pixels, 40, 10), kBlue);
    EXPECT_EQ(At(pixels, 39, 24), kBlue);
    EXPECT_EQ(At(pixels, 0, 0), kBlue);
    EXPECT_EQ(At(pixels, kWidth - 1, kHeight - 1), kBlue);

    // With no rectangles the whole viewport is cleared, alpha and all.
    ASSERT_TRUE(device.Clear({}, kClearTarget, kGrey, 1.0f, 0).Succeeded());
    ASSERT_TRUE(device.ReadSurface(*device.GetBackBuffer(), pixels).Succeeded());
    EXPECT_EQ(At(pixels, 8, 4), kGrey);
    EXPECT_EQ(At(pixels, 39, 23), kGrey);
    EXPECT_EQ(At(pixels, 7, 4), kBlue);
    EXPECT_EQ(At(pixels, 8, 3), kBlue);
    EXPECT_EQ(At(pixels, 40, 23), kBlue);
}

class GlDeviceTest : public test::GlDeviceFixture
{
protected:
    GlDeviceTest() : GlDeviceFixture(kWidth, kHeight) {}
};

TEST_F(GlDeviceTest, ClearsFollowThePixelRulesAndReadBackExactly)
{
    ASSERT_NE(m_device, nullptr) << m_error;
    ExpectClearsFollowThePixelRules(*m_device);
    EXPECT_TRUE(m_device->Present().Succeeded());
}

TEST_F(GlDeviceTest, ResetMakesABackBufferOfTheNewSizeWithAWholeViewport)
{
    ASSERT_NE(m_device, nullptr) << m_error;
    ASSERT_TRUE(m_device->SetViewport({1, 1, 2, 2, 0.0f, 1.0f}).Succeeded());
    ASSERT_TRUE(m_device->Reset({32, 16, true, true}).Succeeded());
    EXPECT_EQ(m_device->GetViewport(), (Viewport{0, 0, 32, 16, 0.0f, 1.0f}));
    ASSERT_TRUE(m_device->Clear({}, kClearTarget, kRed, 1.0f, 0).Succeeded());
    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(m_device->ReadSurface(*m_device->GetBackBuffer(), pixels).Succeeded());
    ASSERT_EQ(pixels.size(), 32u * 16u);
    EXPECT_EQ(pixels.back(), kRed);

    // What the device cannot take is refused, and changes nothing.
    const struct
    {
        const char* name;
        Result result;
    } refused[] = {
        {"empty back buffer", m_device->Reset({0, 16, true, false})},
        {"viewport past the edge", m_device->SetViewport({30, 0, 3, 16, 0.0f, 1.0f})},
        {"depth range upside down", m_device->SetViewport({0, 0, 4, 4, 1.0f, 0.0f})},
        {"nothing to clear", m_device->Clear({}, 0, kRed, 1.0f, 0)},
    };
    for (const auto& c : refused)
        EXPECT_EQ(c.result, Result::Code::InvalidCall) << c.name;
    EXPECT_EQ(m_device->Parameters().backBufferWidth, 32u);
}

TEST(RecordingDeviceTest, KeepsWhatWasClearedLogsEveryCallAndAnswersInjectedResults)
{
    RecordingDevice device({kWidth, kHeight, true, false});
    ExpectClearsFollowThePixelRules(device);
    ASSERT_GE(device.Log().size(), 2u);
    EXPECT_EQ(device.Log()[0], "Clear flags=7 colour=ff0000ff depth=1.000000 stencil=0");
    EXPECT_EQ(device.Log()[1], "SetViewport 8,4 32x20");

    device.ClearLog();
    device.InjectResults("Present", {Result::Code::DeviceLost});
    device.InjectResults("TestCooperativeLevel", {Result::Code::DeviceLost, Result::Code::DeviceNotReset});
    device.InjectResults("Reset", {Result::Code::InvalidCall});
    EXPECT_EQ(device.Present(), Result::Code::DeviceLost);
    EXPECT_EQ(device.TestCooperativeLevel(), Result::Code::DeviceLost);
    EXPECT_EQ(device.TestCooperativeLevel(), Result::Code::DeviceNotReset);
    EXPECT_EQ(device.Reset({16, 16, false, true}), Result::Code::InvalidCall);
    EXPECT_EQ(device.Parameters().backBufferWidth, kWidth) << "a failed reset keeps the old back buffer";
    EXPECT_TRUE(device.Reset({16, 16, false, true}).Succeeded());
    EXPECT_TRUE(device.Present().Succeeded());
    EXPECT_EQ(device.Log(), (std::vector<std::string>{"Present", "TestCooperativeLevel",
                                                      "TestCooperativeLevel", "Reset 16x16 full screen vsync",
                                                      "Reset 16x16 full screen vsync", "Present"}));
}

TEST(RecordingDeviceTest, NamesResourcesInTheLogAndKeepsStateForStateBlocks)
{
    RecordingDevice device({kWidth, kHeight, true, false});
    std::shared_ptr<Texture> texture;
    ASSERT_TRUE(device.CreateTexture(8, 4, 0, 0, Format::A8R8G8B8, Pool::Managed, texture).Succeeded());
    EXPECT_EQ(texture->LevelCount(), 4u);
    ASSERT_TRUE(device.SetRenderState(RenderState::CullMode, kCullNone).Succeeded());
    std::unique_ptr<StateBlock> block;
    ASSERT_TRUE(device.CreateStateBlock(block).Succeeded());
    ASSERT_TRUE(device.SetRenderState(RenderState::CullMode, kCullClockwise).Succeeded());
    ASSERT_TRUE(device.SetTexture(0, texture).Succeeded());
    ASSERT_TRUE(block->Apply().Succeeded());
    EXPECT_EQ(device.GetRenderState(RenderState::CullMode), kCullNone);
    EXPECT_EQ(device.State().textures[0], nullptr);

    // Draws outside a scene are refused, and a user-pointer draw leaves stream 0 empty.
    EXPECT_EQ(device.DrawPrimitive(PrimitiveType::TriangleList, 0, 1), Result::Code::InvalidCall);
    const float vertex[3 * 4] = {};
    ASSERT_TRUE(device.BeginScene().Succeeded());
    EXPECT_TRUE(device.DrawPrimitiveUP(PrimitiveType::TriangleList, 1, vertex, 16).Succeeded());
    EXPECT_EQ(device.State().streams[0].buffer, nullptr);

    const std::vector<std::string>& log = device.Log();
    ASSERT_EQ(log.size(), 9u);
    EXPECT_EQ(log[0], "CreateTexture 8x4 levels=0 usage=0 A8R8G8B8 managed");
    EXPECT_EQ(log[1], "SetRenderState CullMode 1");
    EXPECT_EQ(log[2], "CreateStateBlock");
    EXPECT_TRUE(log[4].starts_with("SetTexture 0 #")) << log[4];
    EXPECT_EQ(log[5], "ApplyStateBlock");
    EXPECT_EQ(log[6], "DrawPrimitive triangles 0 1");
    EXPECT_EQ(log[8], "DrawPrimitiveUP triangles 1 16");
}

} // namespace
} // namespace Quarn::platform::gfx
