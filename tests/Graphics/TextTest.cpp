#include "Graphics/Text.h"
#include "Audio/Audio.h"
#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "GameObjects/Camera.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/Gameplay.h"
#include "GameObjects/Transform.h"
#include "Graphics/Graphics.h"
#include "Physics/Physics.h"
#include "Platform/GlDeviceFixture.h"
#include "platform/fonts/PrivateFonts.h"
#include "platform/gfx/DeviceFont.h"
#include "platform/gfx/EffectFile.h"
#include "support/CapturedErrors.h"
#include "support/RecordingGraphics.h"
#include "support/RunFolder.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <optional>

namespace Quarn
{
namespace
{

namespace gfx = platform::gfx;

const std::string kShippedFont = std::string(QUARN_FIXTURES) + "/../../../Resources/Fonts/DejaVuSans.ttf";

// The pen's travel over the text in the font file at the pixel height, by FreeType alone.
int FreeTypeAdvance(const std::string& file, std::uint32_t height, const std::string& text)
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int advance = 0;
    if (FT_Init_FreeType(&library) == 0 && FT_New_Face(library, file.c_str(), 0, &face) == 0 &&
        FT_Set_Pixel_Sizes(face, 0, height) == 0)
        for (const char c : text)
            if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_DEFAULT) == 0)
                advance += static_cast<int>((face->glyph->advance.x + 32) >> 6);
    if (face)
        FT_Done_Face(face);
    if (library)
        FT_Done_FreeType(library);
    return advance;
}

TEST(DeviceFontTest, MeasuringGivesTheFontsAdvanceAndPlacesTheBox)
{
    ASSERT_TRUE(platform::fonts::AddPrivateFont(kShippedFont));
    gfx::RecordingDevice device{gfx::PresentParameters{800, 600}};
    std::unique_ptr<gfx::DeviceFont> font;
    std::string error;
    ASSERT_TRUE(gfx::DeviceFont::Create(device, {"DejaVu Sans", 30}, font, error).Succeeded()) << error;
    EXPECT_NE(font->File().find("DejaVuSans.ttf"), std::string::npos) << font->File();
    const std::string text = "Score 100";
    const int width = FreeTypeAdvance(kShippedFont, 30, text);
    EXPECT_GT(width, 0);
    EXPECT_EQ(font->Advance(text), width);
    const struct
    {
        std::uint32_t format;
        gfx::Rect box;
    } cases[] = {
        {gfx::kTextCentre | gfx::kTextBottom,
         {100 - width / 2, 50 - font->LineHeight(), 100 - width / 2 + width, 50}},
        {gfx::kTextRight, {100 - width, 50, 100, 50 + font->LineHeight()}},
        {0, {100, 50, 100 + width, 50 + font->LineHeight()}},
    };
    for (const auto& c : cases)
    {
        gfx::Rect box{100, 50, 100, 50};
        font->DrawText(text, box, c.format | gfx::kTextCalcRect, 0);
        EXPECT_EQ(box, c.box) << c.format;
    }
    // Characters past Latin-1 measure as '?'.
    EXPECT_EQ(font->Advance("\xE2\x82\xAC"), font->Advance("?"));
    EXPECT_EQ(font->Advance("\xC3\xA9"), FreeTypeAdvance(kShippedFont, 30, "\xE9"));
}

// Texts of a game on the recording device.
class TextTest : public test::RecordingGameTest
{
protected:
    TextTest()
    {
        m_folder.WriteSource("Settings/Graphics.xml", "<?xml version=\"1.0\" ?>\n<root><Graphics/></root>\n");
        m_folder.WriteWorking(
            "Effects/Model.fxo",
            gfx::CompiledEffect(
                "float Script : STANDARDSGLOBAL < string Script = \"Technique=Main;\"; > = 0.8;\n"
                "technique Main < string Script = \"Pass=Text;\"; >\n"
                "{ pass Text < string Script = \"Draw=Text;\"; > { } }\n"));
        // The camera looks at the texts from 100 units away.
        m_folder.WriteSource(
            "Objects/Eye.xml",
            "<?xml version=\"1.0\" ?>\n<root><Object><Transform><Position><Z>100</Z></Position>"
            "</Transform><Camera/></Object></root>\n");
        m_folder.WriteSource("Objects/Label.xml", "<?xml version=\"1.0\" ?>\n<root><Object><Transform/><Text>"
                                                  "<Display>hi</Display><Font><Face>DejaVu Sans</Face></Font>"
                                                  "</Text></Object></root>\n");
        platform::fonts::AddPrivateFont(kShippedFont);
        Physics::RegisterComponentTypes();
        Gameplay::RegisterComponentTypes();
        Audio::RegisterComponentTypes();
        StartGame();
        GameObject* eye = m_systems->GetGameObjectManager().CreateGameObject("Eye");
        m_graphics->SetMainCamera(eye ? eye->Get<Camera>() : nullptr);
    }

    Text& Label()
    {
        GameObject* object = m_systems->GetGameObjectManager().CreateGameObject("Label");
        EXPECT_NE(object, nullptr);
        return *object->Get<Text>();
    }

    // The frame's text draws and fills.
    std::vector<std::string> Frame()
    {
        gfx::RecordingDevice& device = *m_devices.Device();
        device.ClearLog();
        m_graphics->Update(0.016f);
        std::vector<std::string> calls;
        for (const std::string& call : device.Log())
            if (call.starts_with("DrawPrimitiveUP") || call.starts_with("ColorFill"))
                calls.push_back(call.substr(0, call.find(' ')));
        return calls;
    }
};

TEST_F(TextTest, TextsDrawWithTheirShadowOrBackgroundAndShareFonts)
{
    using Calls = std::vector<std::string>;
    EXPECT_TRUE(Frame().empty()) << "no text, no pass";
    Text& first = Label();
    EXPECT_EQ(Frame(), (Calls{"DrawPrimitiveUP", "DrawPrimitiveUP", "DrawPrimitiveUP"}))
        << "a two-step shadow";
    first.m_backgroundColor = RGBA(0x00FFFFFFu);
    EXPECT_EQ(Frame(), (Calls{"DrawPrimitiveUP"})) << "a clear background draws no shadow";
    first.m_backgroundColor = RGBA(0xFF204080u);
    first.m_solidBackground = true;
    EXPECT_EQ(Frame(), (Calls{"ColorFill", "DrawPrimitiveUP"}));

    Label().m_backgroundColor = RGBA(0u);
    Frame();
    EXPECT_EQ(m_graphics->GetTextRenderer().FontCount(), 1u) << "equal fonts share one device font";
    m_graphics->HandleLostDevice();
    EXPECT_EQ(m_graphics->GetTextRenderer().FontCount(), 0u);
    m_graphics->HandleResetDevice();
    Frame();
    EXPECT_EQ(m_graphics->GetTextRenderer().FontCount(), 1u) << "made again at the next draw";
    EXPECT_EQ(m_errors.Count(), 0u) << m_errors.Texts()[0];
}

// A text drawn by OpenGL: its pixels inside the box it measures, over its solid background.
class GlTextTest : public gfx::test::GlDeviceFixture
{
protected:
    GlTextTest() : GlDeviceFixture(200, 100) {}
};

TEST_F(GlTextTest, TheTextsPixelsLieInsideItsMeasuredBoxOverItsBackground)
{
    ASSERT_TRUE(m_device) << m_error;
    ASSERT_TRUE(platform::fonts::AddPrivateFont(kShippedFont));
    std::unique_ptr<gfx::DeviceFont> font;
    std::string error;
    ASSERT_TRUE(gfx::DeviceFont::Create(*m_device, {"DejaVu Sans", 24}, font, error).Succeeded()) << error;
    constexpr std::uint32_t kClear = 0xFF000000;
    constexpr std::uint32_t kBackground = 0xFF2040A0;
    constexpr std::uint32_t kInk = 0xFFFFFF00;
    m_device->BeginScene();
    m_device->Clear({}, gfx::kClearTarget, kClear, 1.0f, 0);
    gfx::Rect box{100, 70, 100, 70};
    const std::uint32_t format = gfx::kTextCentre | gfx::kTextBottom;
    font->DrawText("Hello", box, format | gfx::kTextCalcRect, 0);
    m_device->ColorFill(*m_device->GetBackBuffer(), &box, kBackground);
    gfx::Rect place{100, 70, 100, 70};
    font->DrawText("Hello", place, format, kInk);
    m_device->EndScene();
    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(m_device->ReadSurface(*m_device->GetBackBuffer(), pixels).Succeeded());
    int ink = 0;
    int background = 0;
    for (std::int32_t y = 0; y < 100; ++y)
        for (std::int32_t x = 0; x < 200; ++x)
        {
            const std::uint32_t pixel = pixels[static_cast<std::size_t>(y * 200 + x)];
            const bool inside = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
            if (!inside)
            {
                EXPECT_EQ(pixel, kClear) << x << "," << y;
            }
            ink += inside && pixel == kInk;
            background += inside && pixel == kBackground;
        }
    EXPECT_GT(ink, 20);
    EXPECT_GT(background, ink);
}

} // namespace
} // namespace Quarn
