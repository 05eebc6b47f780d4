#include "WidgetTest.h"

#include "widgets/Controls/Button.h"
#include "widgets/Controls/CheckBox.h"
#include "widgets/Controls/CheckBoxWithLabel.h"
#include "widgets/Controls/ImagePanel.h"
#include "widgets/Controls/Label.h"
#include "widgets/Controls/LabelClickable.h"
#include "widgets/Controls/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace Gui::test
{
namespace
{

using namespace Controls;
using Log = std::vector<std::string>;

// Writes down every event it is linked to, by name.
struct EventLog : Event::Handler
{
    void Press(Base*) { log.push_back("press"); }
    void Down(Base*) { log.push_back("down"); }
    void Up(Base*) { log.push_back("up"); }
    void DoubleClick(Base*) { log.push_back("double click"); }
    void Toggle(Base*) { log.push_back("toggle"); }
    void ToggleOn(Base*) { log.push_back("toggle on"); }
    void ToggleOff(Base*) { log.push_back("toggle off"); }
    void Checked(Base*) { log.push_back("checked"); }
    void UnChecked(Base*) { log.push_back("unchecked"); }
    void CheckChanged(Base*) { log.push_back("check changed"); }

    void Watch(Button* button)
    {
        button->onPress.Add(this, &EventLog::Press);
        button->onDown.Add(this, &EventLog::Down);
        button->onUp.Add(this, &EventLog::Up);
        button->onDoubleClick.Add(this, &EventLog::DoubleClick);
        button->onToggle.Add(this, &EventLog::Toggle);
        button->onToggleOn.Add(this, &EventLog::ToggleOn);
        button->onToggleOff.Add(this, &EventLog::ToggleOff);
    }
    void Watch(CheckBox* box)
    {
        Watch(static_cast<Button*>(box));
        box->onChecked.Add(this, &EventLog::Checked);
        box->onUnChecked.Add(this, &EventLog::UnChecked);
        box->onCheckChanged.Add(this, &EventLog::CheckChanged);
    }
    Log Take() { return std::exchange(log, {}); }

    Log log;
};

using LabelButtonTest = test::CanvasTest<>;

TEST_F(LabelButtonTest, NewControlsHaveTheirDefaults)
{
    auto* label = new Label(canvas);
    auto* button = new Button(canvas);
    auto* box = new CheckBox(canvas);
    auto* clickable = new LabelClickable(canvas);
    auto* labelled = new CheckBoxWithLabel(canvas);

    EXPECT_EQ(label->GetBounds(), Rect(0, 0, 100, 10));
    EXPECT_EQ(label->Alignment(), Pos::Left | Pos::Top);
    EXPECT_FALSE(label->GetMouseInputEnabled());

    EXPECT_EQ(button->GetBounds(), Rect(0, 0, 100, 20));
    EXPECT_EQ(button->Alignment(), Pos::Center);
    EXPECT_EQ(button->GetTextPadding(), Padding(3, 0, 3, 0));
    EXPECT_TRUE(button->GetMouseInputEnabled());
    EXPECT_FALSE(button->GetKeyboardInputEnabled());
    EXPECT_FALSE(button->IsTabable());
    EXPECT_FALSE(button->IsToggle());

    EXPECT_EQ(box->GetBounds(), Rect(0, 0, 13, 13));
    EXPECT_FALSE(box->IsChecked());
    EXPECT_EQ(clickable->Alignment(), Pos::Left | Pos::CenterV);

    EXPECT_EQ(labelled->GetBounds(), Rect(0, 0, 200, 19));
    EXPECT_EQ(labelled->Checkbox()->GetDock(), Pos::Left);
    EXPECT_EQ(labelled->Checkbox()->GetMargin(), Margin(0, 3, 3, 3));
    EXPECT_EQ(labelled->Label()->GetDock(), Pos::Fill);
    EXPECT_FALSE(labelled->IsTabable() || labelled->Checkbox()->IsTabable() ||
                 labelled->Label()->IsTabable());
}

TEST_F(LabelButtonTest, ButtonsFireTheirEventsInOrder)
{
    EventLog events;
    auto* button = new Button(canvas);
    button->SetBounds(0, 0, 100, 20);
    events.Watch(button);
    canvas->RenderCanvas();

    Click(10, 10);
    EXPECT_EQ(events.Take(), (Log{"down", "press", "up"}));
    // Released away from it: up, no press; the release reached it because it held the mouse.
    AdvanceClock(1.0);
    MoveTo(10, 10);
    canvas->InputMouseButton(0, true);
    MoveTo(300, 300);
    EXPECT_EQ(HoveredControl, button);
    EXPECT_EQ(MouseFocus, button);
    canvas->InputMouseButton(0, false);
    EXPECT_EQ(events.Take(), (Log{"down", "up"}));
    EXPECT_EQ(MouseFocus, nullptr);

    button->SetIsToggle(true);
    button->Press();
    EXPECT_EQ(events.Take(), (Log{"toggle", "toggle on", "press"}));
    button->Press();
    EXPECT_EQ(events.Take(), (Log{"toggle", "toggle off", "press"}));
    button->SetToggleState(false);
    EXPECT_TRUE(events.Take().empty());
}

TEST_F(LabelButtonTest, CheckBoxesToggleInsteadOfPressingAndTheirLabelTogglesThemOnce)
{
    EventLog events;
    auto* box = new CheckBox(canvas);
    events.Watch(box);
    box->Press();
    EXPECT_EQ(events.Take(), (Log{"checked", "check changed"}));
    box->Press();
    EXPECT_EQ(events.Take(), (Log{"unchecked", "check changed"}));

    auto* labelled = new CheckBoxWithLabel(canvas);
    labelled->SetPos(0, 100);
    labelled->Label()->SetText("Sound");
    events.Watch(labelled->Checkbox());
    canvas->RenderCanvas();
    Click(100, 110);
    EXPECT_EQ(events.Take(), (Log{"checked", "check changed"}));
    EXPECT_TRUE(labelled->Checkbox()->IsChecked());
    // Space toggles on the way down only.
    labelled->OnKeySpace(true);
    labelled->OnKeySpace(false);
    EXPECT_EQ(events.Take(), (Log{"unchecked", "check changed"}));
}

TEST_F(LabelButtonTest, LabelsPlaceTheirTextByAlignmentAndTheRendererAnchorsIt)
{
    // The skin's default font is 10 pixels high; the recording font's characters are 5 wide, so "abcd" is
    // 20 x 10 in a 100 x 30 label.
    const struct
    {
        int alignment;
        Padding textPadding;
        Point place;
        std::string drawn;
    } cases[] = {
        {Pos::Left | Pos::Top, Padding(), Point(0, 0), "text 0 0 2 abcd"},
        {Pos::Right, Padding(), Point(80, 0), "text 100 0 4 abcd"},
        {Pos::CenterH, Padding(), Point(40, 0), "text 50 0 64 abcd"},
        {Pos::CenterV, Padding(), Point(0, 10), "text 0 10 2 abcd"},
        {Pos::Bottom, Padding(), Point(0, 20), "text 0 20 2 abcd"},
        // CenterH after Right, Bottom after CenterV: the later flag wins the place.
        {Pos::Right | Pos::CenterH, Padding(), Point(40, 0), "text 60 0 4 abcd"},
        {Pos::CenterV | Pos::Bottom, Padding(), Point(0, 20), "text 0 20 2 abcd"},
        {Pos::Center, Padding(3, 0, 3, 0), Point(40, 10), "text 50 10 64 abcd"},
        {Pos::Center, Padding(4, 2, 0, 0), Point(44, 12), "text 54 12 64 abcd"},
    };
    for (const auto& c : cases)
    {
        auto* label = new Label(canvas);
        label->SetBounds(0, 0, 100, 30);
        label->SetText("abcd");
        label->SetAlignment(c.alignment);
        label->SetTextPadding(c.textPadding);
        Recorder().log.clear();
        canvas->RenderCanvas();
        EXPECT_EQ(Point(label->TextX(), label->TextY()), c.place) << c.alignment;
        EXPECT_EQ(Point(label->TextWidth(), label->TextHeight()), Point(20, 10));
        const Log& log = Recorder().log;
        EXPECT_NE(std::find(log.begin(), log.end(), c.drawn), log.end()) << c.drawn;
        delete label;
    }
}

TEST_F(LabelButtonTest, AnEmptyLabelsAlignmentReachesNoOtherText)
{
    auto* empty = new Label(canvas);
    empty->SetAlignment(Pos::Right);
    auto* text = new ControlsInternal::Text(canvas);
    text->SetPos(0, 50);
    text->SetString("x");
    canvas->RenderCanvas();
    const Log& log = Recorder().log;
    EXPECT_NE(std::find(log.begin(), log.end(), "text 0 50 2 x"), log.end());
    delete empty;
    canvas->RenderCanvas();
}

TEST_F(LabelButtonTest, TextSizesAtTheNextLayoutAndFindsCharacters)
{
    class CountingLabel : public Label
    {
    public:
        using Label::Label;
        void OnTextChanged() override { ++changes; }
        int changes = 0;
    };
    auto* label = new CountingLabel(canvas);
    label->SetText("abc");
    EXPECT_EQ(label->changes, 1);
    EXPECT_EQ(label->TextWidth(), 10);
    canvas->RenderCanvas();
    EXPECT_EQ(label->TextWidth(), 15);
    EXPECT_FALSE(canvas->NeedsRedraw());
    // The same text again: no event, no redraw.
    label->SetText("abc");
    EXPECT_EQ(label->changes, 1);
    EXPECT_FALSE(canvas->NeedsRedraw());
    label->SetText("abc  ", false);
    EXPECT_EQ(label->changes, 1);
    canvas->RenderCanvas();
    // Trailing spaces count.
    EXPECT_EQ(label->TextWidth(), 25);

    auto* text = new ControlsInternal::Text(canvas);
    text->SetString("abc");
    EXPECT_EQ(text->GetCharacterPosition(0), Point(1, 0));
    EXPECT_EQ(text->GetCharacterPosition(2), Point(10, 0));
    // Positions are x 1, 5, 10, 15. x 3 is as far from the first as from the second: the later wins.
    EXPECT_EQ(text->GetClosestCharacter(7, 0), 1);
    EXPECT_EQ(text->GetClosestCharacter(3, 0), 1);
    EXPECT_EQ(text->GetClosestCharacter(100, 0), 3);
    EXPECT_EQ(text->GetClosestCharacter(5000, 0), 0);
}

TEST_F(LabelButtonTest, ButtonImagesMoveTheTextAndMissingImagesDrawRed)
{
    auto* button = new Button(canvas);
    button->SetText("Go");
    button->SetImage(L"icon.png");
    // The recording back end loads images as 16 x 16; the text moves right of it.
    EXPECT_EQ(button->GetTextPadding().left, 16 + 4);
    button->SizeToContents();
    EXPECT_EQ(button->Height(), 20);
    button->SetImage(L"");
    EXPECT_EQ(button->GetTextPadding().left, 20);

    auto* panel = new ImagePanel(canvas);
    panel->SetBounds(200, 100, 30, 40);
    panel->SetImage(L"first.png");
    panel->SetImage(L"missing.png");
    Log& log = Recorder().log;
    const auto freed = std::find(log.begin(), log.end(), "free texture first.png");
    ASSERT_NE(freed, log.end());
    EXPECT_EQ(*std::next(freed), "load texture missing.png");
    panel->SizeToContents();
    EXPECT_EQ(Point(panel->Width(), panel->Height()), Point(16, 16));
    panel->SetSize(30, 40);
    Recorder().vertices.clear();
    canvas->RenderCanvas();
    const std::vector<DrawnRect> rects = DrawnRects(Recorder());
    EXPECT_NE(std::find(rects.begin(), rects.end(), DrawnRect{Rect(200, 100, 30, 40), 0xFFFF0000u}),
              rects.end());
}

TEST_F(LabelButtonTest, AnImagePanelFreesItsTextureWhereverItIsWhenItGoes)
{
    const struct
    {
        const char* name;
        std::function<void(Base* holder, ImagePanel* panel)> remove;
    } cases[] = {
        {"removed with all of its parent's children",
         [](Base* holder, ImagePanel*) { holder->RemoveAllChildren(); }},
        {"detached, then deleted",
         [](Base*, ImagePanel* panel)
         {
             panel->SetParent(nullptr);
             delete panel;
         }},
        {"deleted with its parent", [](Base* holder, ImagePanel*) { delete holder; }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto* holder = new Base(canvas);
        auto* panel = new ImagePanel(holder);
        panel->SetImage(L"picture.png");
        Log& log = Recorder().log;
        log.clear();
        c.remove(holder, panel);
        canvas->ProcessDelayedDeletes();
        EXPECT_EQ(std::count(log.begin(), log.end(), "free texture picture.png"), 1);
        canvas->RemoveAllChildren();
        canvas->ProcessDelayedDeletes();
    }
}

} // namespace
} // namespace Gui::test
