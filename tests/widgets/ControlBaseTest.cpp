#include "WidgetTest.h"

#include "widgets/Controls/Base.h"
#include "widgets/Controls/Button.h"
#include "widgets/Controls/ListBox.h"
#include "widgets/Controls/ScrollControl.h"
#include "widgets/Controls/Table.h"
#include "widgets/Controls/WindowControl.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

namespace Gui::test
{
namespace
{

using Controls::Base;

struct ChildSpec
{
    int dock;
    Rect bounds;
    Margin margin;
    bool hidden;
};

TEST(ControlBaseTest, DockingPlacesChildrenInTheShrinkingArea)
{
    const struct
    {
        const char* name;
        Padding padding;
        std::vector<ChildSpec> children;
        std::vector<Rect> expected;
        Rect inner;
    } cases[] = {
        {"top and left at once take the top strip, then the left of what remains",
         Padding(),
         {{Pos::Top | Pos::Left, Rect(0, 0, 20, 10), Margin(), false}},
         {Rect(0, 10, 100, 90)},
         Rect(100, 10, 0, 90)},
        {"two fills get the same area",
         Padding(),
         {{Pos::Fill, Rect(), Margin(), false}, {Pos::Fill, Rect(), Margin(), false}},
         {Rect(0, 0, 100, 100), Rect(0, 0, 100, 100)},
         Rect(0, 0, 100, 100)},
        {"a hidden docked child takes no room; a hidden fill child still gets the fill",
         Padding(),
         {{Pos::Top, Rect(0, 0, 10, 30), Margin(), true}, {Pos::Fill, Rect(), Margin(), true}},
         {Rect(0, 0, 10, 30), Rect(0, 0, 100, 100)},
         Rect(0, 0, 100, 100)},
        {"centred children keep their size and move to the middle",
         Padding(),
         {{Pos::Center, Rect(5, 5, 20, 10), Margin(), false},
          {Pos::CenterH, Rect(5, 7, 21, 10), Margin(), false}},
         {Rect(40, 45, 20, 10), Rect(39, 7, 21, 10)},
         Rect(0, 0, 100, 100)},
        {"margins go around docked children",
         Padding(),
         {{Pos::Top, Rect(0, 0, 10, 10), Margin(2, 3, 4, 5), false},
          {Pos::Right, Rect(0, 0, 10, 10), Margin(1, 1, 1, 1), false},
          {Pos::Fill, Rect(), Margin(1, 2, 3, 4), false}},
         {Rect(2, 3, 94, 10), Rect(89, 19, 10, 80), Rect(1, 20, 84, 76)},
         Rect(0, 18, 88, 82)},
        {"bottom, then left, inside padding",
         Padding(5, 6, 7, 8),
         {{Pos::Bottom, Rect(0, 0, 10, 10), Margin(), false},
          {Pos::Left, Rect(0, 0, 15, 10), Margin(), false}},
         {Rect(5, 82, 88, 10), Rect(5, 6, 15, 76)},
         Rect(20, 6, 73, 76)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Base parent(nullptr);
        parent.SetBounds(0, 0, 100, 100);
        parent.SetPadding(c.padding);
        std::vector<Base*> children;
        for (const ChildSpec& spec : c.children)
        {
            Base* child = new Base(&parent);
            child->SetBounds(spec.bounds);
            child->SetMargin(spec.margin);
            child->Dock(spec.dock);
            child->SetHidden(spec.hidden);
            children.push_back(child);
        }
        parent.RecurseLayout(nullptr);
        for (std::size_t i = 0; i < children.size(); ++i)
            EXPECT_EQ(children[i]->GetBounds(), c.expected[i]) << "child " << i;
        EXPECT_EQ(parent.GetInnerBounds(), c.inner);
    }
}

TEST(ControlBaseTest, MoveToKeepsARestrictedControlInsideItsParent)
{
    const struct
    {
        Margin parentMargin;
        Padding padding;
        Rect bounds;
        Point target;
        Point expected;
    } cases[] = {
        {Margin(), Padding(), Rect(0, 0, 20, 20), Point(-5, -5), Point(0, 0)},
        {Margin(), Padding(), Rect(0, 0, 20, 20), Point(95, 90), Point(80, 80)},
        {Margin(3, 4, 5, 6), Padding(1, 1, 1, 1), Rect(0, 0, 20, 20), Point(0, 0), Point(4, 5)},
        {Margin(3, 4, 5, 6), Padding(1, 1, 1, 1), Rect(0, 0, 20, 20), Point(90, 90), Point(74, 73)},
        // Wider than its parent: the right clamp comes last and wins, leaving x negative.
        {Margin(), Padding(), Rect(0, 0, 150, 20), Point(10, 10), Point(-50, 10)},
    };
    for (const auto& c : cases)
    {
        Base parent(nullptr);
        parent.SetBounds(0, 0, 100, 100);
        parent.SetMargin(c.parentMargin);
        Base* child = new Base(&parent);
        child->SetBounds(c.bounds);
        child->SetPadding(c.padding);
        child->RestrictToParent(true);
        child->MoveTo(c.target.x, c.target.y);
        EXPECT_EQ(Point(child->X(), child->Y()), c.expected);
        child->RestrictToParent(false);
        child->MoveTo(c.target.x, c.target.y);
        EXPECT_EQ(Point(child->X(), child->Y()), c.target);
    }
}

TEST(ControlBaseTest, ControlAtFindsTheTopmostChildInsideItsEdges)
{
    Base root(nullptr);
    root.SetBounds(0, 0, 100, 100);
    Base* under = new Base(&root);
    under->SetBounds(10, 10, 20, 20);
    Base* over = new Base(&root);
    over->SetBounds(20, 20, 20, 20);
    Base* transparent = new Base(&root);
    transparent->SetBounds(50, 50, 40, 40);
    transparent->SetMouseInputEnabled(false);
    Base* inside = new Base(transparent);
    inside->SetBounds(0, 0, 10, 10);

    EXPECT_EQ(root.GetControlAt(29, 29), over);
    EXPECT_EQ(root.GetControlAt(19, 19), under);
    EXPECT_EQ(root.GetControlAt(39, 39), over);
    EXPECT_EQ(root.GetControlAt(40, 40), &root);
    EXPECT_EQ(root.GetControlAt(99, 99), &root);
    EXPECT_EQ(root.GetControlAt(100, 50), nullptr);
    EXPECT_EQ(root.GetControlAt(-1, 50), nullptr);
    // A control without mouse input lets the pointer through, but not its children.
    EXPECT_EQ(root.GetControlAt(70, 70), &root);
    EXPECT_EQ(root.GetControlAt(55, 55), inside);
    over->Hide();
    EXPECT_EQ(root.GetControlAt(29, 29), under);
    EXPECT_FALSE(root.SetBounds(0, 0, 100, 100));
}

// A control that sends added children into an inner panel.
class Panel : public Base
{
public:
    using Base::Base;
    void UseInnerPanel(Base* panel) { m_innerPanel = panel; }
};

TEST(ControlBaseTest, PositionsConvertThroughNestedInnerPanels)
{
    Base root(nullptr);
    auto* scroller = new Panel(&root);
    scroller->SetPos(100, 50);
    auto* outer = new Panel(scroller);
    outer->SetPos(5, 7);
    auto* deeper = new Base(outer);
    deeper->SetPos(-30, 2);
    outer->UseInnerPanel(deeper);
    scroller->UseInnerPanel(outer);

    Base* item = new Base(scroller);
    item->SetPos(3, 4);
    EXPECT_EQ(item->GetParent(), scroller);
    EXPECT_TRUE(deeper->IsChild(item));
    const Point corner(100 + 5 - 30 + 3, 50 + 7 + 2 + 4);
    EXPECT_EQ(item->LocalPosToCanvas(Point(1, 1)), Point(corner.x + 1, corner.y + 1));
    EXPECT_EQ(item->CanvasPosToLocal(Point(corner.x + 1, corner.y + 1)), Point(1, 1));
}

TEST(ControlBaseTest, TheHostHearsOfEveryControlMadeAndGone)
{
    struct Host : Event::Handler
    {
        void Made(Base* control) { made.push_back(control); }
        void Gone(Base* control) { gone.push_back(control); }
        std::vector<Base*> made;
        std::vector<Base*> gone;
    } host;
    Event::OnControlCreated.Add(&host, &Host::Made);
    Event::OnControlDestroyed.Add(&host, &Host::Gone);
    auto* root = new Base(nullptr);
    auto* button = new Controls::Button(root);
    // The button, and the text inside it.
    ASSERT_EQ(host.made.size(), 3u);
    EXPECT_EQ(host.made[0], root);
    EXPECT_EQ(host.made[1], button);
    delete root;
    ASSERT_EQ(host.gone.size(), 3u);
    EXPECT_EQ(host.gone[0], root);
    EXPECT_EQ(host.gone[1], button);
    EXPECT_EQ(host.gone[2], host.made[2]);
}

TEST(ControlBaseTest, AReferenceGoesEmptyAsItsControlIsDestroyed)
{
    auto* root = new Base(nullptr);
    auto* button = new Controls::Button(root);
    Controls::Ref<Controls::Button> toButton(button);
    const Controls::Ref<Base> copy = Controls::Ref<Base>(root);
    Controls::Ref<Base> empty;
    EXPECT_EQ(toButton.Get(), button);
    EXPECT_FALSE(empty);
    // Seen from the button's own going: its children go after it has been marked.
    struct Watcher : Event::Handler
    {
        void Gone(Base*) { seenWhileGoing = ref.Get(); }
        Controls::Ref<Controls::Button> ref;
        Controls::Button* seenWhileGoing = reinterpret_cast<Controls::Button*>(1);
    } watcher;
    watcher.ref = button;
    button->OnDestroyed.Add(&watcher, &Watcher::Gone);
    delete root;
    EXPECT_FALSE(toButton);
    EXPECT_EQ(toButton.Get(), nullptr);
    EXPECT_EQ(copy.Get(), nullptr);
    EXPECT_EQ(watcher.seenWhileGoing, nullptr);
}

constexpr int kMost = std::numeric_limits<int>::max();
constexpr int kLeast = std::numeric_limits<int>::min();

TEST(ControlBaseTest, GeometryFromOutsideStaysWithinAMillionPixels)
{
    // Each case makes a child of a 100 x 100 parent and moves it; the child's bounds result.
    const struct
    {
        const char* name;
        std::function<Base*(Base&)> place;
        Rect expected;
    } cases[] = {
        {"a place past the int range, moved on",
         [](Base& parent)
         {
             auto* child = new Base(&parent);
             child->SetPos(kMost, kLeast);
             child->MoveBy(1, -1);
             return child;
         },
         Rect(1'000'000, -1'000'000, 10, 10)},
        {"a move by the whole int range",
         [](Base& parent)
         {
             auto* child = new Base(&parent);
             child->SetPos(5, 5);
             child->MoveBy(kMost, kLeast);
             return child;
         },
         Rect(1'000'000, -1'000'000, 10, 10)},
        {"sizes below nothing and past the range",
         [](Base& parent)
         {
             auto* child = new Base(&parent);
             child->SetSize(-5, kMost);
             return child;
         },
         Rect(0, 0, 0, 1'000'000)},
        {"bounds at the ends of the int range",
         [](Base& parent)
         {
             auto* child = new Base(&parent);
             child->SetBounds(kLeast, kMost, kLeast, kMost);
             return child;
         },
         Rect(-1'000'000, 1'000'000, 0, 1'000'000)},
        {"a move kept inside the parent, to the ends",
         [](Base& parent)
         {
             auto* child = new Base(&parent);
             child->SetPadding(Padding(kMost, 0, kMost, 0));
             child->RestrictToParent(true);
             child->MoveTo(kLeast, kMost);
             return child;
         },
         Rect(-999'910, 90, 10, 10)},
        {"a window kept inside its parent, sized past the range",
         [](Base& parent)
         {
             auto* window = new Controls::WindowControl(&parent);
             window->SetBounds(kMost, kMost, kMost, kMost);
             return window;
         },
         Rect(0, 0, 1'000'000, 1'000'000)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Base parent(nullptr);
        parent.SetBounds(0, 0, 100, 100);
        Base* child = c.place(parent);
        EXPECT_EQ(child->GetBounds(), c.expected);
        EXPECT_EQ(child->Right(), c.expected.x + c.expected.w + child->GetMargin().right);
    }

    Base control(nullptr);
    control.SetPadding(Padding(kLeast, kMost, -1, 2));
    EXPECT_EQ(control.GetPadding(), Padding(0, 1'000'000, 0, 2));
    control.SetMargin(Margin(kLeast, kMost, -1, 2));
    EXPECT_EQ(control.GetMargin(), Margin(-1'000'000, 1'000'000, -1, 2));
    control.SetMargin(Margin(kMost, kMost, kMost, kMost));
    control.SetBounds(kMost, kMost, kMost, kMost);
    EXPECT_EQ(control.Bottom(), 3'000'000);
    EXPECT_EQ(control.Right(), 3'000'000);
}

TEST(ControlBaseTest, DockingAnyNumberOfHugeChildrenStaysInRange)
{
    Base parent(nullptr);
    parent.SetBounds(0, 0, kMost, kMost);
    parent.SetPadding(Padding(kMost, kMost, kMost, kMost));
    const int docks[] = {Pos::Left, Pos::Top, Pos::Right, Pos::Bottom, Pos::Fill, Pos::Center};
    for (int i = 0; i < 3000; ++i)
    {
        auto* child = new Base(&parent);
        child->SetBounds(kMost, kMost, kMost, kMost);
        child->SetMargin(Margin(kMost, kLeast, kMost, kLeast));
        child->Dock(docks[i % 6]);
    }
    parent.RecurseLayout(nullptr);
    const Rect inner = parent.GetInnerBounds();
    for (const int value : {inner.x, inner.y, inner.w, inner.h})
        EXPECT_LE(std::abs(value), 1'000'000);
}

using TreeShapeTest = test::CanvasTest<>;

TEST_F(TreeShapeTest, AControlNeverComesToHoldItself)
{
    const struct
    {
        const char* name;
        std::function<std::pair<Base*, Base*>()> make;
    } cases[] = {
        {"itself",
         [this]
         {
             auto* control = new Base(canvas);
             return std::pair<Base*, Base*>(control, control);
         }},
        {"its grandchild",
         [this]
         {
             auto* control = new Base(canvas);
             return std::pair<Base*, Base*>(control, new Base(new Base(control)));
         }},
        {"a control in its inner panel",
         [this]
         {
             auto* window = new Controls::WindowControl(canvas);
             return std::pair<Base*, Base*>(window, new Controls::Button(window));
         }},
        {"its own inner panel, into a control the panel holds",
         [this]
         {
             auto* window = new Controls::WindowControl(canvas);
             auto* button = new Controls::Button(window);
             return std::pair<Base*, Base*>(button->Holder(), button);
         }},
        {"a list box, into one of its rows",
         [this]
         {
             auto* list = new Controls::ListBox(canvas);
             return std::pair<Base*, Base*>(list, list->AddItem("row"));
         }},
        {"a canvas, into a control",
         [this] { return std::pair<Base*, Base*>(canvas, new Controls::Button(canvas)); }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const auto [control, parent] = c.make();
        Base* before = control->GetParent();
        control->SetParent(parent);
        EXPECT_EQ(control->GetParent(), before);
        EXPECT_FALSE(parent->IsChild(control));
        EXPECT_EQ(parent->GetCanvas(), canvas);
        canvas->RenderCanvas();
        MoveTo(5, 5);
        canvas->InputMouseWheel(120);
        canvas->RemoveAllChildren();
        canvas->ProcessDelayedDeletes();
    }
    // Elsewhere it goes.
    auto* first = new Base(canvas);
    auto* second = new Base(canvas);
    first->SetParent(second);
    EXPECT_TRUE(second->IsChild(first));
}

TEST_F(TreeShapeTest, AControlBeingDestroyedTakesNoChildren)
{
    struct Adopter : Event::Handler
    {
        void Adopt(Base* dying) { orphan->SetParent(dying); }
        Base* orphan = nullptr;
    } adopter;
    Base orphan(nullptr);
    adopter.orphan = &orphan;
    auto* dying = new Base(canvas);
    dying->OnDestroyed.Add(&adopter, &Adopter::Adopt);
    delete dying;
    EXPECT_EQ(orphan.GetParent(), nullptr);
}

TEST_F(TreeShapeTest, ControlsInAPanelThatLeftItsOwnerGoWithThePanel)
{
    using Controls::Ref;
    // Each case takes an owner's inner panel from it, with a control in the panel, then deletes the
    // owner; the control is in the panel's hands from then on.
    const struct
    {
        const char* name;
        std::function<Ref<Base>()> run;
    } cases[] = {
        {"a window's panel, moved to the canvas",
         [this]
         {
             auto* window = new Controls::WindowControl(canvas);
             const Ref<Base> held(new Controls::Button(window));
             held->Holder()->SetParent(canvas);
             delete window;
             return held;
         }},
        {"a window's panel, removed with the window's children after the window was queued",
         [this]
         {
             auto* window = new Controls::WindowControl(canvas);
             const Ref<Base> held(new Controls::Button(window));
             window->DelayedDelete();
             window->RemoveAllChildren();
             canvas->ProcessDelayedDeletes();
             return held;
         }},
        {"a list box's scroller, with the table in its panel, moved to the canvas",
         [this]
         {
             auto* list = new Controls::ListBox(canvas);
             list->AddItem("row");
             const Ref<Base> held(list->GetTable());
             list->Scroller()->SetParent(canvas);
             delete list;
             return held;
         }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const Ref<Base> held = c.run();
        canvas->RenderCanvas();
        if (Base* control = held.Get())
        {
            EXPECT_NE(control->GetParent(), nullptr);
            EXPECT_EQ(control->GetCanvas(), canvas);
        }
        canvas->RemoveAllChildren();
        canvas->ProcessDelayedDeletes();
        EXPECT_FALSE(held);
    }
}

} // namespace
} // namespace Gui::test
