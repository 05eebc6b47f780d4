#include "widgets/device/DeviceBackend.h"

#include "UI/Skin/BWSkin.h"
#include "widgets/Controls/Button.h"
#include "widgets/Controls/Canvas.h"
#include "widgets/Controls/CheckBox.h"
#include "widgets/Controls/Label.h"
#include "widgets/Controls/ListBox.h"
#include "widgets/Controls/OpenToggleButton.h"
#include "widgets/Controls/ScrollBar.h"
#include "widgets/Controls/Table.h"
#include "widgets/Controls/TextBox.h"
#include "widgets/Input.h"
#include "widgets/Platform.h"
#include "widgets/Utility.h"

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

constexpr std::uint32_t kWidth = 200;
constexpr std::uint32_t kHeight = 120;
constexpr std::uint32_t kClear = 0xFF000000;

// The font the demo ships, found from this folder's place in the source tree, usable by its family name.
bool AddShippedFont()
{
    const std::filesystem::path file =
        std::filesystem::path(QUARN_FIXTURES).parent_path().parent_path().parent_path() /
        "Resources/Fonts/DejaVuSans.ttf";
    return Quarn::platform::fonts::AddPrivateFont(file.string());
}

// A 4 x 4 checker of white and blue, written as a plain 32-bit BMP into the folder.
std::filesystem::path WriteChecker(const std::filesystem::path& folder)
{
    const std::filesystem::path file = folder / "checker.bmp";
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
    return file;
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
        Capture(
            [&]
            {
                renderer.Begin();
                draw(renderer);
                renderer.End();
            });
    }
    // One scene on a cleared back buffer, read back.
    void Capture(const std::function<void()>& draw)
    {
        ASSERT_TRUE(m_device) << m_error;
        m_device->BeginScene();
        m_device->Clear({}, gfx::kClearTarget, kClear, 1.0f, 0);
        draw();
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
    const std::filesystem::path file = WriteChecker(dir.Path());
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

// What a clip leaves of shapes, images and text is exactly what they draw whole, inside the clip, and
// nothing outside it, wherever it cuts them: through glyphs, through a filtered image, across a rectangle
// drawn inside out. An empty or inverted clip leaves nothing.
TEST_F(DeviceRendererTest, ClipsCutShapesImagesAndTextAtThePixelsTheyDrawWhole)
{
    ASSERT_TRUE(AddShippedFont());
    Quarn::test::TempDir dir;
    const std::filesystem::path file = WriteChecker(dir.Path());
    const auto scene = [&](Device& renderer)
    {
        Font font;
        font.facename = L"DejaVu Sans";
        font.size = 20.0f;
        Texture checker;
        checker.name = file.wstring();
        renderer.LoadTexture(&checker);
        renderer.SetDrawColor(Color(200, 40, 40, 160));
        renderer.DrawFilledRect(Rect(4, 4, 60, 30));
        // Inside out: x 120 to 150.
        renderer.DrawFilledRect(Rect(150, 40, -30, 20));
        renderer.SetDrawColor(Color(255, 255, 255, 255));
        renderer.RenderText(&font, Point(8, 6), std::string("Wxyz"));
        // Six times its size: filtered between its texels.
        renderer.DrawTexturedRect(&checker, Rect(80, 8, 24, 24), 0, 0, 1, 1);
        renderer.FreeTexture(&checker);
        renderer.ReleaseAllFonts();
    };
    Frame(scene);
    const std::vector<std::uint32_t> whole = m_pixels;
    const struct
    {
        const char* what;
        Rect clip;
    } cases[] = {
        {"through the glyphs", Rect(13, 9, 17, 11)},
        {"through the image's right half", Rect(0, 0, 91, 200)},
        {"a window in the image", Rect(93, 15, 5, 30)},
        {"through the inside-out rectangle", Rect(130, 0, 100, 45)},
        {"around everything", Rect(0, 0, 200, 120)},
        {"empty", Rect(20, 20, 0, 10)},
        {"inverted", Rect(40, 10, -10, 10)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        Frame(
            [&](Device& renderer)
            {
                renderer.SetClipRegion(c.clip);
                renderer.StartClip();
                scene(renderer);
                renderer.EndClip();
            });
        int wrong = 0;
        int kept = 0;
        for (std::uint32_t y = 0; y < kHeight; ++y)
            for (std::uint32_t x = 0; x < kWidth; ++x)
            {
                const auto px = static_cast<int>(x);
                const auto py = static_cast<int>(y);
                const bool inside =
                    px >= c.clip.x && px < c.clip.x + c.clip.w && py >= c.clip.y && py < c.clip.y + c.clip.h;
                const std::uint32_t expected = inside ? whole[y * kWidth + x] : kClear;
                wrong += At(x, y) != expected;
                kept += inside && expected != kClear;
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(kept > 0, c.clip.w > 0) << "the clip cuts something drawn";
    }
}

// Shapes join the draw of the text before them; a text in another font, an image, and a shape after an
// image each start the next draw. Each draws what it draws alone, in the order asked.
TEST_F(DeviceRendererTest, ShapesJoinTheDrawOfTheTextBeforeThemAndAnotherTextureStartsTheNext)
{
    ASSERT_TRUE(AddShippedFont());
    ASSERT_TRUE(m_device) << m_error;
    Quarn::test::TempDir dir;
    Texture checker;
    checker.name = WriteChecker(dir.Path()).wstring();
    Font big;
    big.facename = L"DejaVu Sans";
    big.size = 20.0f;
    Font small;
    small.facename = L"DejaVu Sans";
    small.size = 12.0f;
    Device renderer(*m_device);
    renderer.LoadTexture(&checker);
    const auto frame = [&](const std::function<void()>& draw)
    {
        const std::size_t before = renderer.DrawCalls();
        Capture(
            [&]
            {
                renderer.Begin();
                draw();
                renderer.End();
            });
        return renderer.DrawCalls() - before;
    };
    const auto smallW = [&]
    {
        renderer.SetDrawColor(Color(255, 255, 0, 255));
        renderer.RenderText(&small, Point(150, 60), std::string("W"));
    };
    EXPECT_EQ(frame(smallW), 1u);
    const std::vector<std::uint32_t> alone = m_pixels;

    const std::size_t draws = frame(
        [&]
        {
            // More vertices than the small W's before it.
            renderer.SetDrawColor(Color(0, 0, 255, 255));
            for (int i = 0; i < 40; ++i)
                renderer.DrawFilledRect(Rect(i * 3, 100, 2, 10));
            renderer.SetDrawColor(Color(255, 255, 255, 255));
            renderer.RenderText(&big, Point(10, 10), std::string("Hi"));
            renderer.SetDrawColor(Color(0, 128, 0, 255));
            renderer.DrawFilledRect(Rect(10, 10, 8, 30));
            smallW();
            renderer.SetDrawColor(Color(255, 255, 255, 255));
            renderer.DrawTexturedRect(&checker, Rect(60, 60, 4, 4), 0, 0, 1, 1);
            renderer.SetDrawColor(Color(255, 0, 0, 255));
            renderer.DrawFilledRect(Rect(61, 61, 2, 2));
        });
    EXPECT_EQ(draws, 4u);
    EXPECT_EQ(At(3, 105), 0xFF0000FFu);
    EXPECT_EQ(At(12, 25), 0xFF008000u) << "the shape drawn over the H hides it";
    int ink = 0;
    for (std::uint32_t y = 10; y < 40; ++y)
        for (std::uint32_t x = 18; x < 60; ++x)
            ink += At(x, y) != kClear;
    EXPECT_GT(ink, 20) << "the rest of the text shows";
    for (std::uint32_t y = 50; y < 90; ++y)
        for (std::uint32_t x = 140; x < 180; ++x)
            ASSERT_EQ(At(x, y), alone[y * kWidth + x]) << "the small W as alone, at " << x << "," << y;
    EXPECT_EQ(At(60, 60), 0xFFFFFFFFu);
    EXPECT_EQ(At(63, 60), 0xFF0000FFu);
    EXPECT_EQ(At(61, 61), 0xFFFF0000u) << "the shape after the image lies over it";
    EXPECT_EQ(At(60, 62), 0xFFFFFFFFu);
    renderer.FreeTexture(&checker);
    renderer.ReleaseAllFonts();
}

// A glyph texture that grows within a frame keeps drawing the text placed in it before it grew.
TEST_F(DeviceRendererTest, AGlyphTextureGrowingWithinAFrameKeepsTheTextDrawnBefore)
{
    ASSERT_TRUE(AddShippedFont());
    const auto drawA = [](Device& renderer, Font& font)
    {
        renderer.SetDrawColor(Color(255, 255, 255, 255));
        renderer.RenderText(&font, Point(10, 5), std::string("A"));
    };
    Frame(
        [&](Device& renderer)
        {
            Font font;
            font.facename = L"DejaVu Sans";
            font.size = 20.0f;
            drawA(renderer, font);
            renderer.ReleaseAllFonts();
        });
    const std::vector<std::uint32_t> alone = m_pixels;
    std::wstring many;
    for (wchar_t c = 0x100; c < 0x500; ++c)
        many.push_back(c);
    {
        // The font's texture at that size does grow for them.
        std::unique_ptr<gfx::DeviceFont> plain;
        std::string error;
        ASSERT_TRUE(gfx::DeviceFont::Create(*m_device, {"DejaVu Sans", 20}, plain, error).Succeeded());
        const std::uint32_t first = plain->GlyphTextureWidth() * plain->GlyphTextureHeight();
        plain->Advance(Utility::UnicodeToString(many));
        EXPECT_GT(plain->GlyphTextureWidth() * plain->GlyphTextureHeight(), first);
    }
    Frame(
        [&](Device& renderer)
        {
            Font font;
            font.facename = L"DejaVu Sans";
            font.size = 20.0f;
            drawA(renderer, font);
            // Below the picture: placed, not seen.
            renderer.RenderText(&font, Point(0, 500), many);
            renderer.ReleaseAllFonts();
        });
    EXPECT_EQ(m_pixels, alone);
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
    ASSERT_TRUE(gfx::DeviceFont::Create(*m_device, {"DejaVu Sans", 14}, plain, error).Succeeded());
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

// Characters past Latin-1 measure and draw as themselves, not as '?'. A character first met in a later
// frame appears, and the glyph texture growing to hold hundreds more keeps the glyphs drawn before.
TEST_F(DeviceRendererTest, EveryCharacterTheFaceHasMeasuresAndDrawsAsItself)
{
    ASSERT_TRUE(AddShippedFont());
    ASSERT_TRUE(m_device) << m_error;
    Device renderer(*m_device);
    Font font;
    font.facename = L"DejaVu Sans";
    font.size = 20.0f;
    const auto frame = [&](const std::string& text)
    {
        Capture(
            [&]
            {
                renderer.Begin();
                renderer.SetDrawColor(Color(255, 255, 255, 255));
                renderer.RenderText(&font, Point(10, 5), text);
                renderer.End();
            });
        return m_pixels;
    };
    // Pixels of the columns from x on that are not the clear colour.
    const auto inkFrom = [](const std::vector<std::uint32_t>& pixels, std::uint32_t x)
    {
        int ink = 0;
        for (std::size_t at = 0; at < pixels.size(); ++at)
            ink += at % kWidth >= x && pixels[at] != kClear;
        return ink;
    };
    const std::vector<std::uint32_t> letter = frame("A");
    const std::vector<std::uint32_t> symbols = frame("A\xE2\x82\xAC\xE2\x9C\x93");
    const std::vector<std::uint32_t> questions = frame("A??");
    const auto afterA = static_cast<std::uint32_t>(10 + renderer.MeasureText(&font, std::string("A")).x);
    EXPECT_EQ(inkFrom(letter, afterA), 0);
    EXPECT_GT(inkFrom(symbols, afterA), 30) << "the symbols met in the second frame are drawn";
    EXPECT_NE(symbols, questions);
    for (std::size_t at = 0; at < letter.size(); ++at)
    {
        if (at % kWidth < afterA)
        {
            ASSERT_EQ(symbols[at], letter[at])
                << "the A is unchanged at " << at % kWidth << "," << at / kWidth;
        }
    }

    const Point symbolsSize = renderer.MeasureText(&font, std::string("\xE2\x82\xAC\xE2\x9C\x93"));
    const Point questionsSize = renderer.MeasureText(&font, std::string("??"));
    EXPECT_NE(symbolsSize.x, questionsSize.x);
    EXPECT_EQ(symbolsSize.x, renderer.MeasureText(&font, std::string("\xE2\x82\xAC")).x +
                                 renderer.MeasureText(&font, std::string("\xE2\x9C\x93")).x);

    // Greek, Cyrillic and more: far more glyphs than the first texture holds at this size.
    std::wstring many;
    for (wchar_t c = 0x100; c < 0x500; ++c)
        many.push_back(c);
    EXPECT_GT(renderer.MeasureText(&font, many).x, 0);
    EXPECT_EQ(frame("A\xE2\x82\xAC\xE2\x9C\x93"), symbols);
    renderer.ReleaseAllFonts();
}

// A window-sized canvas in the engine's skin on the device, with the fake platform host and fresh input.
struct SkinCanvas
{
    explicit SkinCanvas(gfx::Device& device) : renderer(device)
    {
        Platform::SetHost(&host);
        Input::Reset();
        skin.SetRender(&renderer);
        canvas = new Controls::Canvas(&skin);
        canvas->SetSize(static_cast<int>(kWidth), static_cast<int>(kHeight));
    }
    ~SkinCanvas()
    {
        delete canvas;
        Platform::SetHost(nullptr);
    }

    Platform::Fake host;
    Device renderer;
    Quarn::BWSkin skin;
    Controls::Canvas* canvas = nullptr;
};

// The engine's skin on the device: a canvas drawn whole, read back.
TEST_F(DeviceRendererTest, TheEngineSkinsControlsShowTheirStatesAndStayInsideTheirParents)
{
    ASSERT_TRUE(AddShippedFont());
    ASSERT_TRUE(m_device) << m_error;
    SkinCanvas skinned(*m_device);
    Controls::Canvas* canvas = skinned.canvas;
    auto* button = new Controls::Button(canvas);
    button->SetBounds(1, 1, 20, 12);
    auto* box = new Controls::CheckBox(canvas);
    box->SetPos(30, 2);
    box->SetChecked(true);
    auto* panel = new Controls::Base(canvas);
    panel->SetBounds(40, 16, 10, 10);
    auto* clipped = new Controls::Button(panel);
    clipped->SetBounds(5, 5, 20, 20);
    auto frame = [&] { Capture([&] { canvas->RenderCanvas(); }); };

    frame();
    EXPECT_EQ(At(10, 6), 0xFF000000u) << "a resting face is black";
    EXPECT_EQ(At(5, 1), 0xFFE6E6E6u) << "inside a light-grey frame";
    const std::uint32_t ticked = At(40, 12);
    EXPECT_GT((ticked >> 16) & 0xFF, 200u);
    EXPECT_LT(ticked & 0xFF, 60u) << std::hex << ticked;
    // The clipped button's frame would run to x 65 and y 41: nothing of it passes its parent's edges.
    EXPECT_EQ(At(47, 21), 0xFFE6E6E6u);
    EXPECT_EQ(At(49, 25), 0xFF000000u);
    for (std::uint32_t x = 50; x < kWidth; ++x)
        EXPECT_EQ(At(x, 21), kClear) << x;
    for (std::uint32_t y = 26; y < kHeight; ++y)
        EXPECT_EQ(At(46, y), kClear) << y;

    canvas->InputMouseMoved(10, 6, 0, 0);
    frame();
    EXPECT_EQ(At(10, 6), 0xFF2B91AFu) << "hovered: teal";
    canvas->InputMouseButton(0, true);
    frame();
    EXPECT_EQ(At(10, 6), 0xFFF08232u) << "pressed: orange";
    canvas->InputMouseButton(0, false);
}

// A resting button of any size, at any scale, is its black face inside a black and a light-grey frame
// with shaved corners, as if each were drawn in turn, cut to the button.
TEST_F(DeviceRendererTest, ARestingButtonIsItsFaceInsideItsTwoFrames)
{
    ASSERT_TRUE(m_device) << m_error;
    constexpr int kLargest = 9;
    constexpr int kCell = 12;
    SkinCanvas skinned(*m_device);
    for (int w = 0; w <= kLargest; ++w)
        for (int h = 0; h <= kLargest; ++h)
            (new Controls::Button(skinned.canvas))->SetBounds(w * kCell + 2, h * kCell + 2, w, h);
    for (const float scale : {1.0f, 1.5f, 0.75f})
    {
        SCOPED_TRACE(scale);
        skinned.canvas->SetScale(scale);
        Capture([&] { skinned.canvas->RenderCanvas(); });
        const std::vector<std::uint32_t> skinnedPixels = m_pixels;
        Frame(
            [&](Device& renderer)
            {
                renderer.SetScale(scale);
                for (int w = 0; w <= kLargest; ++w)
                    for (int h = 0; h <= kLargest; ++h)
                    {
                        renderer.SetRenderOffset(Point(w * kCell + 2, h * kCell + 2));
                        renderer.SetClipRegion(Rect(w * kCell + 2, h * kCell + 2, w, h));
                        renderer.StartClip();
                        renderer.SetDrawColor(Color(0, 0, 0, 255));
                        renderer.DrawFilledRect(Rect(1, 1, w - 2, h - 2));
                        renderer.DrawShavedCornerRect(Rect(1, 1, w - 2, h - 2));
                        renderer.SetDrawColor(Color(230, 230, 230, 255));
                        renderer.DrawShavedCornerRect(Rect(0, 0, w, h));
                    }
                renderer.EndClip();
            });
        EXPECT_EQ(skinnedPixels, m_pixels);
    }
}

// A right-aligned label's text ends at the label's right edge, a centred one's middle is the label's.
TEST_F(DeviceRendererTest, AlignedLabelsAnchorTheirTextAtTheirEdgeOrMiddle)
{
    ASSERT_TRUE(AddShippedFont());
    ASSERT_TRUE(m_device) << m_error;
    SkinCanvas skinned(*m_device);
    Controls::Canvas* canvas = skinned.canvas;
    auto* label = new Controls::Label(canvas);
    label->SetBounds(0, 0, static_cast<int>(kWidth), 16);
    label->SetText("Hi");
    const struct
    {
        int alignment;
        int expectedMiddle;
    } cases[] = {{Pos::Right, -1}, {Pos::CenterH, static_cast<int>(kWidth) / 2}};
    for (const auto& c : cases)
    {
        label->SetAlignment(c.alignment);
        label->Invalidate();
        Capture([&] { canvas->RenderCanvas(); });
        int left = static_cast<int>(kWidth);
        int right = -1;
        for (std::uint32_t y = 0; y < 16; ++y)
            for (std::uint32_t x = 0; x < kWidth; ++x)
                if (At(x, y) != kClear)
                {
                    left = std::min(left, static_cast<int>(x));
                    right = std::max(right, static_cast<int>(x));
                }
        ASSERT_GE(right, 0) << c.alignment;
        if (c.alignment == Pos::Right)
        {
            EXPECT_GE(right, static_cast<int>(kWidth) - 3);
            EXPECT_GT(left, static_cast<int>(kWidth) / 2);
        }
        else
        {
            EXPECT_NEAR((left + right) / 2, c.expectedMiddle, 2);
        }
    }
}

// The controls' states as the skin draws them on the device: a selected list row, a tree toggle's plus
// and minus, a focused text box's frame and caret, scroll arrows.
TEST_F(DeviceRendererTest, TheSkinShowsSelectionTogglesFocusAndArrows)
{
    ASSERT_TRUE(AddShippedFont());
    ASSERT_TRUE(m_device) << m_error;
    SkinCanvas skinned(*m_device);
    Controls::Canvas* canvas = skinned.canvas;
    auto* list = new Controls::ListBox(canvas);
    list->SetBounds(0, 0, 100, 60);
    ListBoxRow* first = list->AddItem("one");
    list->AddItem("two");
    auto* toggle = new OpenToggleButton(canvas);
    toggle->SetBounds(110, 10, 15, 15);
    auto* box = new Controls::TextBox(canvas);
    box->SetBounds(0, 70, 100, 20);
    box->SetText("Hi");
    auto* bar = new Controls::VerticalScrollBar(canvas);
    bar->SetBounds(180, 0, 15, 100);
    auto frame = [&] { Capture([&] { canvas->RenderCanvas(); }); };
    frame();
    frame();

    // Unfocused, the box's top edge is white; the toggle shows a plus.
    EXPECT_EQ(At(10, 70), 0xFFFFFFFFu);
    EXPECT_EQ(At(117, 15), 0xFFE6E6E6u) << "the plus sign's upright";
    EXPECT_EQ(At(120, 17), 0xFFE6E6E6u) << "its bar";

    const Point row = first->LocalPosToCanvas(Point(0, 0));
    canvas->InputMouseMoved(row.x + 50, row.y + 5, 0, 0);
    canvas->InputMouseButton(0, true);
    canvas->InputMouseButton(0, false);
    canvas->InputMouseMoved(150, 110, 0, 0);
    toggle->Toggle();
    box->Focus();
    frame();

    EXPECT_EQ(At(static_cast<std::uint32_t>(row.x + 90), static_cast<std::uint32_t>(row.y + 2)), 0xFFF08232u)
        << "the selected row is orange";
    EXPECT_EQ(At(117, 15), 0xFF191919u) << "open, the toggle shows only the minus";
    EXPECT_EQ(At(120, 17), 0xFFE6E6E6u);
    // The focus frame, light blue and translucent, over the white top edge.
    const std::uint32_t frameColour = At(10, 70);
    EXPECT_EQ(frameColour & 0xFF, 0xFFu);
    EXPECT_NEAR(static_cast<int>(frameColour >> 16 & 0xFF), 134, 3);
    // The caret: a dark line where the text begins.
    const Point caret(box->GetCharacterPosition(0).x, 80);
    EXPECT_LT(At(static_cast<std::uint32_t>(caret.x), static_cast<std::uint32_t>(caret.y)) & 0xFF, 100u);

    // The arrows are teal glyphs inside the buttons at the bar's ends.
    int teal = 0;
    for (std::uint32_t y = 0; y < 15; ++y)
        for (std::uint32_t x = 180; x < 195; ++x)
            teal += At(x, y) == 0xFF2B91AFu || At(x, 99 - y) == 0xFF2B91AFu;
    EXPECT_GT(teal, 10);
}

// A canvas of buttons and check boxes in the engine's skin, one font for all their text, is one draw.
TEST_F(DeviceRendererTest, ACanvasOfButtonsAndCheckBoxesIsOneDraw)
{
    ASSERT_TRUE(AddShippedFont());
    ASSERT_TRUE(m_device) << m_error;
    SkinCanvas skinned(*m_device);
    for (int i = 0; i < 200; ++i)
    {
        if (i % 2)
        {
            auto* box = new Controls::CheckBox(skinned.canvas);
            box->SetPos(i % 10 * 20, i / 10 * 6);
            box->SetChecked(i % 4 == 1);
            continue;
        }
        auto* button = new Controls::Button(skinned.canvas);
        button->SetText("Go " + std::to_string(i));
        button->SetBounds(i % 10 * 20, i / 10 * 6, 19, 6);
    }
    Capture([&] { skinned.canvas->RenderCanvas(); });
    const std::size_t before = skinned.renderer.DrawCalls();
    Capture([&] { skinned.canvas->RenderCanvas(); });
    EXPECT_EQ(skinned.renderer.DrawCalls() - before, 1u);
}

// The engine's scissor, whatever it is, cuts nothing of the widgets, and is as it was after them.
TEST_F(DeviceRendererTest, TheEnginesScissorNeitherCutsTheWidgetsNorIsLost)
{
    ASSERT_TRUE(m_device) << m_error;
    m_device->SetScissorRect({0, 0, 5, 5});
    m_device->SetRenderState(gfx::RenderState::ScissorTestEnable, 1);
    Frame(
        [](Device& renderer)
        {
            renderer.SetDrawColor(Color(255, 0, 0, 255));
            renderer.DrawFilledRect(Rect(20, 20, 4, 4));
            renderer.SetClipRegion(Rect(0, 0, 100, 100));
            renderer.StartClip();
            renderer.DrawFilledRect(Rect(30, 20, 4, 4));
            renderer.EndClip();
        });
    EXPECT_EQ(At(21, 21), 0xFFFF0000u);
    EXPECT_EQ(At(31, 21), 0xFFFF0000u);
    EXPECT_EQ(m_device->GetRenderState(gfx::RenderState::ScissorTestEnable), 1u);
    EXPECT_EQ(m_device->State().scissor.right, 5);
}

} // namespace
} // namespace Gui::Renderer
