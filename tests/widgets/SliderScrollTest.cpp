#include "WidgetTest.h"

#include "widgets/Controls/ScrollControl.h"
#include "widgets/Controls/Slider.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace Gui::test
{
namespace
{

using namespace Controls;

using SliderTest = test::CanvasTest<>;

TEST_F(SliderTest, ValuesClampSnapToNotchesAndFireOnlyOnChange)
{
    EventCounter changes;
    auto* slider = new HorizontalSlider(canvas);
    slider->SetBounds(0, 0, 110, 20);
    slider->onValueChanged.Add(&changes, &EventCounter::Count);
    canvas->RenderCanvas();
    EXPECT_EQ(slider->GetValue(), 0.0f);
    slider->SetValue(2.0f);
    EXPECT_EQ(slider->GetValue(), 1.0f);
    EXPECT_EQ(changes.count, 1);
    slider->SetValue(1.0f);
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(slider->Bar()->X(), 100);

    slider->SetClampToNotches(true);
    slider->SetValue(0.33f);
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.4f);
    // The range is stored silently; the value follows it.
    slider->SetRange(0.0f, 100.0f);
    EXPECT_EQ(changes.count, 2);
    EXPECT_FLOAT_EQ(slider->GetValue(), 40.0f);
    // Keys step by one unit of value on the way down only.
    slider->SetClampToNotches(false);
    EXPECT_TRUE(slider->OnKeyRight(true));
    EXPECT_TRUE(slider->OnKeyRight(false));
    EXPECT_FLOAT_EQ(slider->GetValue(), 41.0f);
    slider->OnKeyDown(true);
    EXPECT_FLOAT_EQ(slider->GetValue(), 40.0f);

    // An empty range and a track no longer than the bar have one place, and no NaN.
    slider->SetRange(5.0f, 5.0f);
    slider->SetValue(7.0f);
    EXPECT_EQ(slider->GetValue(), 5.0f);
    slider->SetSize(10, 20);
    canvas->RenderCanvas();
    slider->SetRange(0.0f, 1.0f);
    slider->OnMouseClickLeft(5, 5, true);
    slider->OnMouseClickLeft(5, 5, false);
    EXPECT_EQ(slider->GetValue(), 0.0f);
}

TEST_F(SliderTest, AValueThatIsNotAFiniteNumberIsIgnored)
{
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    const struct
    {
        const char* name;
        float min;
        float max;
        float value;
    } cases[] = {
        {"not a number", 0.0f, 1.0f, kNaN},
        {"infinity", 0.0f, 1.0f, kInfinity},
        {"minus infinity", 0.0f, 1.0f, -kInfinity},
        {"a value in a range with an end that is not a number", kNaN, 1.0f, 0.5f},
        {"a value in a range from minus infinity to infinity", -kInfinity, kInfinity, 0.5f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto* slider = new HorizontalSlider(canvas);
        slider->SetBounds(0, 0, 200, 20);
        canvas->RenderCanvas();
        slider->SetValue(0.25f);
        const int barPlace = slider->Bar()->X();
        EventCounter changes;
        slider->onValueChanged.Add(&changes, &EventCounter::Count);
        slider->SetRange(c.min, c.max);
        slider->SetValue(c.value);
        EXPECT_EQ(changes.count, 0);
        EXPECT_EQ(slider->NormalisedValue(), 0.25f);
        EXPECT_EQ(slider->Bar()->X(), barPlace);
        canvas->RenderCanvas();
        delete slider;
    }
}

TEST_F(SliderTest, PressingTheTrackGrabsTheBarThere)
{
    auto* slider = new HorizontalSlider(canvas);
    slider->SetBounds(10, 10, 110, 20);
    canvas->RenderCanvas();
    MoveTo(10 + 55, 15);
    canvas->InputMouseButton(0, true);
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.5f);
    // Held, the bar follows the pointer to the end.
    MoveTo(400, 15);
    EXPECT_FLOAT_EQ(slider->GetValue(), 1.0f);
    canvas->InputMouseButton(0, false);
}

using ScrollBarTest = test::CanvasTest<>;

TEST_F(ScrollBarTest, TheBarShowsTheViewedPartAndStepsByNudgeOrPage)
{
    // A vertical bar 100 high and 15 wide: square 15-pixel buttons and a 70-pixel track.
    const struct
    {
        float content;
        float viewable;
        float amount;
        int barLength;
        int barPlace;
        bool hidden;
        float nudge;
        float page;
    } cases[] = {
        {200, 100, 0.5f, 35, 32, false, 0.15f, 0.5f},
        {200, 100, 1.0f, 35, 50, false, 0.15f, 0.5f},
        {100, 100, 0.0f, 70, 15, true, 0.3f, 1.0f},
        // Never shorter than half a button.
        {10000, 100, 0.0f, 7, 15, false, 0.003f, 0.01f},
        // No content: nothing to scroll, and no NaN anywhere.
        {0, 100, 0.5f, 7, 46, false, 0.0f, 0.0f},
    };
    for (const auto& c : cases)
    {
        auto* bar = new VerticalScrollBar(canvas);
        bar->SetBounds(0, 0, 15, 100);
        bar->SetContentSize(c.content);
        bar->SetViewableContentSize(c.viewable);
        bar->SetNudgeAmount(30);
        bar->SetScrolledAmount(c.amount, true);
        canvas->RenderCanvas();
        SCOPED_TRACE(c.content);
        EXPECT_EQ(bar->GetBarSize(), c.barLength);
        EXPECT_EQ(bar->Bar()->Y(), c.barPlace);
        EXPECT_EQ(bar->Bar()->Hidden(), c.hidden);
        EXPECT_FLOAT_EQ(bar->GetNudgeAmount(), c.nudge);
        bar->OnMouseClickLeft(0, 0, true);
        EXPECT_FLOAT_EQ(bar->GetNudgeAmount(), c.page);
        bar->OnMouseClickLeft(200, 200, false);
        EXPECT_TRUE(std::isfinite(bar->GetScrolledAmount()));
        delete bar;
    }
}

TEST_F(ScrollBarTest, DraggingTheBarToTheEndScrollsToExactlyOne)
{
    EventCounter moved;
    auto* bar = new VerticalScrollBar(canvas);
    bar->SetBounds(0, 0, 15, 100);
    bar->SetContentSize(200);
    bar->SetViewableContentSize(100);
    bar->SetNudgeAmount(30);
    bar->onBarMoved.Add(&moved, &EventCounter::Count);
    canvas->RenderCanvas();
    MoveTo(7, 20);
    canvas->InputMouseButton(0, true);
    MoveTo(7, 500);
    EXPECT_EQ(bar->GetScrolledAmount(), 1.0f);
    // Fired twice for the one step: once from the nested notification, once by the drag.
    EXPECT_EQ(moved.count, 2);
    canvas->InputMouseButton(0, false);

    // The up button steps back by the nudge; a click on the track above the bar by a page. Neither fires.
    canvas->RenderCanvas();
    Click(7, 5);
    EXPECT_FLOAT_EQ(bar->GetScrolledAmount(), 0.85f);
    AdvanceClock(1.0);
    Click(7, 17);
    EXPECT_FLOAT_EQ(bar->GetScrolledAmount(), 0.35f);
    EXPECT_EQ(moved.count, 2);
}

using ScrollControlTest = test::CanvasTest<>;

TEST_F(ScrollControlTest, ContentReachingPastTheIntRangeScrollsWithinIt)
{
    auto* scroller = new ScrollControl(canvas);
    scroller->SetBounds(0, 0, 100, 100);
    scroller->SetScroll(false, true);
    auto* content = new Controls::Base(scroller);
    content->SetBounds(std::numeric_limits<int>::max(), std::numeric_limits<int>::max(),
                       std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
    content->SetMargin(Margin(0, 0, std::numeric_limits<int>::max(), std::numeric_limits<int>::max()));
    canvas->RenderCanvas();
    scroller->ScrollToBottom();
    canvas->RenderCanvas();
    EXPECT_EQ(scroller->InnerPanel()->Height(), 1'000'000);
    EXPECT_EQ(scroller->InnerPanel()->Y(), -(1'000'000 - 100));
}

TEST_F(ScrollControlTest, TheInnerPanelFollowsTheBarsAndTheWheel)
{
    // Vertical scrolling only, as a list scrolls (a shown horizontal bar would take height from the view).
    auto* scroller = new ScrollControl(canvas);
    scroller->SetBounds(0, 0, 100, 100);
    scroller->SetScroll(false, true);
    auto* content = new Base(scroller);
    content->SetBounds(0, 0, 50, 50);
    EXPECT_EQ(content->GetParent(), scroller);
    EXPECT_TRUE(scroller->InnerPanel()->IsChild(content));
    canvas->RenderCanvas();
    // Smaller than the view: the vertical bar at 0 and disabled, the panel the control's size.
    EXPECT_EQ(scroller->VerticalBar()->GetScrolledAmount(), 0.0f);
    EXPECT_TRUE(scroller->VerticalBar()->IsDisabled());
    EXPECT_EQ(scroller->InnerPanel()->Height(), 100);

    content->SetHeight(200);
    canvas->RenderCanvas();
    EXPECT_FALSE(scroller->VerticalBar()->IsDisabled());
    scroller->VerticalBar()->SetScrolledAmount(0.5f, true);
    canvas->RenderCanvas();
    EXPECT_EQ(scroller->InnerPanel()->Y(), -(200 - 100) / 2);

    // A wheel notch of 120 is two nudges of 30 pixels.
    EXPECT_TRUE(scroller->OnMouseWheeled(-120));
    EXPECT_FLOAT_EQ(scroller->VerticalBar()->GetScrolledAmount(), 0.5f + 60.0f / 200.0f);

    // With vertical scrolling off the wheel climbs to the parent.
    struct Wheeled : Base
    {
        using Base::Base;
        bool OnMouseWheeled(int) override { return ++turns, true; }
        int turns = 0;
    };
    auto* outer = new Wheeled(canvas);
    auto* flat = new ScrollControl(outer);
    flat->SetScroll(true, false);
    EXPECT_TRUE(flat->OnMouseWheeled(120));
    EXPECT_EQ(outer->turns, 1);

    // Clearing leaves the bars.
    scroller->Clear();
    canvas->RenderCanvas();
    EXPECT_EQ(scroller->InnerPanel()->NumChildren(), 0u);
    EXPECT_EQ(scroller->VerticalBar()->GetParent(), scroller);
}

} // namespace
} // namespace Gui::test
