#include "widgets/device/DeviceBackend.h"

#include "Platform/GlDeviceFixture.h"
#include "platform/fonts/FontFile.h"
#include "platform/fonts/PrivateFonts.h"
#include "platform/gfx/DeviceFont.h"
#include "platform/gfx/DeviceState.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace Gui::Renderer
{
namespace
{

namespace gfx = Quarn::platform::gfx;

constexpr std::uint32_t kWidth = 64;
constexpr std::uint32_t kHeight = 32;
constexpr std::uint32_t kClear = 0xFF000000;

// The font the demo ships, found from this folder's place in the source tree, usable by its family name.
bool AddShippedFont()
{
    const std::filesystem::path file =
        std::filesystem::path(QUARN_FIXTURES).parent_path().parent_path().parent_path() /
        "Resources/Fonts/DejaVuSans.ttf";
    return Quarn::platform::fonts::AddPrivateFont(file.string());
}

// The widget renderer on a GL device: what it draws is read back from the back buffer.
class DeviceRendererTest : public gfx::test::GlDeviceFixture
{
protected:
    DeviceRendererTest() : GlDeviceFixture(kWidth, kHeight) {}

    void Frame(const std::function<void(Device&)>& draw)
    {
        ASSERT_TRUE(m_device) << m_error;
        Device renderer(*m_device);
        m_device->BeginScene();
        m_device->Clear({}, gfx::kClearTarget, kClear, 1.0f, 0);
        renderer.Begin();
        draw(renderer);
        renderer.End();
        m_device->EndScene();
        ASSERT_TRUE(m_device->ReadSurface(*m_device->GetBackBuffer(), m_pixels).Succeeded());
    }
    std::uint32_t At(std::uint32_t x, std::uint32_t y) const { return m_pixels[y * kWidth + x]; }

    std::vector<std::uint32_t> m_pixels;
};

TEST_F(DeviceRendererTest, RectanglesCoverExactlyTheirPixelsAndClippingCutsThem)
{
    Frame(
        [](Device& renderer)
        {
            renderer.SetDrawColor(Color(255, 0, 0, 255));
            renderer.DrawFilledRect(Rect(2, 3, 4, 5));
            renderer.SetClipRegion(Rect(20, 0, 10, 10));
            renderer.StartClip();
            renderer.SetDrawColor(Color(0, 255, 0, 255));
            renderer.DrawFilledRect(Rect(15, 2, 30, 4));
            renderer.EndClip();
        });
    EXPECT_EQ(At(2, 3), 0xFFFF0000u);
    EXPECT_EQ(At(5, 7), 0xFFFF0000u);
    EXPECT_EQ(At(6, 7), kClear);
    EXPECT_EQ(At(5, 8), kClear);
    EXPECT_EQ(At(1, 3), kClear);
    EXPECT_EQ(At(20, 2), 0xFF00FF00u);
    EXPECT_EQ(At(29, 5), 0xFF00FF00u);
    EXPECT_EQ(At(19, 2), kClear) << "the clipped child paints nothing outside";
    EXPECT_EQ(At(30, 2), kClear);
}

TEST_F(DeviceRendererTest, AFourByFourCheckerIsExactAndAMissingImageIsRed)
{
    Quarn::test::TempDir dir;
    // A 4 x 4 checker of white and blue, written as a plain 32-bit BMP.
    const std::filesystem::path file = dir / "checker.bmp";
    {
        std::ofstream out(file, std::ios::binary);
        const auto put32 = [&out](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
        const auto put16 = [&out](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
        out << "BM";
        put32(54 + 64);
        put32(0);
        put32(54);
        put32(40);
        put32(4);
        put32(4);
        put16(1);
        put16(32);
        put32(0);
        put32(64);
        put32(0);
        put32(0);
        put32(0);
        put32(0);
        // Rows run from the bottom in the file.
        for (int y = 3; y >= 0; --y)
            for (int x = 0; x < 4; ++x)
                put32((x + y) % 2 ? 0xFF0000FFu : 0xFFFFFFFFu);
    }
    Frame(
        [&](Device& renderer)
        {
            Texture checker;
            checker.name = file.wstring();
            renderer.LoadTexture(&checker);
            EXPECT_FALSE(checker.failed);
            EXPECT_EQ(checker.width, 4);
            renderer.DrawTexturedRect(&checker, Rect(8, 8, 4, 4), 0, 0, 1, 1);
            Texture missing;
            missing.name = L"/nowhere/missing.png";
            renderer.LoadTexture(&missing);
            renderer.DrawTexturedRect(&missing, Rect(40, 8, 4, 4), 0, 0, 1, 1);
            renderer.FreeTexture(&checker);
        });
    for (std::uint32_t y = 0; y < 4; ++y)
        for (std::uint32_t x = 0; x < 4; ++x)
            EXPECT_EQ(At(8 + x, 8 + y), (x + y) % 2 ? 0xFF0000FFu : 0xFFFFFFFFu) << x << "," << y;
    EXPECT_EQ(At(40, 8), 0xFFFF0000u);
}

TEST_F(DeviceRendererTest, TextLiesInsideItsMeasuredBoxAndTheDeviceStateComesBack)
{
    ASSERT_TRUE(AddShippedFont());
    ASSERT_TRUE(m_device) << m_error;
    const gfx::DeviceState before = m_device->State();
    Point size;
    Frame(
        [&](Device& renderer)
        {
            Font font;
            font.facename = L"DejaVu Sans";
            font.size = 14.0f;
            size = renderer.MeasureText(&font, std::string("Hi"));
            renderer.SetDrawColor(Color(255, 255, 0, 255));
            renderer.RenderText(&font, Point(10, 5), std::string("Hi"));
            renderer.ReleaseAllFonts();
        });
    EXPECT_GT(size.x, 5);
    int inside = 0;
    for (std::uint32_t y = 0; y < kHeight; ++y)
        for (std::uint32_t x = 0; x < kWidth; ++x)
        {
            const bool inBox = x >= 10 && x < 10u + static_cast<std::uint32_t>(size.x) && y >= 5 &&
                               y < 5u + static_cast<std::uint32_t>(size.y);
            if (At(x, y) != kClear)
            {
                EXPECT_TRUE(inBox) << x << "," << y;
                ++inside;
            }
        }
    EXPECT_GT(inside, 10);
    EXPECT_EQ(m_device->GetRenderState(gfx::RenderState::ScissorTestEnable),
              before.renderStates[static_cast<std::size_t>(gfx::RenderState::ScissorTestEnable)]);
    EXPECT_EQ(m_device->GetRenderState(gfx::RenderState::ZEnable),
              before.renderStates[static_cast<std::size_t>(gfx::RenderState::ZEnable)]);
}

// The skin's symbol font and its text face have stand-ins: Marlett's "4" is the stand-in's right arrow, and
// "akashi" is DejaVu Sans when no font of that name is there.
TEST_F(DeviceRendererTest, TheSkinsFontNamesHaveStandIns)
{
    ASSERT_TRUE(AddShippedFont());
    for (const char* family : {"akashi", "Marlett", "MARLETT"})
        EXPECT_EQ(
            std::filesystem::path(Quarn::platform::fonts::FindFontFile(family, 0, false).path).filename(),
            "DejaVuSans.ttf")
            << family;
    ASSERT_TRUE(m_device) << m_error;
    std::unique_ptr<gfx::DeviceFont> plain;
    std::string error;
    ASSERT_TRUE(gfx::DeviceFont::Create(*m_device, {"DejaVu Sans", 14, 0, false, U"\u25B6"}, plain, error)
                    .Succeeded());
    Point arrow;
    Frame(
        [&](Device& renderer)
        {
            Font marlett;
            marlett.facename = L"Marlett";
            marlett.size = 14.0f;
            arrow = renderer.MeasureText(&marlett, std::string("4"));
            renderer.RenderText(&marlett, Point(20, 8), std::string("4"));
            renderer.ReleaseAllFonts();
        });
    EXPECT_EQ(arrow.x, plain->Advance("\xE2\x96\xB6"));
    EXPECT_NE(arrow.x, plain->Advance("4"));
    int drawn = 0;
    for (std::uint32_t y = 0; y < kHeight; ++y)
        for (std::uint32_t x = 0; x < kWidth; ++x)
            drawn += At(x, y) != kClear;
    EXPECT_GT(drawn, 10);
}

} // namespace
} // namespace Gui::Renderer
