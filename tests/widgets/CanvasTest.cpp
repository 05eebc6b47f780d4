#include "WidgetTest.h"

#include "widgets/Controls/Button.h"
#include "widgets/Controls/Label.h"
#include "widgets/Controls/ListBox.h"
#include "widgets/Controls/Properties.h"
#include "widgets/Controls/Table.h"
#include "widgets/Controls/TextBox.h"
#include "widgets/Controls/TreeControl.h"
#include "widgets/Controls/WindowControl.h"
#include "widgets/DragAndDrop.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <utility>
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

// Runs code of a test's choosing in its layout, the way an event handler would during a frame, and
// writes down, as it draws, how many controls the watcher has seen go.
class Busy : public Base
{
public:
    Busy(Base* parent, const Watcher& watcher, int& seenWhenDrawn)
        : Base(parent), m_watcher(watcher), m_seenWhenDrawn(seenWhenDrawn)
    {
    }
    void Layout(Skin::Base*) override
    {
        if (inLayout)
            std::exchange(inLayout, nullptr)();
    }
    void Render(Skin::Base*) override { m_seenWhenDrawn = m_watcher.destroyed; }

    std::function<void()> inLayout;

private:
    const Watcher& m_watcher;
    int& m_seenWhenDrawn;
};

// Calls code of a test's choosing when an event fires.
struct Doer : Event::Handler
{
    void Do(Base*) { what(); }
    std::function<void()> what;
};

TEST_F(CanvasTest, ACanvasAskedToGoIsDeletedAfterItsFrameNeverDuringIt)
{
    enum class Frame
    {
        Render,
        Think
    };
    const struct
    {
        const char* name;
        std::function<void(Controls::Canvas*, Busy*, Doer&)> ask;
        Frame frame;
    } cases[] = {
        {"asked before a frame", [](Controls::Canvas* own, Busy*, Doer&) { own->DelayedDelete(); },
         Frame::Render},
        {"asked before a think", [](Controls::Canvas* own, Busy*, Doer&) { own->DelayedDelete(); },
         Frame::Think},
        {"asked through another canvas",
         [this](Controls::Canvas* own, Busy*, Doer&)
         {
             canvas->AddDelayedDelete(own);
             canvas->ProcessDelayedDeletes();
         },
         Frame::Render},
        {"released inside a control's event",
         [](Controls::Canvas* own, Busy*, Doer& doer)
         {
             auto* button = new Controls::Button(own);
             doer.what = [own] { own->Release(); };
             button->onPress.Add(&doer, &Doer::Do);
             own->RenderCanvas();
             own->InputMouseMoved(5, 5, 0, 0);
             own->InputMouseButton(0, true);
             own->InputMouseButton(0, false);
         },
         Frame::Render},
        {"asked and processed inside a control's event",
         [](Controls::Canvas* own, Busy*, Doer& doer)
         {
             auto* button = new Controls::Button(own);
             doer.what = [own]
             {
                 own->DelayedDelete();
                 own->ProcessDelayedDeletes();
             };
             button->onPress.Add(&doer, &Doer::Do);
             button->Press();
         },
         Frame::Think},
        {"asked and processed by a control's layout during the frame",
         [](Controls::Canvas* own, Busy* busy, Doer&)
         {
             busy->inLayout = [own]
             {
                 own->DelayedDelete();
                 own->ProcessDelayedDeletes();
             };
         },
         Frame::Render},
        {"released by a control's layout during a think",
         [](Controls::Canvas* own, Busy* busy, Doer&) { busy->inLayout = [own] { own->Release(); }; },
         Frame::Think},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Watcher watcher;
        Doer doer;
        auto* own = new Controls::Canvas(&skin);
        own->SetSize(800, 600);
        own->OnDestroyed.Add(&watcher, &Watcher::Destroyed);
        int destroyedWhenDrawn = -1;
        auto* busy = new Busy(own, watcher, destroyedWhenDrawn);
        busy->SetBounds(100, 100, 10, 10);
        c.ask(own, busy, doer);
        ASSERT_EQ(watcher.destroyed, 0) << "gone before its frame";
        if (c.frame == Frame::Render)
        {
            own->RenderCanvas();
            EXPECT_EQ(destroyedWhenDrawn, 0) << "gone during its frame";
        }
        else
        {
            own->DoThink();
        }
        EXPECT_EQ(watcher.destroyed, 1);
        Input::Reset();
    }
}

TEST_F(CanvasTest, DeletionsAskedForInsideAnEventWaitUntilItIsOver)
{
    Watcher watcher;
    Doer doer;
    Log log;
    auto* button = new Controls::Button(canvas);
    button->OnDestroyed.Add(&watcher, &Watcher::Destroyed);
    doer.what = [&]
    {
        log.emplace_back("press");
        button->DelayedDelete();
        canvas->ProcessDelayedDeletes();
    };
    button->onPress.Add(&doer, &Doer::Do);
    struct Up : Event::Handler
    {
        void Seen(Base*) { log.emplace_back("up"); }
        Log& log;
        explicit Up(Log& l) : log(l) {}
    } up(log);
    button->onUp.Add(&up, &Up::Seen);
    canvas->RenderCanvas();
    Click(5, 5);
    // The button finished its event: its up event came after the press.
    EXPECT_EQ(log, (Log{"press", "up"}));
    EXPECT_EQ(watcher.destroyed, 0);
    canvas->ProcessDelayedDeletes();
    EXPECT_EQ(watcher.destroyed, 1);
}

TEST_F(CanvasTest, NullControlsAndAWindowOffAnyCanvasDoNothing)
{
    canvas->AddDelayedDelete(nullptr);
    canvas->ProcessDelayedDeletes();
    Controls::WindowControl loose(nullptr);
    loose.MakeModal();
    EXPECT_EQ(loose.ModalLayer(), nullptr);
    EXPECT_EQ(loose.GetParent(), nullptr);
    auto* tree = new Controls::TreeControl(canvas);
    tree->OnNodeAdded(nullptr);
    auto* grid = new Controls::Properties(canvas);
    EXPECT_EQ(grid->AddWithProperty("nothing", nullptr), nullptr);
    auto* row = new Controls::PropertyRow(grid);
    row->SetProperty(nullptr);
    EXPECT_EQ(row->GetProperty(), nullptr);
    Controls::Layout::Table table(nullptr);
    table.AddRow(nullptr);
    EXPECT_FALSE(DragAndDrop::Start(nullptr, nullptr));
    ToolTip::Enable(nullptr);
    Event::Caller caller;
    caller.AddInternal(nullptr, nullptr);
    caller.RemoveHandler(nullptr);
    EXPECT_EQ(caller.PairCount(), 0u);
    canvas->RenderCanvas();
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

TEST_F(CanvasTest, PointsScalesAndFontSizesFromOutsideStayInRange)
{
    constexpr int kMost = std::numeric_limits<int>::max();
    constexpr int kLeast = std::numeric_limits<int>::min();
    auto* owner = new Base(canvas);
    owner->SetBounds(0, 0, 100, 100);
    owner->SetToolTip("tip");
    auto* box = new Controls::TextBox(canvas);
    box->SetBounds(200, 0, 100, 20);
    box->SetText("text");
    auto* window = new Controls::WindowControl(canvas);
    window->SetBounds(400, 100, 200, 150);
    Base* titleBar = window->TitleBar();
    Base* corner = nullptr;
    for (Base* child : window->OwnChildren())
        if (child->Cursor() == 3 && child->GetDock() == Pos::Right)
            corner = child;
    ASSERT_NE(corner, nullptr);
    Font font;
    auto* label = new Controls::Label(canvas);
    label->SetBounds(0, 300, 100, 20);
    label->SetFont(&font);
    canvas->RenderCanvas();
    const struct
    {
        const char* name;
        std::function<void()> run;
    } cases[] = {
        {"the pointer at the ends of the int range, with a tool-tip shown",
         [&]
         {
             canvas->InputMouseMoved(kLeast, kMost, kMost, kLeast);
             EXPECT_EQ(Input::GetMousePosition(), Point(-1'000'000, 1'000'000));
             ToolTip::Enable(owner);
             canvas->RenderCanvas();
         }},
        {"a text box clicked and dragged at the ends",
         [&]
         {
             box->OnMouseClickLeft(kMost, kLeast, true);
             box->OnMouseMoved(kLeast, kMost, 0, 0);
             box->OnMouseClickLeft(kLeast, kLeast, false);
         }},
        {"a title bar dragged to the ends",
         [&]
         {
             titleBar->OnMouseClickLeft(450, 105, true);
             titleBar->OnMouseMoved(kMost, kLeast, 0, 0);
             titleBar->OnMouseClickLeft(kMost, kLeast, false);
         }},
        {"a window's edge dragged to the ends",
         [&]
         {
             corner->OnMouseClickLeft(window->X() + window->Width() - 2, window->Y() + 50, true);
             corner->OnMouseMoved(kMost, kMost, 0, 0);
             corner->OnMouseMoved(kLeast, kLeast, 0, 0);
             corner->OnMouseClickLeft(kLeast, kLeast, false);
         }},
        {"a frame at scales that fit no int",
         [&]
         {
             label->SetText("scaled");
             for (const float scale : {1e30f, -1e30f, std::numeric_limits<float>::quiet_NaN(), 0.0f})
             {
                 canvas->SetScale(scale);
                 canvas->RenderCanvas();
             }
             canvas->SetScale(1.0f);
         }},
        {"a font whose size fits no int",
         [&]
         {
             for (const float size : {1e30f, -1e30f, std::numeric_limits<float>::quiet_NaN()})
             {
                 font.size = size;
                 label->SetText("");
                 canvas->RenderCanvas();
                 label->SetText("sized");
                 canvas->RenderCanvas();
             }
         }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        c.run();
        canvas->RenderCanvas();
        for (const int value : {window->X(), window->Y(), window->Width(), window->Height()})
            EXPECT_LE(std::abs(value), 1'000'000);
    }
    label->SetFont(nullptr);
    renderer.FreeFont(&font);
}

} // namespace
} // namespace Gui::test
