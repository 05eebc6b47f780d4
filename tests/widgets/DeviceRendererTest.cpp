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

} // namespace
} // namespace Gui::Renderer
