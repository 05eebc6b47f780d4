#include "UI/GuiHost.h"
#include "Core/MessageManager.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/Gameplay.h"
#include "GameObjects/Nameable.h"
#include "Input/Input.h"
#include "Platform/GlDeviceFixture.h"
#include "Script/LuaTestState.h"
#include "UI/GuiSerializer.h"
#include "UI/InspectorRows.h"
#include "support/RecordingGraphics.h"
#include "widgets/Controls/Button.h"
#include "widgets/Controls/Canvas.h"
#include "widgets/Controls/ListBox.h"
#include "widgets/Controls/OpenToggleButton.h"
#include "widgets/Controls/ScrollControl.h"
#include "widgets/Controls/Slider.h"
#include "widgets/Controls/Table.h"
#include "widgets/Controls/TreeControl.h"
#include "widgets/Input.h"
#include "widgets/WidgetTest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace Quarn
{
namespace
{

class GuiHostTest : public test::RecordingGameTest
{
protected:
    GuiHostTest()
    {
        test::RecordingGraphics::WriteModelEffect(m_folder);
        StartGame();
        Gui::Input::Reset();
    }

    GuiHost& Host() { return m_graphics->GetGuiHost(); }
};

TEST_F(GuiHostTest, OnlyTheActiveCanvasIsDrawnSizedAndFed)
{
    GuiHost& host = Host();
    EXPECT_EQ(GuiHost::Current(), &host);
    EXPECT_FALSE(host.HasCanvas());
    EXPECT_FALSE(host.Bridge().MousePressed(MOUSE_Left));
    EXPECT_FALSE(host.Bridge().KeyPressed('A', 0));

    Gui::Controls::Canvas* first = host.CreateCanvas(host.GetSkin());
    Gui::Controls::Canvas* second = host.CreateCanvas(host.GetSkin());
    EXPECT_EQ(static_cast<std::uint32_t*>(first->GetUserData())[2], 0xDEADBEAFu);
    EXPECT_FALSE(host.HasCanvas());
    host.SetCanvas(first);
    EXPECT_EQ(first->GetBounds(), Gui::Rect(0, 0, 800, 600));
    m_systems->GetMessageManager().SendMessage("WindowResized", 640u, 480u);
    EXPECT_EQ(first->GetBounds(), Gui::Rect(0, 0, 640, 480));
    EXPECT_EQ(second->GetBounds(), Gui::Rect(0, 0, 10000, 10000));
    host.SetCanvas(second);
    EXPECT_EQ(second->GetBounds(), Gui::Rect(0, 0, 640, 480));

    // A deleted canvas stops being the active one; the host deletes the others when it goes.
    delete second;
    EXPECT_EQ(host.GetCanvas(), nullptr);
    host.SetCanvas(first);
    host.HideCanvas();
    EXPECT_FALSE(host.HasCanvas());
}

TEST_F(GuiHostTest, PadNavigationMovesTheHoverOntoSliderGripsAndListRows)
{
    GuiHost& host = Host();
    Gui::Controls::Canvas* canvas = host.CreateCanvas(host.GetSkin());
    host.SetCanvas(canvas);
    auto* slider = new Gui::Controls::HorizontalSlider(canvas);
    GuiHost::SetHoveredControl(slider);
    EXPECT_EQ(Gui::HoveredControl, slider->Bar());
    EXPECT_EQ(Gui::KeyboardFocus, slider->Bar());
    GuiHost::Right(slider);
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.1f);
    GuiHost::Left(slider->Bar());
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.1f) << "the grip is no slider";
    GuiHost::SetHoveredControl(nullptr);
    EXPECT_EQ(Gui::HoveredControl, nullptr);

    auto* list = new Gui::Controls::ListBox(canvas);
    list->SetBounds(0, 100, 100, 40);
    EXPECT_FALSE(GuiHost::NextRow(list)) << "no rows";
    EXPECT_FALSE(GuiHost::NextRow(slider)) << "no list";
    std::vector<ListBoxRow*> rows;
    for (const char* label : {"a", "b", "c", "d"})
        rows.push_back(list->AddItem(label));
    const struct
    {
        bool next;
        bool moved;
        ListBoxRow* hovered;
        float scrolled;
    } steps[] = {
        {false, true, rows[3], 1.0f},        // none hovered: PrevRow goes to the last, 3 / 3
        {true, false, rows[3], 1.0f},        // NextRow from the last: nowhere
        {false, true, rows[2], 2.0f / 3.0f}, // 2 / 3
        {true, true, rows[3], 3.0f / 4.0f},  // NextRow divides by the count: 3 / 4
    };
    for (const auto& step : steps)
    {
        EXPECT_EQ(step.next ? GuiHost::NextRow(list) : GuiHost::PrevRow(list), step.moved);
        EXPECT_EQ(Gui::HoveredControl, step.hovered);
        EXPECT_FLOAT_EQ(list->Scroller()->VerticalBar()->GetScrolledAmount(), step.scrolled);
    }
    GuiHost::Press(rows[1]);
    EXPECT_EQ(list->GetSelectedRow(), rows[1]);

    // One row: from no row NextRow scrolls to 0 / 1; PrevRow's 0 / 0 scrolls nothing.
    auto* single = new Gui::Controls::ListBox(canvas);
    ListBoxRow* only = single->AddItem("only");
    GuiHost::SetHoveredControl(nullptr);
    single->Scroller()->VerticalBar()->SetScrolledAmount(0.5f, true);
    EXPECT_TRUE(GuiHost::PrevRow(single));
    EXPECT_EQ(Gui::HoveredControl, only);
    EXPECT_FLOAT_EQ(single->Scroller()->VerticalBar()->GetScrolledAmount(), 0.5f);
    GuiHost::SetHoveredControl(nullptr);
    EXPECT_TRUE(GuiHost::NextRow(single));
    EXPECT_FLOAT_EQ(single->Scroller()->VerticalBar()->GetScrolledAmount(), 0.0f);

    Gui::test::EventCounter counter;
    auto* button = new Gui::Controls::Button(canvas);
    button->onPress.Add(&counter, &Gui::test::EventCounter::Count);
    GuiHost::Press(button);
    GuiHost::Press(slider);
    EXPECT_EQ(counter.count, 1);
    // The engine reports no pointer moves: a click presses the control pad navigation hovered.
    GuiHost::SetHoveredControl(button);
    EXPECT_TRUE(host.Bridge().MousePressed(MOUSE_Left));
    EXPECT_TRUE(host.Bridge().MouseReleased(MOUSE_Left));
    EXPECT_EQ(counter.count, 2);
}

// A warm reset empties the Input system's listeners and brings a new Lua state; the resources' start
// that follows registers the bridge again and publishes the scripts' globals in the new state.
TEST_F(GuiHostTest, AfterAWarmResetTheBridgeTakesInputAndTheGlobalsAreThere)
{
    GuiHost& host = Host();
    Input input;
    m_systems->AddSystem("Input", &input);
    test::LuaTestState lua;
    input.WarmReset();
    m_graphics->WarmReset();
    m_graphics->InitResources(m_systems->GetResourceManager());

    Gui::Controls::Canvas* canvas = host.CreateCanvas(host.GetSkin());
    host.SetCanvas(canvas);
    auto* button = new Gui::Controls::Button(canvas);
    GuiHost::SetHoveredControl(button);
    EXPECT_TRUE(input.InterceptMouse(MOUSE_Left, KEY_Pressed));
    EXPECT_TRUE(input.InterceptMouse(MOUSE_Left, KEY_Released));

    EXPECT_EQ(lua.Run("assert(OR(Pos.Left, Pos.Top) == 10)\n"
                      "assert(Pos.None == 0 and Pos.Fill == 128 and Pos.Center == 96 and Pos.CenterH == 64)"),
              "");
    m_systems->GetSystem("Input") = nullptr;
}

// Counts the wheel steps that reach it.
class WheelCounter : public Gui::Controls::Base
{
public:
    using Base::Base;
    bool OnMouseWheeled(int) override
    {
        ++steps;
        return true;
    }
    int steps = 0;
};

// A script that saved Input's "FreshState" with the bridge in it brings the bridge back at each warm
// reset; the host registers it only when Input's listeners lack it, so each event reaches the canvas once.
TEST_F(GuiHostTest, TheBridgeIsInInputsListenersOnceAfterWarmResets)
{
    GuiHost& host = Host();
    Input input;
    m_systems->AddSystem("Input", &input);
    host.InitResources();
    const auto counts = [&input]
    {
        const InputListeners& listeners = input.GetListeners();
        return std::vector<std::size_t>{listeners.mousePressedInterceptors.size(),
                                        listeners.mouseReleasedInterceptors.size(),
                                        listeners.mouseWheel.size(),
                                        listeners.keyPressedInterceptors.size(),
                                        listeners.keyReleasedInterceptors.size(),
                                        listeners.characterInterceptors.size(),
                                        listeners.thumbChanges[STICK_Left].size()};
    };
    const std::vector<std::size_t> once(7, 1);
    EXPECT_EQ(counts(), once);
    input.SaveState("FreshState");
    for (int reset = 0; reset < 2; ++reset)
    {
        input.WarmReset();
        m_graphics->WarmReset();
        m_graphics->InitResources(m_systems->GetResourceManager());
        EXPECT_EQ(counts(), once) << "after warm reset " << reset + 1;
    }

    Gui::Controls::Canvas* canvas = host.CreateCanvas(host.GetSkin());
    host.SetCanvas(canvas);
    auto* wheel = new WheelCounter(canvas);
    GuiHost::SetHoveredControl(wheel);
    input.SendMouseWheel(120.0f);
    EXPECT_EQ(wheel->steps, 1);
    m_systems->GetSystem("Input") = nullptr;
}

// The canvas follows the back buffer whichever way its size changes.
TEST_F(GuiHostTest, TheActiveCanvasFollowsEveryChangeOfTheBackBufferSize)
{
    GuiHost& host = Host();
    Gui::Controls::Canvas* canvas = host.CreateCanvas(host.GetSkin());
    host.SetCanvas(canvas);
    const struct
    {
        const char* change;
        std::function<void()> make;
        Gui::Rect bounds;
    } changes[] = {
        {"window resized",
         [this] { m_systems->GetMessageManager().SendMessage("WindowResized", 640u, 480u); },
         Gui::Rect(0, 0, 640, 480)},
        {"size refreshed",
         [this] { m_systems->GetMessageManager().SendMessage("WindowSizeRefreshed", 320u, 200u); },
         Gui::Rect(0, 0, 320, 200)},
        {"new resolution", [this] { m_graphics->SetResolution(1024, 768); }, Gui::Rect(0, 0, 1024, 768)},
    };
    for (const auto& change : changes)
    {
        change.make();
        EXPECT_EQ(canvas->GetBounds(), change.bounds) << change.change;
    }
}

// Hovering runs the controls' hover events: the control losing the hover may delete the one about to get
// it (a script's handler on its hover-leave event deleting a list, say).
TEST_F(GuiHostTest, PadNavigationStopsWhenAHoverEventDeletesItsTarget)
{
    GuiHost& host = Host();
    Gui::Controls::Canvas* canvas = host.CreateCanvas(host.GetSkin());
    host.SetCanvas(canvas);
    struct Deleter : Gui::Event::Handler
    {
        void Delete(Gui::Controls::Base*) { delete victim; }
        Gui::Controls::Base* victim = nullptr;
    } deleter;
    auto* left = new Gui::Controls::Button(canvas);
    left->OnHoverLeave.Add(&deleter, &Deleter::Delete);

    auto* list = new Gui::Controls::ListBox(canvas);
    list->AddItem("a");
    list->AddItem("b");
    GuiHost::SetHoveredControl(left);
    deleter.victim = list;
    EXPECT_TRUE(GuiHost::NextRow(list));
    EXPECT_EQ(Gui::HoveredControl, left);

    deleter.victim = new Gui::Controls::HorizontalSlider(canvas);
    GuiHost::SetHoveredControl(deleter.victim);
    EXPECT_EQ(Gui::HoveredControl, left);
}

// A script may delete a list box's scroller or its bar, before pad navigation or from a row's hover
// event: the hover moves to the row while there is one, and the list scrolls only with its bar.
TEST_F(GuiHostTest, PadNavigationInAListWithoutItsScrollerOrBarMovesOnlyTheHover)
{
    GuiHost& host = Host();
    Gui::Controls::Canvas* canvas = host.CreateCanvas(host.GetSkin());
    host.SetCanvas(canvas);
    struct Deleter : Gui::Event::Handler
    {
        void Delete(Gui::Controls::Base*) { delete victim.Get(); }
        Gui::Controls::Ref<Gui::Controls::Base> victim;
    };
    const struct
    {
        const char* gone;
        bool scroller;
        bool onHover;
        bool moved;
        bool hovered;
    } cases[] = {
        {"the bar", false, false, true, true},
        {"the bar, from the row's hover event", false, true, true, true},
        {"the scroller (and the rows in it)", true, false, false, false},
        {"the scroller (and the rows in it), from the row's hover event", true, true, true, false},
    };
    for (const auto& c : cases)
    {
        GuiHost::SetHoveredControl(nullptr);
        auto* list = new Gui::Controls::ListBox(canvas);
        ListBoxRow* first = list->AddItem("a");
        list->AddItem("b");
        Gui::Controls::Base* victim = c.scroller ? static_cast<Gui::Controls::Base*>(list->Scroller())
                                                 : list->Scroller()->VerticalBar();
        Deleter deleter;
        if (c.onHover)
        {
            deleter.victim = victim;
            first->OnHoverEnter.Add(&deleter, &Deleter::Delete);
        }
        else
            delete victim;
        EXPECT_EQ(GuiHost::NextRow(list), c.moved) << c.gone;
        EXPECT_EQ(Gui::HoveredControl, c.hovered ? first : nullptr) << c.gone;
        EXPECT_EQ(GuiHost::PrevRow(list), false) << c.gone;
        delete list;
    }
}

// A script may remove a component and add another of its type between two refreshes of an inspector:
// the rows made for the first neither show nor write the second (they keep their last text), and an
// inspector opened afterwards shows the second.
TEST_F(GuiHostTest, InspectorRowsStayWithTheComponentTheyWereMadeFor)
{
    GuiHost& host = Host();
    Gameplay::RegisterComponentTypes();
    Gui::Controls::Canvas* canvas = host.CreateCanvas(host.GetSkin());
    host.SetCanvas(canvas);
    const struct
    {
        const char* change;
        bool removeFirst;
    } changes[] = {{"removed, then another added", true}, {"replaced by another", false}};
    for (const auto& change : changes)
    {
        SCOPED_TRACE(change.change);
        GameObjectManager& objects = m_systems->GetGameObjectManager();
        GameObject* object = objects.CreateIntern(new GameObject());
        const auto name = [object](const char* text)
        {
            auto* nameable = new Nameable();
            nameable->Name = text;
            object->SetComponent(Nameable::TypeId(), nameable, Nameable::kTypeName);
        };
        name("first");
        GuiSerializer* inspector = host.Tweak(object->GetHandle(), canvas);
        Gui::Controls::TextBox* box = test::RowBox(inspector->Tree(), L"Name");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->GetText(), L"first");
        object->Get<Nameable>()->Name = "shown";
        host.Update(1.0f);
        EXPECT_EQ(box->GetText(), L"shown") << "the rows follow their own component";

        if (change.removeFirst)
            object->SetComponent(Nameable::TypeId(), nullptr, Nameable::kTypeName);
        name("second");
        host.Update(1.0f);
        EXPECT_EQ(box->GetText(), L"shown");
        box->SetText(L"typed", true);
        EXPECT_EQ(object->Get<Nameable>()->Name, "second");
        host.Update(1.0f);
        EXPECT_EQ(box->GetText(), L"typed");

        GuiSerializer* again = host.Tweak(object->GetHandle(), canvas);
        Gui::Controls::TextBox* fresh = test::RowBox(again->Tree(), L"Name");
        ASSERT_NE(fresh, nullptr);
        EXPECT_EQ(fresh->GetText(), L"second");
        host.StopTweak(again);
        host.StopTweak(inspector);
        objects.Destroy(object->GetHandle());
        objects.FrameEnd();
    }
}

// Expanding opens sections, which runs their toggle buttons' events; a script's handler there may close
// the inspector being expanded.
TEST_F(GuiHostTest, AnInspectorClosedByTheToggleEventsOfItsOwnExpandIsLeftAlone)
{
    GuiHost& host = Host();
    Gameplay::RegisterComponentTypes();
    Gui::Controls::Canvas* canvas = host.CreateCanvas(host.GetSkin());
    host.SetCanvas(canvas);
    GameObject* object = m_systems->GetGameObjectManager().CreateIntern(new GameObject());
    object->SetComponent(Nameable::TypeId(), new Nameable(), Nameable::kTypeName);
    GuiSerializer* inspector = host.Tweak(object->GetHandle(), canvas);
    auto* first = dynamic_cast<Gui::Controls::TreeNode*>(inspector->Tree()->GetChildren().front());
    ASSERT_NE(first, nullptr);
    first->Close();
    struct Closer : Gui::Event::Handler
    {
        void Close(Gui::Controls::Base*) { host->StopTweak(inspector); }
        GuiHost* host = nullptr;
        GuiSerializer* inspector = nullptr;
    } closer;
    closer.host = &host;
    closer.inspector = inspector;
    first->ToggleButton()->onToggle.Add(&closer, &Closer::Close);
    const Gui::Controls::Ref<Gui::Controls::Base> window = inspector->Window();
    inspector->Expand();
    canvas->ProcessDelayedDeletes();
    EXPECT_FALSE(window) << "closed";
}

TEST_F(GuiHostTest, AWarmResetTakesTheScriptsWidgetsAway)
{
    GuiHost& host = Host();
    Gui::test::EventCounter counter;
    Gui::Controls::Canvas* canvas = host.CreateCanvas(host.GetSkin());
    host.SetCanvas(canvas);
    canvas->OnDestroyed.Add(&counter, &Gui::test::EventCounter::Count);
    auto* orphan = new Gui::Controls::Button(nullptr);
    host.AdoptOrphan(orphan);
    orphan->OnDestroyed.Add(&counter, &Gui::test::EventCounter::Count);
    m_graphics->WarmReset();
    EXPECT_EQ(counter.count, 2);
    EXPECT_EQ(host.GetCanvas(), nullptr);
    EXPECT_NE(host.GetSkin()->GetRender(), nullptr);
}

// A lost device takes the renderer and its fonts; the reset brings a new one that draws the same.
class GuiHostDeviceTest : public platform::gfx::test::GlDeviceFixture
{
protected:
    GuiHostDeviceTest() : GlDeviceFixture(160, 60) {}

    std::vector<std::uint32_t> Frame(GuiHost& host)
    {
        m_device->BeginScene();
        m_device->Clear({}, platform::gfx::kClearTarget, 0xFF000000u, 1.0f, 0);
        host.RenderCanvas();
        m_device->EndScene();
        std::vector<std::uint32_t> pixels;
        EXPECT_TRUE(m_device->ReadSurface(*m_device->GetBackBuffer(), pixels).Succeeded());
        return pixels;
    }
};

TEST_F(GuiHostDeviceTest, TheResetDeviceDrawsTheSamePictureAsBeforeTheLoss)
{
    ASSERT_TRUE(m_device) << m_error;
    GuiHost host;
    host.Init(m_device.get(), 160, 60);
    Gui::Controls::Canvas* canvas = host.CreateCanvas(host.GetSkin());
    host.SetCanvas(canvas);
    auto* button = new Gui::Controls::Button(canvas);
    button->SetBounds(10, 10, 100, 24);
    button->SetText("Resume");
    Frame(host);
    const std::vector<std::uint32_t> before = Frame(host);
    host.OnLostDevice();
    EXPECT_FALSE(host.HasCanvas());
    EXPECT_EQ(host.GetSkin()->GetRender(), nullptr);
    host.OnResetDevice(m_device.get());
    EXPECT_TRUE(host.HasCanvas());
    Frame(host);
    EXPECT_EQ(Frame(host), before);
}

} // namespace
} // namespace Quarn
