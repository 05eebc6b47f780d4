#include "WidgetTest.h"

#include "UI/Skin/BWSkin.h"
#include "widgets/Anim.h"
#include "widgets/DragAndDrop.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace Gui::test
{
namespace
{

using Controls::Base;
using Log = std::vector<std::string>;

using AnimTest = test::CanvasTest<>;

TEST_F(AnimTest, AWidthAnimationWaitsForItsDelayThenRunsToItsEnd)
{
    auto* control = new Base(canvas);
    control->SetBounds(0, 0, 100, 20);
    AdvanceClock(1.0);
    control->Anim_WidthIn(1.0f, 0.5f);
    EXPECT_EQ(control->Width(), 0);
    AdvanceClock(0.4);
    canvas->DoThink();
    EXPECT_EQ(control->Width(), 0);
    AdvanceClock(0.6);
    canvas->DoThink();
    EXPECT_NEAR(control->Width(), 50, 1);
    AdvanceClock(0.6);
    canvas->DoThink();
    EXPECT_EQ(control->Width(), 100);
    EXPECT_FALSE(control->Hidden());

    // No length: at its end on the first think; without hiding, a visible control of no height.
    control->Anim_HeightOut(0.0f, false);
    canvas->DoThink();
    EXPECT_EQ(control->Height(), 0);
    EXPECT_FALSE(control->Hidden());
    control->Anim_WidthOut(0.0f, true);
    canvas->DoThink();
    EXPECT_TRUE(control->Hidden());

    // Deleted while its animation runs: the animation goes with it.
    auto* doomed = new Base(canvas);
    doomed->Anim_WidthIn(1.0f);
    AdvanceClock(0.3);
    canvas->DoThink();
    delete doomed;
    AdvanceClock(0.3);
    canvas->DoThink();
}

TEST_F(AnimTest, AnEaseThatIsNotAFiniteNumberAboveZeroRunsLinearly)
{
    for (const float ease : {-1.0f, -3.0f, 0.0f, std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()})
    {
        SCOPED_TRACE(ease);
        auto* control = new Base(canvas);
        control->SetBounds(0, 0, 100, 20);
        control->Anim_WidthIn(1.0f, 0.0f, ease);
        AdvanceClock(0.25);
        canvas->DoThink();
        EXPECT_NEAR(control->Width(), 25, 1);
        AdvanceClock(1.0);
        canvas->DoThink();
        EXPECT_EQ(control->Width(), 100);
        delete control;
    }
}

// Takes packages and writes down what the dragging tells it.
class Target : public Base
{
public:
    Target(Base* parent, Log& log, bool accepts) : Base(parent), m_log(log), m_accepts(accepts) {}
    bool DragAndDrop_CanAcceptPackage(DragAndDrop::Package*) override { return m_accepts; }
    void DragAndDrop_HoverEnter(DragAndDrop::Package* package, int, int) override
    {
        m_log.push_back(GetName() + " enter " + package->name);
    }
    void DragAndDrop_EndDragging(bool success, int, int) override
    {
        m_log.push_back(GetName() + (success ? " dropped" : " not dropped"));
    }

private:
    Log& m_log;
    bool m_accepts;
};

using DragTest = test::CanvasTest<>;

TEST_F(DragTest, AMoveOfFivePixelsStartsADragThatDropsOnTheNearestAcceptingControl)
{
    Log log;
    auto* source = new Target(canvas, log, false);
    source->SetName("source");
    source->SetBounds(0, 0, 50, 50);
    source->DragAndDrop_SetPackage(true, "card");
    auto* accepting = new Target(canvas, log, true);
    accepting->SetName("panel");
    accepting->SetBounds(200, 0, 100, 100);
    auto* refusing = new Target(accepting, log, false);
    refusing->SetName("child");
    refusing->SetBounds(10, 10, 20, 20);
    canvas->RenderCanvas();

    // 2 + 2 is not far enough; 3 + 2 is.
    MoveTo(10, 10);
    canvas->InputMouseButton(0, true);
    MoveTo(12, 12);
    EXPECT_EQ(DragAndDrop::CurrentPackage(), nullptr);
    MoveTo(13, 12);
    ASSERT_NE(DragAndDrop::CurrentPackage(), nullptr);
    EXPECT_EQ(DragAndDrop::SourceControl(), source);
    // Over a child that refuses the package, its parent takes it.
    MoveTo(215, 15);
    EXPECT_EQ(log, (Log{"panel enter card"}));
    EXPECT_TRUE(canvas->InputMouseButton(0, false));
    EXPECT_EQ(source->GetParent(), accepting);
    EXPECT_EQ(log, (Log{"panel enter card", "source dropped"}));
    EXPECT_EQ(DragAndDrop::CurrentPackage(), nullptr);

    // Dropped where nothing accepts it.
    log.clear();
    source->SetPos(40, 40);
    canvas->RenderCanvas();
    MoveTo(245, 45);
    canvas->InputMouseButton(0, true);
    MoveTo(251, 45);
    ASSERT_NE(DragAndDrop::CurrentPackage(), nullptr);
    // Over the accepting panel, then away over the bare canvas, where the button goes up.
    MoveTo(205, 5);
    MoveTo(500, 500);
    canvas->InputMouseButton(0, false);
    EXPECT_EQ(log, (Log{"panel enter card", "source not dropped"}));
    EXPECT_EQ(source->GetParent(), accepting);

    // A press and release without moving is a plain click.
    MoveTo(245, 45);
    canvas->InputMouseButton(0, true);
    EXPECT_FALSE(canvas->InputMouseButton(0, false) && DragAndDrop::CurrentPackage());
    EXPECT_EQ(DragAndDrop::CurrentPackage(), nullptr);

    // The source deleted while it is dragged ends the drag.
    AdvanceClock(1.0);
    canvas->InputMouseButton(0, true);
    MoveTo(255, 45);
    ASSERT_NE(DragAndDrop::CurrentPackage(), nullptr);
    delete source;
    EXPECT_EQ(DragAndDrop::CurrentPackage(), nullptr);
    MoveTo(250, 50);
    canvas->InputMouseButton(0, false);
    canvas->RenderCanvas();
}

TEST(ToolTipTest, RectanglesAreKeptInsideTheOuterOne)
{
    const Rect outside(0, 0, 800, 600);
    const struct
    {
        Rect inside;
        bool clampSize;
        Rect expected;
    } cases[] = {
        {Rect(10, 10, 50, 20), false, Rect(10, 10, 50, 20)},
        {Rect(780, 10, 50, 20), false, Rect(750, 10, 50, 20)},
        {Rect(10, -25, 50, 20), false, Rect(10, 0, 50, 20)},
        {Rect(-5, 590, 50, 20), false, Rect(0, 580, 50, 20)},
        {Rect(0, 0, 900, 20), true, Rect(0, 0, 800, 20)},
        {Rect(-100, 0, 900, 700), false, Rect(-100, -100, 900, 700)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClampRectToRect(c.inside, outside, c.clampSize), c.expected);
}

using ToolTipCanvasTest = test::CanvasTest<Quarn::BWSkin>;

TEST_F(ToolTipCanvasTest, AToolTipShowsAboveThePointerInsideTheCanvas)
{
    auto* control = new Base(canvas);
    control->SetBounds(700, 0, 100, 100);
    control->SetToolTip("Tip");
    Base* tip = control->GetToolTip();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->Hidden());
    const Rect bounds = tip->GetBounds();
    const struct
    {
        Point pointer;
        Point box;
    } cases[] = {
        {Point(750, 80), Point(750 - bounds.w / 2, 80 - bounds.h - 10)},
        {Point(799, 80), Point(800 - bounds.w, 80 - bounds.h - 10)},
        {Point(750, 5), Point(750 - bounds.w / 2, 0)},
    };
    for (const auto& c : cases)
    {
        MoveTo(c.pointer.x, c.pointer.y);
        EXPECT_EQ(ToolTip::Owner(), control);
        Recorder().vertices.clear();
        canvas->RenderCanvas();
        // The background is the box grown by three pixels.
        const auto rects = DrawnRects(Recorder());
        const DrawnRect background{Rect(c.box.x - 3, c.box.y - 3, bounds.w + 6, bounds.h + 6), 0xFF191919u};
        EXPECT_NE(std::find(rects.begin(), rects.end(), background), rects.end())
            << c.pointer.x << "," << c.pointer.y;
    }
    MoveTo(10, 10);
    EXPECT_EQ(ToolTip::Owner(), nullptr);
}

} // namespace
} // namespace Gui::test
