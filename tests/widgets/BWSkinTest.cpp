#include "WidgetTest.h"

#include "UI/Skin/BWSkin.h"
#include "widgets/Controls/Button.h"
#include "widgets/Controls/CheckBox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Gui::test
{
namespace
{

using Controls::Base;
using Rects = std::vector<DrawnRect>;

constexpr std::uint32_t kOrange = 0xFFF08232u;
constexpr std::uint32_t kTeal = 0xFF2B91AFu;
constexpr std::uint32_t kBlack = 0xFF000000u;
constexpr std::uint32_t kLightGrey = 0xFFE6E6E6u;
constexpr std::uint32_t kDarkGrey = 0xFF191919u;

class BWSkinTest : public test::CanvasTest<Quarn::BWSkin>
{
protected:
    // What the skin draws for one call, at the render offset 0, 0.
    template <class Draw> Rects DrawnBy(Draw draw)
    {
        Recorder().vertices.clear();
        renderer.Begin();
        draw();
        renderer.End();
        return DrawnRects(Recorder());
    }

    // The rects of a whole frame of the canvas.
    Rects Frame()
    {
        Recorder().vertices.clear();
        canvas->RenderCanvas();
        return DrawnRects(Recorder());
    }
};

TEST_F(BWSkinTest, ButtonsAreBlackAtRestTealHoveredAndOrangePressed)
{
    auto* button = new Controls::Button(canvas);
    button->SetBounds(10, 20, 60, 20);
    const Rect face(11, 21, 58, 18);
    Rects rects = Frame();
    ASSERT_FALSE(rects.empty());
    EXPECT_EQ(rects[0], (DrawnRect{face, kBlack}));
    // The outer frame with shaved corners is light grey: its top edge starts two pixels in.
    EXPECT_NE(std::find(rects.begin(), rects.end(), DrawnRect{Rect(12, 20, 56, 1), kLightGrey}), rects.end());

    MoveTo(20, 25);
    EXPECT_EQ(Frame()[0], (DrawnRect{face, kTeal}));
    canvas->InputMouseButton(0, true);
    EXPECT_EQ(Frame()[0], (DrawnRect{face, kOrange}));
    canvas->InputMouseButton(0, false);
}

TEST_F(BWSkinTest, CheckBoxesAreOrangeWhenTickedAndTealWhilePressed)
{
    auto* box = new Controls::CheckBox(canvas);
    box->SetPos(100, 100);
    const Rect whole(100, 100, 13, 13);
    EXPECT_EQ(Frame()[0], (DrawnRect{whole, kDarkGrey}));
    box->SetChecked(true);
    EXPECT_EQ(Frame()[0], (DrawnRect{whole, kOrange}));
    for (bool ticked : {true, false})
    {
        box->SetChecked(ticked);
        MoveTo(105, 105);
        canvas->InputMouseButton(0, true);
        EXPECT_EQ(Frame()[0], (DrawnRect{whole, kTeal})) << ticked;
        MoveTo(300, 300);
        canvas->InputMouseButton(0, false);
    }
}

TEST_F(BWSkinTest, FlatDrawingsAreTheseRectangles)
{
    Base control(nullptr);
    control.SetBounds(0, 0, 10, 10);
    auto pixel = [](int x, int y) { return DrawnRect{Rect(x, y, 1, 1), kBlack}; };
    // w0 = 4: the top and bottom rows only at i = 1; the sides at j = 0 and 1.
    EXPECT_EQ(DrawnBy([&] { skin.DrawKeyboardHighlight(&control, control.GetRenderBounds(), 3); }),
              (Rects{pixel(5, 3), pixel(5, 6), pixel(3, 3), pixel(6, 3), pixel(3, 5), pixel(6, 5)}));

    control.SetBounds(0, 0, 15, 15);
    const Rects closed = DrawnBy([&] { skin.DrawTreeButton(&control, false); });
    const Rects open = DrawnBy([&] { skin.DrawTreeButton(&control, true); });
    ASSERT_EQ(closed.size(), 7u);
    EXPECT_EQ(closed[0], (DrawnRect{Rect(2, 2, 11, 11), kDarkGrey}));
    EXPECT_EQ(closed[5], (DrawnRect{Rect(4, 7, 7, 1), kLightGrey}));
    EXPECT_EQ(closed[6], (DrawnRect{Rect(7, 4, 1, 7), kLightGrey}));
    EXPECT_EQ(open, Rects(closed.begin(), closed.end() - 1));

    // A selected row is orange whether hovered or not.
    HoveredControl = &control;
    EXPECT_EQ(DrawnBy([&] { skin.DrawListBoxLine(&control, true); }), (Rects{{Rect(0, 0, 15, 15), kOrange}}));
    EXPECT_EQ(DrawnBy([&] { skin.DrawListBoxLine(&control, false); }), (Rects{{Rect(0, 0, 15, 15), kTeal}}));
    HoveredControl = nullptr;
    EXPECT_TRUE(DrawnBy([&] { skin.DrawListBoxLine(&control, false); }).empty());

    // A focused text box gets a translucent light-blue frame.
    const Rects unfocused = DrawnBy([&] { skin.DrawTextBox(&control); });
    control.SetKeyboardInputEnabled(true);
    control.Focus();
    const Rects focused = DrawnBy([&] { skin.DrawTextBox(&control); });
    control.Blur();
    ASSERT_EQ(focused.size(), unfocused.size() + 4);
    EXPECT_EQ(focused.back().colour, 0x9632C8FFu);
}

TEST_F(BWSkinTest, ScrollArrowsAreSymbolGlyphsThatMoveWhilePressed)
{
    Base control(nullptr);
    control.SetBounds(0, 0, 15, 15);
    const struct
    {
        int direction;
        bool depressed;
        std::string text;
    } cases[] = {
        {Pos::Top, false, "text 2 2 2 5"},
        {Pos::Bottom, false, "text 2 2 2 6"},
        {Pos::Left, true, "text 3 3 2 3"},
        {Pos::Right, true, "text 3 3 2 4"},
    };
    for (const auto& c : cases)
    {
        Recorder().log.clear();
        DrawnBy([&] { skin.DrawScrollButton(&control, c.direction, c.depressed); });
        EXPECT_NE(std::find(Recorder().log.begin(), Recorder().log.end(), c.text), Recorder().log.end())
            << c.text;
    }
    EXPECT_EQ(skin.SymbolFont().facename, L"Marlett");
    EXPECT_EQ(skin.GetDefaultFont()->facename, L"akashi");
    EXPECT_EQ(skin.GetTextColor(), Color(255, 255, 255, 255));
}

} // namespace
} // namespace Gui::test
