#include "WidgetTest.h"

#include "widgets/Controls/Button.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Gui::test
{
namespace
{

using Controls::Base;
using Log = std::vector<std::string>;

// A control that takes keys and characters and writes down what reaches it.
class Probe : public Base
{
public:
    Probe(Base* parent, Log& log, const char* name) : Base(parent), m_log(log), m_name(name)
    {
        SetKeyboardInputEnabled(true);
    }

    bool OnChar(wchar_t c) override
    {
        m_log.push_back(m_name + " char " + static_cast<char>(c));
        return true;
    }
    bool OnKeyReturn(bool down) override
    {
        m_log.push_back(m_name + (down ? " return down" : " return up"));
        return true;
    }
    void OnMouseClickLeft(int x, int y, bool down) override
    {
        m_log.push_back(m_name + " click " + std::to_string(x) + "," + std::to_string(y) +
                        (down ? " down" : " up"));
    }
    void OnMouseDoubleClickLeft(int x, int y) override
    {
        m_log.push_back(m_name + " double " + std::to_string(x) + "," + std::to_string(y));
    }
    void Accelerated(Base*) { m_log.push_back(m_name + " accelerator"); }

private:
    Log& m_log;
    std::string m_name;
};

// Counts controls destroyed and deletes controls from their own events.
struct Watcher : Event::Handler
{
    void Destroyed(Base*) { ++destroyed; }
    void DeleteLater(Base* control) { control->DelayedDelete(); }
    int destroyed = 0;
};

using CanvasTest = test::CanvasTest<>;

TEST_F(CanvasTest, AControlDeletedFromItsOwnEventGoesAtTheEndOfTheFrameAndOnlyOnce)
{
    Watcher watcher;
    auto* button = new Controls::Button(canvas);
    button->SetBounds(10, 10, 100, 20);
    button->OnDestroyed.Add(&watcher, &Watcher::Destroyed);
    button->onPress.Add(&watcher, &Watcher::DeleteLater);
    button->onPress.Add(&watcher, &Watcher::DeleteLater);
    canvas->RenderCanvas();

    Click(20, 15);
    EXPECT_EQ(watcher.destroyed, 0);
    EXPECT_EQ(HoveredControl, button);
    canvas->RenderCanvas();
    EXPECT_EQ(watcher.destroyed, 1);
    EXPECT_EQ(HoveredControl, nullptr);
    EXPECT_EQ(canvas->NumChildren(), 0u);

    // Deleted directly while queued: the queue forgets it.
    auto* queued = new Base(canvas);
    queued->OnDestroyed.Add(&watcher, &Watcher::Destroyed);
    queued->DelayedDelete();
    delete queued;
    EXPECT_EQ(watcher.destroyed, 2);
    canvas->DoThink();

    // A parent and its child both queued: the child goes with its parent and is not deleted again.
    auto* parent = new Base(canvas);
    auto* child = new Base(parent);
    parent->OnDestroyed.Add(&watcher, &Watcher::Destroyed);
    child->OnDestroyed.Add(&watcher, &Watcher::Destroyed);
    parent->DelayedDelete();
    child->DelayedDelete();
    canvas->DoThink();
    EXPECT_EQ(watcher.destroyed, 4);
}

TEST_F(CanvasTest, RemovingAllChildrenDetachesThemAndDeletesThemSafely)
{
    Watcher watcher;
    auto* panel = new Base(canvas);
    panel->SetBounds(0, 0, 200, 200);
    auto* first = new Base(panel);
    auto* second = new Base(panel);
    first->SetBounds(0, 0, 50, 50);
    first->OnDestroyed.Add(&watcher, &Watcher::Destroyed);
    second->OnDestroyed.Add(&watcher, &Watcher::Destroyed);
    canvas->RenderCanvas();
    MoveTo(10, 10);
    first->SetKeyboardInputEnabled(true);
    first->Focus();
    ASSERT_EQ(HoveredControl, first);

    panel->RemoveAllChildren();
    EXPECT_EQ(panel->NumChildren(), 0u);
    EXPECT_EQ(first->GetParent(), nullptr);
    // Detached, it is on no canvas: input no longer reaches it.
    EXPECT_FALSE(canvas->InputMouseButton(0, true));
    EXPECT_FALSE(canvas->InputCharacter(L'a'));
    canvas->DoThink();
    EXPECT_EQ(watcher.destroyed, 2);
    EXPECT_EQ(HoveredControl, nullptr);
    EXPECT_EQ(KeyboardFocus, nullptr);

    // Without a canvas the children go at once.
    Base loose(nullptr);
    auto* orphan = new Base(&loose);
    orphan->OnDestroyed.Add(&watcher, &Watcher::Destroyed);
    loose.RemoveAllChildren();
    EXPECT_EQ(watcher.destroyed, 3);
}

TEST_F(CanvasTest, ControlCharactersGoToAcceleratorsOnly)
{
    Log log;
    auto* probe = new Probe(canvas, log, "probe");
    probe->SetBounds(0, 0, 100, 100);
    probe->AddAccelerator(L"Ctrl + s", &Probe::Accelerated);
    probe->AddAccelerator(L"Ctrl + Shift + S", &Probe::Accelerated);
    probe->Focus();

    EXPECT_TRUE(canvas->InputCharacter(L'q'));
    // Modifier keys reach no slot: the game may see them too.
    EXPECT_FALSE(canvas->InputKey(Key::Control, true));
    EXPECT_TRUE(canvas->InputCharacter(L's'));
    EXPECT_FALSE(canvas->InputCharacter(L'q'));
    canvas->InputKey(Key::Shift, true);
    EXPECT_TRUE(canvas->InputCharacter(L'S'));
    canvas->InputKey(Key::Shift, false);
    canvas->InputKey(Key::Control, false);
    EXPECT_TRUE(canvas->InputCharacter(L'q'));
    // Control codes are keys, not characters; key codes outside the table are refused.
    EXPECT_FALSE(canvas->InputCharacter(L'\b'));
    EXPECT_FALSE(canvas->InputCharacter(wchar_t(0x85)));
    EXPECT_TRUE(canvas->InputCharacter(L'\u00e9'));
    EXPECT_FALSE(canvas->InputKey(16, true));
    EXPECT_FALSE(canvas->InputKey(-1, true));
    EXPECT_EQ(log, (Log{"probe char q", "probe accelerator", "probe accelerator", "probe char q",
                        std::string("probe char ") + static_cast<char>(0xe9)}));
}

TEST_F(CanvasTest, HeldKeysRepeatOnTheLibraryClockUntilTheFocusMoves)
{
    Log log;
    auto* first = new Probe(canvas, log, "first");
    auto* second = new Probe(canvas, log, "second");
    first->Focus();
    canvas->InputKey(Key::Return, true);
    EXPECT_EQ(log, (Log{"first return down"}));
    // Again while held: the repeat comes from thinking, not from the host.
    EXPECT_FALSE(canvas->InputKey(Key::Return, true));

    const double start = host.seconds;
    std::vector<double> repeats;
    for (int step = 1; step <= 10; ++step)
    {
        const std::size_t before = log.size();
        Think(0.04);
        if (log.size() > before)
            repeats.push_back(host.seconds - start);
    }
    // The first once 0.3 s have passed, then each time 0.03 s more have.
    ASSERT_EQ(repeats.size(), 3u);
    EXPECT_NEAR(repeats[0], 0.32, 1e-6);
    EXPECT_NEAR(repeats[1], 0.36, 1e-6);
    EXPECT_NEAR(repeats[2], 0.40, 1e-6);

    second->Focus();
    log.clear();
    for (int step = 0; step < 10; ++step)
        Think(0.05);
    // Dropped without a release call; the focus never saw the key.
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(canvas->InputKey(Key::Return, false));
}

TEST_F(CanvasTest, DoubleClicksNeedAnEarlierClickAtTheSamePixelWithinHalfASecond)
{
    const struct
    {
        double gap;
        int dx;
        bool secondIsDouble;
    } cases[] = {
        {0.4, 0, true},
        {0.51, 0, false},
        {0.6, 0, false},
        {0.1, 1, false},
    };
    for (const auto& c : cases)
    {
        Log log;
        auto* probe = new Probe(canvas, log, "p");
        probe->SetBounds(0, 0, 100, 100);
        // The first click ever, at the start of the clock and the pointer's first place, is single.
        Click(10, 10);
        AdvanceClock(c.gap);
        Click(10 + c.dx, 10);
        const std::string second = std::string(c.secondIsDouble ? "p double " : "p click ") +
                                   std::to_string(10 + c.dx) + ",10" + (c.secondIsDouble ? "" : " down");
        EXPECT_EQ(log, (Log{"p click 10,10 down", "p click 10,10 up", second,
                            "p click " + std::to_string(10 + c.dx) + ",10 up"}))
            << "gap " << c.gap << " dx " << c.dx;
        delete probe;
        AdvanceClock(1.0);
    }
}

TEST_F(CanvasTest, AClickFocusesTheNearestAncestorThatTakesKeys)
{
    Log log;
    auto* box = new Probe(canvas, log, "box");
    box->SetBounds(0, 0, 200, 100);
    auto* caption = new Base(box);
    caption->SetBounds(10, 10, 50, 20);
    auto* inner = new Probe(box, log, "inner");
    inner->SetBounds(100, 0, 50, 50);

    Click(20, 20);
    EXPECT_EQ(KeyboardFocus, box);
    inner->Focus();
    // The box's own child has the focus: a click on the box's caption leaves it there.
    Click(20, 20);
    EXPECT_EQ(KeyboardFocus, inner);
    // The bare canvas takes nothing and the game gets the click.
    Click(500, 500);
    EXPECT_EQ(HoveredControl, canvas);
    EXPECT_FALSE(canvas->InputMouseButton(0, true));
    EXPECT_FALSE(canvas->InputMouseButton(-1, true));
    EXPECT_FALSE(canvas->InputMouseWheel(120));
}

TEST_F(CanvasTest, TabWrapsFromTheLastControlAfterEveryFrame)
{
    Log log;
    std::vector<Probe*> controls;
    for (const char* name : {"a", "b", "c"})
    {
        controls.push_back(new Probe(canvas, log, name));
        controls.back()->SetTabable(true);
    }
    controls[0]->Focus();
    for (int frame = 0; frame < 2; ++frame)
    {
        canvas->RenderCanvas();
        for (Probe* expected : {controls[1], controls[2], controls[0]})
        {
            canvas->InputKey(Key::Tab, true);
            canvas->InputKey(Key::Tab, false);
            // The tab order is taken afresh by the next layout, a think or a whole frame.
            if (frame == 0)
                canvas->DoThink();
            else
                canvas->RenderCanvas();
            EXPECT_EQ(KeyboardFocus, expected) << "frame " << frame;
        }
    }
}

TEST_F(CanvasTest, ASecondCanvasReachesNothingOfTheFirst)
{
    Log log;
    auto* probe = new Probe(canvas, log, "probe");
    probe->SetBounds(0, 0, 100, 100);
    probe->AddAccelerator(L"x", &Probe::Accelerated);
    Click(10, 10);
    ASSERT_EQ(KeyboardFocus, probe);
    log.clear();

    Controls::Canvas other(&skin);
    other.SetSize(800, 600);
    EXPECT_FALSE(other.InputMouseButton(0, true));
    EXPECT_FALSE(other.InputKey(Key::Return, true));
    EXPECT_FALSE(other.InputCharacter(L'x'));
    EXPECT_FALSE(other.InputMouseWheel(120));
    EXPECT_TRUE(log.empty());

    delete probe;
    EXPECT_EQ(KeyboardFocus, nullptr);
    EXPECT_EQ(HoveredControl, nullptr);
}

TEST_F(CanvasTest, ChildrenAreClippedToTheirParentsAtEveryScale)
{
    // Counts its draws.
    class Painted : public Base
    {
    public:
        using Base::Base;
        void Render(Skin::Base*) override { ++draws; }
        int draws = 0;
    };
    auto* panel = new Base(canvas);
    panel->SetBounds(10, 10, 50, 50);
    auto* overlapping = new Painted(panel);
    overlapping->SetBounds(40, 40, 30, 30);
    auto* outside = new Painted(panel);
    outside->SetBounds(50, 0, 10, 10);
    const struct
    {
        float scale;
        std::string scissor;
    } cases[] = {{1.0f, "scissor 50 50 10 10"}, {2.0f, "scissor 100 100 20 20"}};
    for (const auto& c : cases)
    {
        canvas->SetScale(c.scale);
        Recorder().log.clear();
        canvas->RenderCanvas();
        const Log& log = Recorder().log;
        EXPECT_NE(std::find(log.begin(), log.end(), c.scissor), log.end()) << c.scale;
    }
    EXPECT_EQ(overlapping->draws, 2);
    EXPECT_EQ(outside->draws, 0);
}

} // namespace
} // namespace Gui::test
