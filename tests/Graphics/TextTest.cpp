#include "Graphics/Text.h"
#include "../Script/LuaTestState.h"
#include "Audio/Audio.h"
#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "GameObjects/Camera.h"
#include "GameObjects/GameObjectLua.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/Gameplay.h"
#include "GameObjects/Transform.h"
#include "Graphics/Graphics.h"
#include "Graphics/TextRenderer.h"
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

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace Quarn
{
namespace
{

namespace gfx = platform::gfx;

const std::string kShippedFont = std::string(QUARN_FIXTURES) + "/../../../Resources/Fonts/DejaVuSans.ttf";

// The pen's travel over the characters in the font file at the pixel height, by FreeType alone.
int FreeTypeAdvance(const std::string& file, std::uint32_t height, const std::u32string& text)
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int advance = 0;
    if (FT_Init_FreeType(&library) == 0 && FT_New_Face(library, file.c_str(), 0, &face) == 0 &&
        FT_Set_Pixel_Sizes(face, 0, height) == 0)
        for (const char32_t c : text)
            if (FT_Load_Char(face, c, FT_LOAD_DEFAULT) == 0)
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
    const int width = FreeTypeAdvance(kShippedFont, 30, U"Score 100");
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
    // Every character the face has measures as itself; one it lacks, and a byte that is not UTF-8, as '?'.
    const int question = FreeTypeAdvance(kShippedFont, 30, U"?");
    const struct
    {
        const char* utf8;
        int advance;
    } characters[] = {
        {"\xC3\xA9", FreeTypeAdvance(kShippedFont, 30, U"\u00E9")},
        {"\xE2\x82\xAC", FreeTypeAdvance(kShippedFont, 30, U"\u20AC")},
        {"\xE2\x9C\x93", FreeTypeAdvance(kShippedFont, 30, U"\u2713")},
        {"\xD0\x96", FreeTypeAdvance(kShippedFont, 30, U"\u0416")},
        {"\xF4\x8F\xBF\xBF", question},
        {"\xFF", question},
        {"\xE2\x82", question},
    };
    for (const auto& c : characters)
        EXPECT_EQ(font->Advance(c.utf8), c.advance) << c.utf8;
    EXPECT_NE(FreeTypeAdvance(kShippedFont, 30, U"\u20AC\u2713"), 2 * question)
        << "the fixture tells them apart";
}

// Pixel heights, whatever number gives them, are brought into 1 to 4096, and so is the height a font is
// asked to be made at.
TEST(DeviceFontTest, PixelHeightsAreClampedIntoOneTo4096)
{
    ASSERT_TRUE(platform::fonts::AddPrivateFont(kShippedFont));
    const float infinity = std::numeric_limits<float>::infinity();
    const struct
    {
        float pixels;
        std::uint32_t height;
    } cases[] = {{0.0f, 1},       {-1.0f, 1},   {std::nanf(""), 1}, {infinity, 4096},
                 {-infinity, 1},  {7e6f, 4096}, {4096.0f, 4096},    {4097.0f, 4096},
                 {4095.9f, 4095}, {30.9f, 30},  {1.0f, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(gfx::FontHeightOf(c.pixels), c.height) << c.pixels;
    gfx::RecordingDevice device{gfx::PresentParameters{800, 600}};
    for (const auto& [asked, made] : {std::pair{0u, 1u}, std::pair{7'000'000u, 4096u}})
    {
        std::unique_ptr<gfx::DeviceFont> font;
        std::string error;
        ASSERT_TRUE(gfx::DeviceFont::Create(device, {"DejaVu Sans", asked}, font, error).Succeeded())
            << error;
        EXPECT_EQ(font->Desc().height, made);
        EXPECT_GT(font->LineHeight(), 0);
    }
}

// Lines far longer than an int can measure, placed at the edges of the int range: every sum stays in it.
TEST(DeviceFontTest, LongLinesAtHugeSizesMeasureAndDrawWithinTheRangeOfAnInt)
{
    ASSERT_TRUE(platform::fonts::AddPrivateFont(kShippedFont));
    gfx::RecordingDevice device{gfx::PresentParameters{800, 600}};
    std::unique_ptr<gfx::DeviceFont> font;
    std::string error;
    ASSERT_TRUE(gfx::DeviceFont::Create(device, {"DejaVu Sans", 4096}, font, error).Succeeded()) << error;
    // Spaces have an advance of over a thousand pixels at this height and no image to render.
    const std::string line = "." + std::string(2'000'000, ' ') + ".";
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    EXPECT_EQ(font->Advance(line), kMax);
    const std::int64_t width =
        2 * std::int64_t{font->Advance(".")} + 2'000'000 * std::int64_t{font->Advance(" ")};
    ASSERT_GT(width, std::int64_t{kMax});
    const struct
    {
        gfx::Rect place;
        std::uint32_t format;
        gfx::Rect box;
    } cases[] = {
        {{kMax - 10, 0, kMax - 10, 0}, 0, {kMax - 10, 0, kMax, font->LineHeight()}},
        {{kMin + 10, kMin + 5, kMin + 10, kMin + 5},
         gfx::kTextRight | gfx::kTextBottom,
         {kMin, kMin, kMin + 10, kMin + 5}},
        {{kMax, kMax, kMax, kMax},
         gfx::kTextCentre | gfx::kTextBottom,
         {static_cast<int>(kMax - width / 2), kMax - font->LineHeight(), kMax, kMax}},
    };
    for (const auto& c : cases)
    {
        gfx::Rect box = c.place;
        font->DrawText(line, box, c.format | gfx::kTextCalcRect, 0);
        EXPECT_EQ(box, c.box) << c.format;
        gfx::Rect place = c.place;
        device.ClearLog();
        EXPECT_EQ(font->DrawText(line, place, c.format, 0xFFFFFFFFu), font->LineHeight());
        EXPECT_EQ(std::count_if(device.Log().begin(), device.Log().end(),
                                [](const std::string& call)
                                { return call.starts_with("DrawPrimitiveUP triangles 4 "); }),
                  1)
            << "the two dots";
    }
}

// A game of texts: the settings, an effect whose technique runs the script before drawing the group
// "text", a camera looking at the origin from 100 units away, and the prototype Label, a text there.
void WriteTextGame(const test::RunFolder& folder, const std::string& settings, const std::string& script)
{
    folder.WriteSource("Settings/Graphics.xml",
                       "<?xml version=\"1.0\" ?>\n<root><Graphics>" + settings + "</Graphics></root>\n");
    folder.WriteWorking(
        "Effects/Model.fxo",
        gfx::CompiledEffect("float Script : STANDARDSGLOBAL < string Script = \"Technique=Main;\"; > "
                            "= 0.8;\nfloat4 Black = {0, 0, 0, 1};\n"
                            "technique Main < string Script = \"" +
                            script +
                            "Pass=Text;\"; >\n"
                            "{ pass Text < string Script = \"Draw=Text;\"; > { } }\n"));
    folder.WriteSource("Objects/Eye.xml",
                       "<?xml version=\"1.0\" ?>\n<root><Object><Transform><Position><Z>100</Z></Position>"
                       "</Transform><Camera/></Object></root>\n");
    folder.WriteSource("Objects/Label.xml", "<?xml version=\"1.0\" ?>\n<root><Object><Transform/><Text>"
                                            "<Display>hi</Display><Font><Face>DejaVu Sans</Face></Font>"
                                            "</Text></Object></root>\n");
}

// Starts the game written above (the Graphics system on the adapter its factory gives) and looks
// through the camera.
void StartTextGame(std::optional<SystemManager>& systems, std::optional<Graphics>& graphics)
{
    platform::fonts::AddPrivateFont(kShippedFont);
    Physics::RegisterComponentTypes();
    Gameplay::RegisterComponentTypes();
    Audio::RegisterComponentTypes();
    test::RecordingGraphics::StartGame(systems, graphics);
    GameObject* eye = systems->GetGameObjectManager().CreateGameObject("Eye");
    graphics->SetMainCamera(eye ? eye->Get<Camera>() : nullptr);
}

Text& NewLabel(SystemManager& systems)
{
    GameObject* object = systems.GetGameObjectManager().CreateGameObject("Label");
    EXPECT_NE(object, nullptr);
    return *object->Get<Text>();
}

// Texts of a game on the recording device.
class TextTest : public test::RecordingGameTest
{
protected:
    TextTest()
    {
        WriteTextGame(m_folder, "", "");
        StartTextGame(m_systems, m_graphics);
    }

    Text& Label() { return NewLabel(*m_systems); }

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

// Every method of a Text handle round-trips its field; a handle whose owner is gone answers defaults and
// changes nothing; colour channels and alignments of any size keep their conversions defined.
TEST_F(TextTest, ScriptsReadAndWriteEveryFieldThroughTheHandle)
{
    GameObject* owner = m_systems->GetGameObjectManager().CreateGameObject("Label");
    ASSERT_NE(owner, nullptr);
    test::LuaTestState lua;
    LuaConverter<GameObject*>::Push(lua.State(), owner);
    lua_setglobal(lua.State(), "label");
    EXPECT_EQ(lua.Run(R"(
        t = label.text
        assert(t:Exists())
        assert(t:GetText() == "hi")
        t:SetText("héllo ✓")
        assert(t:GetText() == "héllo ✓")
        local font = t:GetFont()
        assert(font:GetFacename() == "DejaVu Sans")
        font:SetFacename("Other") font:SetSize(0.25) font:SetWeight(700) font:SetItalic(true)
        assert(t:GetFont():GetFacename() == "DejaVu Sans", "a font value is a copy")
        t:SetFont(font)
        local kept = t:GetFont()
        assert(kept:GetFacename() == "Other" and kept:GetSize() == 0.25 and kept:GetWeight() == 700
               and kept:GetItalic())
        t:SetColor(RGBA(255, 128, 0, 64))
        local c = t:GetColor()
        assert(c:GetR() == 1 and math.abs(c:GetG() - 128 / 255) < 1e-6 and c:GetB() == 0
               and math.abs(c:GetA() - 64 / 255) < 1e-6)
        t:SetBackgroundColor(RGB(0, 0, 255))
        assert(t:GetBackgroundColor():GetB() == 1 and t:GetBackgroundColor():GetA() == 1)
        assert(t:GetAlignment() == 1)
        t:SetAlignment(2)
        assert(t:GetAlignment() == 2)
        assert(t:GetSolidBackground() == false)
        t:SetSolidBackground(true)
        assert(t:GetSolidBackground())
    )"),
              "");
    const Text& text = *owner->Get<Text>();
    EXPECT_EQ(text.m_display, "h\xC3\xA9llo \xE2\x9C\x93");
    EXPECT_EQ(text.m_color, RGBA(0x40FF8000u));
    EXPECT_EQ(text.m_alignment, 2u);
    EXPECT_TRUE(text.m_solidBackground);

    // Numbers past every range: colour channels from scripts and alignments.
    for (const char* code :
         {"local c = RGB(0, 0, 0) c:SetR(0/0) c:SetG(1e30) c:SetB(-1e30) t:SetColor(c) "
          "t:SetBackgroundColor(c)",
          "t:SetAlignment(0/0)", "t:SetAlignment(-1)", "t:SetAlignment(2^40)", "t:SetAlignment(1e300)"})
    {
        SCOPED_TRACE(code);
        EXPECT_EQ(lua.Run(code), "");
        Frame();
    }
    EXPECT_EQ(lua.Run("t:SetFont(t)").find("Font expected") != std::string::npos, true);

    m_systems->GetGameObjectManager().Destroy(owner->GetHandle());
    m_systems->GetGameObjectManager().FrameEnd();
    EXPECT_EQ(lua.Run(R"(
        assert(not t:Exists())
        t:SetText("gone") t:SetAlignment(0) t:SetSolidBackground(false)
        assert(t:GetText() == "" and t:GetAlignment() == 0 and t:GetSolidBackground() == false)
    )"),
              "");
}

// A font size that is not a number is one key, and one font, however often it is asked for (NaN equals
// no NaN, so a plain lookup would make a font each frame); a size too large makes a font of the largest
// height.
TEST(TextRendererTest, SizesNotANumberOrTooLargeMakeOneFontEachAtAClampedHeight)
{
    ASSERT_TRUE(platform::fonts::AddPrivateFont(kShippedFont));
    gfx::RecordingDevice device{gfx::PresentParameters{800, 600}};
    TextRenderer renderer;
    Font unknown;
    unknown.Face = "DejaVu Sans";
    unknown.Size = std::nanf("");
    Font huge = unknown;
    huge.Size = 7e6f;
    Font negativeNaN = unknown;
    negativeNaN.Size = -std::nanf("");
    gfx::DeviceFont* unknownFont = renderer.FontFor(device, unknown);
    gfx::DeviceFont* hugeFont = renderer.FontFor(device, huge);
    ASSERT_TRUE(unknownFont && hugeFont);
    EXPECT_EQ(unknownFont->Desc().height, 1u);
    EXPECT_EQ(hugeFont->Desc().height, 4096u);
    for (int frame = 0; frame < 3; ++frame)
    {
        EXPECT_EQ(renderer.FontFor(device, unknown), unknownFont);
        EXPECT_EQ(renderer.FontFor(device, negativeNaN), unknownFont);
        EXPECT_EQ(renderer.FontFor(device, huge), hugeFont);
    }
    EXPECT_EQ(renderer.FontCount(), 2u);
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

// The UTF-8 form of characters below U+0800.
std::string Utf8(const std::u32string& characters)
{
    std::string text;
    for (const char32_t c : characters)
    {
        if (c < 0x80)
        {
            text.push_back(static_cast<char>(c));
            continue;
        }
        text.push_back(static_cast<char>(0xC0 | c >> 6));
        text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
    return text;
}

// A glyph first drawn after others joins the texture without disturbing them, and the texture growing
// keeps every glyph at its place: the same text draws the same pixels before and after.
TEST_F(GlTextTest, GlyphsMetLaterJoinTheTextureAndItsGrowthKeepsTheEarlierOnes)
{
    ASSERT_TRUE(m_device) << m_error;
    ASSERT_TRUE(platform::fonts::AddPrivateFont(kShippedFont));
    std::unique_ptr<gfx::DeviceFont> font;
    std::string error;
    ASSERT_TRUE(gfx::DeviceFont::Create(*m_device, {"DejaVu Sans", 24}, font, error).Succeeded()) << error;
    const auto draw = [&](const std::string& text)
    {
        m_device->BeginScene();
        m_device->Clear({}, gfx::kClearTarget, 0xFF000000u, 1.0f, 0);
        gfx::Rect place{10, 10, 10, 10};
        font->DrawText(text, place, 0, 0xFFFFFFFFu);
        m_device->EndScene();
        std::vector<std::uint32_t> pixels;
        EXPECT_TRUE(m_device->ReadSurface(*m_device->GetBackBuffer(), pixels).Succeeded());
        return pixels;
    };
    const std::string euro = "Hi\xE2\x82\xAC";
    const std::vector<std::uint32_t> plain = draw("Hi");
    const std::vector<std::uint32_t> withEuro = draw(euro);
    const std::uint32_t euroLeft = 10u + static_cast<std::uint32_t>(font->Advance("Hi"));
    int euroInk = 0;
    for (std::size_t at = 0; at < plain.size(); ++at)
    {
        if (at % 200 < euroLeft)
            ASSERT_EQ(withEuro[at], plain[at]) << at % 200 << "," << at / 200;
        else
            euroInk += withEuro[at] != 0xFF000000u;
    }
    EXPECT_GT(euroInk, 30);

    const std::uint32_t width = font->GlyphTextureWidth();
    const std::uint32_t height = font->GlyphTextureHeight();
    std::u32string many;
    for (char32_t c = 0x100; c < 0x500; ++c)
        many.push_back(c);
    EXPECT_GT(font->Advance(Utf8(many)), 0);
    EXPECT_GT(std::uint64_t{font->GlyphTextureWidth()} * font->GlyphTextureHeight(),
              std::uint64_t{width} * height);
    EXPECT_EQ(draw(euro), withEuro);
}

// Texts of a game drawn by OpenGL in a 200 x 100 window, over a black clear.
class GlTextComponentTest : public gfx::test::GlDeviceFixture
{
protected:
    // The fixture's own device goes before the game makes the Graphics system's.
    GlTextComponentTest() : GlDeviceFixture(1, 1)
    {
        m_device.reset();
        WriteTextGame(m_folder, "<WindowedWidth>200</WindowedWidth><WindowedHeight>100</WindowedHeight>",
                      "ClearSetColor=Black;Clear=Color;");
        Graphics::SetAdapterFactory(nullptr);
        StartTextGame(m_systems, m_graphics);
    }
    ~GlTextComponentTest() override
    {
        m_graphics.reset();
        m_systems.reset();
    }

    std::vector<std::uint32_t> Frame()
    {
        m_graphics->Update(0.016f);
        std::vector<std::uint32_t> pixels;
        gfx::Device& device = *m_graphics->GetDevice();
        EXPECT_TRUE(device.ReadSurface(*device.GetBackBuffer(), pixels).Succeeded());
        return pixels;
    }

    test::RunFolder m_folder{{}};
    test::CapturedErrors m_errors;
    OutputHandler m_output{false};
    std::optional<SystemManager> m_systems;
    std::optional<Graphics> m_graphics;
};

// A Text component draws characters past Latin-1 as themselves: its background box is as wide as the
// characters' advance, and its ink differs from that of "??"; after a lost and reset device it draws
// them again.
TEST_F(GlTextComponentTest, CharactersPastLatin1MeasureAndDrawAsThemselves)
{
    ASSERT_NE(m_graphics->GetDevice(), nullptr);
    ASSERT_EQ(m_graphics->GetBackBufferWidth(), 200u);
    constexpr std::uint32_t kBackground = 0xFF2040A0;
    constexpr std::uint32_t kInk = 0xFFFFFF00;
    Text& label = NewLabel(*m_systems);
    label.m_font.Size = 0.3f;
    label.m_solidBackground = true;
    label.m_backgroundColor = RGBA(kBackground);
    label.m_color = RGBA(kInk);
    struct Shown
    {
        int boxWidth = 0;
        std::vector<bool> ink;
    };
    const auto show = [&](const std::string& text)
    {
        label.m_display = text;
        const std::vector<std::uint32_t> pixels = Frame();
        Shown shown;
        int left = 200;
        int right = -1;
        for (std::size_t at = 0; at < pixels.size(); ++at)
        {
            shown.ink.push_back(pixels[at] == kInk);
            if (pixels[at] == kBackground)
            {
                left = std::min(left, static_cast<int>(at % 200));
                right = std::max(right, static_cast<int>(at % 200));
            }
        }
        shown.boxWidth = right + 1 - left;
        return shown;
    };
    const Shown symbols = show("\xE2\x82\xAC\xE2\x9C\x93");
    const Shown questions = show("??");
    EXPECT_EQ(symbols.boxWidth, FreeTypeAdvance(kShippedFont, 30, U"\u20AC\u2713"));
    EXPECT_EQ(questions.boxWidth, FreeTypeAdvance(kShippedFont, 30, U"??"));
    EXPECT_GT(std::count(symbols.ink.begin(), symbols.ink.end(), true), 30);
    EXPECT_NE(symbols.ink, questions.ink);
    // The fonts go with the device; the reset device draws the same from glyphs rendered anew.
    m_graphics->HandleLostDevice();
    EXPECT_EQ(m_graphics->GetTextRenderer().FontCount(), 0u);
    m_graphics->HandleResetDevice();
    EXPECT_EQ(show("\xE2\x82\xAC\xE2\x9C\x93").ink, symbols.ink);
    EXPECT_EQ(m_errors.Count(), 0u) << m_errors.Texts()[0];
}

} // namespace
} // namespace Quarn
