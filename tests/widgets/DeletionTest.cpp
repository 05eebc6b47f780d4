#include "WidgetTest.h"

#include "UI/Skin/BWSkin.h"
#include "widgets/Controls/Button.h"
#include "widgets/Controls/CheckBox.h"
#include "widgets/Controls/CheckBoxWithLabel.h"
#include "widgets/Controls/ImagePanel.h"
#include "widgets/Controls/Label.h"
#include "widgets/Controls/LabelClickable.h"
#include "widgets/Controls/ListBox.h"
#include "widgets/Controls/OpenToggleButton.h"
#include "widgets/Controls/Properties.h"
#include "widgets/Controls/Property.h"
#include "widgets/Controls/ScrollControl.h"
#include "widgets/Controls/Slider.h"
#include "widgets/Controls/Table.h"
#include "widgets/Controls/TextBox.h"
#include "widgets/Controls/TreeControl.h"
#include "widgets/Controls/WindowControl.h"
#include "widgets/DragAndDrop.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace Gui::test
{
namespace
{

using namespace Controls;

// Takes any package dropped on it.
class Accepting : public Base
{
public:
    using Base::Base;
    bool DragAndDrop_CanAcceptPackage(DragAndDrop::Package*) override { return true; }
};

// Controls deleted where a script can delete them: the parts of composite controls (and the controls
// others name), and controls inside their own events. The sanitizers turn any use of a deleted control
// into a failure.
class DeletionTest : public test::CanvasTest<Quarn::BWSkin>
{
protected:
    // A frame; the pointer over a grid with a wheel turn, a press, a small drag and a release at each
    // point; every key held long enough to repeat; a character and the clipboard accelerators; a frame.
    void Exercise()
    {
        canvas->RenderCanvas();
        for (int y = 4; y < 240; y += 12)
            for (int x = 4; x < 420; x += 12)
            {
                MoveTo(x, y);
                canvas->InputMouseWheel(-120);
                canvas->InputMouseButton(0, true);
                MoveTo(x + 9, y + 5);
                canvas->InputMouseButton(0, false);
            }
        for (int key = Key::Return; key <= Key::Escape; ++key)
        {
            canvas->InputKey(key, true);
            Think(0.4);
            canvas->InputKey(key, false);
        }
        canvas->InputCharacter(L'a');
        canvas->InputKey(Key::Control, true);
        for (const wchar_t character : std::wstring(L"acxv"))
            canvas->InputCharacter(character);
        canvas->InputKey(Key::Control, false);
        canvas->RenderCanvas();
    }

    // Deletes the part at the next safe point, which comes at once.
    void DeleteLater(Base* part)
    {
        ASSERT_NE(part, nullptr);
        part->DelayedDelete();
        canvas->ProcessDelayedDeletes();
    }

    ListBox* MakeList()
    {
        auto* list = new ListBox(canvas);
        list->SetBounds(10, 10, 200, 150);
        list->SetKeyboardInputEnabled(true);
        list->Focus();
        return list;
    }

    ScrollControl* MakeScroller()
    {
        auto* scroller = new ScrollControl(canvas);
        scroller->SetBounds(10, 10, 100, 100);
        (new Base(scroller))->SetSize(50, 400);
        canvas->RenderCanvas();
        return scroller;
    }

    WindowControl* MakeWindow()
    {
        auto* window = new WindowControl(canvas);
        window->SetBounds(10, 10, 200, 150);
        canvas->RenderCanvas();
        return window;
    }

    PropertyRow* MakeRow(Properties*& grid)
    {
        grid = new Properties(canvas);
        grid->SetBounds(10, 10, 200, 100);
        PropertyRow* row = grid->Add(L"name", L"value");
        canvas->RenderCanvas();
        return row;
    }
};

TEST_F(DeletionTest, APartDeletedByAScriptIsMissingAndNothingReachesIt)
{
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"a label's text",
         [this]
         {
             auto* label = new Label(canvas);
             label->SetBounds(10, 10, 100, 20);
             label->SetText("abc");
             canvas->RenderCanvas();
             label->RemoveAllChildren();
             canvas->ProcessDelayedDeletes();
             label->SetText("x");
             label->SizeToContents();
             label->SetFont(skin.GetDefaultFont());
             label->SetTextColor(Color(1, 2, 3));
             EXPECT_EQ(label->GetText(), L"");
             EXPECT_EQ(label->TextWidth(), 0);
             EXPECT_EQ(label->GetFont(), nullptr);
             EXPECT_EQ(label->GetCharacterPosition(2), Point());
         }},
        {"a text box's text",
         [this]
         {
             auto* box = new TextBox(canvas);
             box->SetBounds(10, 10, 200, 20);
             box->SetText("abcd");
             box->Focus();
             canvas->RenderCanvas();
             box->OnSelectAll();
             box->RemoveAllChildren();
             canvas->ProcessDelayedDeletes();
             box->InsertText(L"x");
             box->OnCopy();
             box->OnCut();
             box->OnKeyBackspace(true);
             box->DeleteText(1, 2);
             EXPECT_EQ(box->GetText(), L"");
         }},
        {"a button's image",
         [this]
         {
             auto* button = new Button(canvas);
             button->SetBounds(10, 10, 100, 30);
             button->SetImage(L"icon.png");
             ImagePanel* image = nullptr;
             for (Base* child : button->OwnChildren())
                 if (auto* panel = dynamic_cast<ImagePanel*>(child))
                     image = panel;
             DeleteLater(image);
             button->SizeToContents();
             canvas->RenderCanvas();
             button->SetImage(L"other.png");
             button->SetImage(L"");
         }},
        {"a labelled check box's box",
         [this]
         {
             auto* labelled = new CheckBoxWithLabel(canvas);
             labelled->SetPos(10, 10);
             labelled->Label()->SetText("Sound");
             DeleteLater(labelled->Checkbox());
             EXPECT_EQ(labelled->Checkbox(), nullptr);
             labelled->OnKeySpace(true);
             labelled->Label()->Press();
         }},
        {"a labelled check box's label",
         [this]
         {
             auto* labelled = new CheckBoxWithLabel(canvas);
             labelled->SetPos(10, 10);
             DeleteLater(labelled->Label());
             EXPECT_EQ(labelled->Label(), nullptr);
             labelled->OnKeySpace(true);
             EXPECT_TRUE(labelled->Checkbox()->IsChecked());
         }},
        {"a tree node's title",
         [this]
         {
             auto* node = new TreeNode(canvas);
             node->SetBounds(10, 10, 200, 100);
             node->SetText("root");
             node->AddNode("leaf");
             canvas->RenderCanvas();
             DeleteLater(node->GetButton());
             node->SetText("again");
             node->ExpandAll();
             node->Close();
         }},
        {"a tree node's toggle",
         [this]
         {
             auto* node = new TreeNode(canvas);
             node->SetBounds(10, 10, 200, 100);
             node->AddNode("leaf");
             canvas->RenderCanvas();
             DeleteLater(node->ToggleButton());
             node->Open();
             node->Close();
             node->ExpandAll();
             node->OnDoubleClickName(nullptr);
             node->OnToggleButtonPress(nullptr);
         }},
        {"a tree's scroller",
         [this]
         {
             auto* tree = new TreeControl(canvas);
             tree->SetBounds(10, 10, 200, 150);
             tree->AddNode("a")->AddNode("b");
             canvas->RenderCanvas();
             DeleteLater(tree->Scroller());
             tree->AddNode("c");
             tree->ExpandAll();
             tree->Clear();
             tree->DeselectAll();
         }},
        {"a property row's editor",
         [this]
         {
             Properties* grid = nullptr;
             PropertyRow* row = MakeRow(grid);
             DeleteLater(row->GetProperty());
             EXPECT_EQ(row->GetProperty(), nullptr);
         }},
        {"a text property's box",
         [this]
         {
             Properties* grid = nullptr;
             auto* text = dynamic_cast<Property::Text*>(MakeRow(grid)->GetProperty());
             ASSERT_NE(text, nullptr);
             text->Box()->Focus();
             canvas->RenderCanvas();
             DeleteLater(text->Box());
             text->SetPropertyValue(L"x", true);
             EXPECT_EQ(text->GetPropertyValue(), L"");
             EXPECT_FALSE(text->IsEditing());
         }},
        {"a property row's label",
         [this]
         {
             Properties* grid = nullptr;
             DeleteLater(MakeRow(grid)->GetLabel());
             grid->InvalidateChildren();
         }},
        {"a property grid's splitter",
         [this]
         {
             Properties* grid = nullptr;
             MakeRow(grid);
             DeleteLater(grid->Splitter());
             EXPECT_NE(grid->Add(L"more", L"1"), nullptr);
             EXPECT_EQ(grid->GetSplitWidth(), 0);
         }},
        {"a list box's content, cleared through its scroller",
         [this]
         {
             ListBox* list = MakeList();
             list->AddItem("a");
             canvas->RenderCanvas();
             list->Scroller()->Clear();
             canvas->ProcessDelayedDeletes();
             EXPECT_EQ(list->AddItem("x"), nullptr);
             list->Clear();
             list->SetColumnCount(2);
         }},
        {"a list box's scroller",
         [this]
         {
             ListBox* list = MakeList();
             list->AddItem("a");
             DeleteLater(list->Scroller());
             EXPECT_EQ(list->AddItem("x"), nullptr);
             list->SetSize(150, 100);
         }},
        {"a list box's selected row",
         [this]
         {
             ListBox* list = MakeList();
             ListBoxRow* first = list->AddItem("a");
             list->AddItem("b");
             canvas->RenderCanvas();
             first->OnMouseClickLeft(0, 0, true);
             ASSERT_EQ(list->GetSelectedRow(), first);
             DeleteLater(first);
             EXPECT_EQ(list->GetSelectedRow(), nullptr);
             EXPECT_TRUE(list->GetSelectedRows().empty());
             list->UnselectAll();
             list->OnKeyDown(true);
             list->OnKeyUp(true);
         }},
        {"a list box's table",
         [this]
         {
             ListBox* list = MakeList();
             list->AddItem("a");
             DeleteLater(list->GetTable());
             EXPECT_EQ(list->AddItem("b"), nullptr);
             list->Clear();
             list->SetColumnCount(3);
             list->OnKeyDown(true);
         }},
        {"a list row's cell",
         [this]
         {
             ListBox* list = MakeList();
             ListBoxRow* row = list->AddItem("a");
             list->SetColumnCount(2);
             canvas->RenderCanvas();
             DeleteLater(row->GetCellContents(0));
             row->SetTextColor(Color(1, 2, 3));
             row->SizeToContents();
             row->SetCellText(0, L"x");
             EXPECT_EQ(row->GetText(0), L"");
         }},
        {"a scroll control's bars and panel, removed with all its children",
         [this]
         {
             ScrollControl* scroller = MakeScroller();
             scroller->RemoveAllChildren();
             canvas->ProcessDelayedDeletes();
             EXPECT_FALSE(scroller->OnMouseWheeled(120));
             scroller->UpdateScrollBars();
             scroller->ScrollToBottom();
             scroller->ScrollToRight();
             scroller->SetScroll(true, true);
             scroller->SetInnerSize(10, 10);
             scroller->Clear();
         }},
        {"a scroll bar's grip",
         [this]
         {
             ScrollControl* scroller = MakeScroller();
             VerticalScrollBar* bar = scroller->VerticalBar();
             DeleteLater(bar->Bar());
             EXPECT_TRUE(scroller->OnMouseWheeled(-120));
             EXPECT_GT(bar->GetScrolledAmount(), 0.0f);
             bar->OnMouseClickLeft(105, 80, true);
             bar->OnMouseClickLeft(105, 80, false);
             bar->ScrollToBottom();
             EXPECT_EQ(bar->GetBarSize(), 0);
         }},
        {"a scroll bar's arrow buttons",
         [this]
         {
             VerticalScrollBar* bar = MakeScroller()->VerticalBar();
             DeleteLater(bar->ScrollButton(0));
             DeleteLater(bar->ScrollButton(1));
             bar->Invalidate();
         }},
        {"a window's title bar",
         [this]
         {
             WindowControl* window = MakeWindow();
             DeleteLater(window->TitleBar());
             EXPECT_EQ(window->Title(), nullptr);
             window->SetTitle(L"gone");
             window->SetClosable(false);
         }},
        {"a window's close button",
         [this]
         {
             WindowControl* window = MakeWindow();
             DeleteLater(window->CloseButton());
             window->SetClosable(true);
             window->CloseButtonPressed();
         }},
        {"a window's modal layer",
         [this]
         {
             WindowControl* window = MakeWindow();
             window->MakeModal();
             Base* layer = window->ModalLayer();
             ASSERT_NE(layer, nullptr);
             window->SetParent(canvas);
             DeleteLater(layer);
             EXPECT_EQ(window->ModalLayer(), nullptr);
             window->MakeModal();
             ASSERT_NE(window->ModalLayer(), nullptr);
             window->SetParent(canvas);
             // Its second layer goes with it.
             delete window;
         }},
        {"the window a title bar drags",
         [this]
         {
             WindowControl* window = MakeWindow();
             Base* titleBar = window->TitleBar();
             titleBar->SetParent(canvas);
             titleBar->SetBounds(300, 10, 100, 18);
             canvas->RenderCanvas();
             MoveTo(310, 15);
             canvas->InputMouseButton(0, true);
             delete window;
             MoveTo(340, 40);
             canvas->InputMouseButton(0, false);
         }},
        {"a slider's grip",
         [this]
         {
             auto* slider = new HorizontalSlider(canvas);
             slider->SetBounds(10, 10, 200, 20);
             canvas->RenderCanvas();
             DeleteLater(slider->Bar());
             slider->SetValue(0.5f);
             EXPECT_FLOAT_EQ(slider->GetValue(), 0.5f);
             slider->OnKeyRight(true);
             slider->OnMouseClickLeft(100, 15, true);
             slider->Focus();
         }},
        {"the canvas's next tab stop",
         [this]
         {
             auto* first = new TextBox(canvas);
             first->SetPos(10, 10);
             auto* second = new TextBox(canvas);
             second->SetPos(10, 40);
             first->Focus();
             canvas->RenderCanvas();
             // After the layout that made it the next tab stop.
             delete second;
             EXPECT_TRUE(canvas->InputKey(Key::Tab, true));
             canvas->InputKey(Key::Tab, false);
         }},
        {"a tool-tip's label",
         [this]
         {
             auto* owner = new Base(canvas);
             owner->SetBounds(10, 10, 50, 50);
             owner->SetToolTip("tip");
             MoveTo(20, 20);
             ASSERT_EQ(ToolTip::Owner(), owner);
             DeleteLater(owner->GetToolTip());
             EXPECT_EQ(owner->GetToolTip(), nullptr);
             canvas->RenderCanvas();
         }},
        {"the control whose tool-tip shows",
         [this]
         {
             auto* owner = new Base(canvas);
             owner->SetBounds(10, 10, 50, 50);
             owner->SetToolTip("tip");
             MoveTo(20, 20);
             delete owner;
             EXPECT_EQ(ToolTip::Owner(), nullptr);
             canvas->RenderCanvas();
         }},
        {"the source of a drag",
         [this]
         {
             auto* source = new Base(canvas);
             source->SetBounds(10, 10, 40, 40);
             source->DragAndDrop_SetPackage(true, "package");
             (new Accepting(canvas))->SetBounds(100, 10, 60, 60);
             MoveTo(20, 20);
             canvas->InputMouseButton(0, true);
             MoveTo(120, 30);
             ASSERT_NE(DragAndDrop::CurrentPackage(), nullptr);
             delete source;
             EXPECT_EQ(DragAndDrop::CurrentPackage(), nullptr);
             MoveTo(130, 30);
             canvas->RenderCanvas();
             canvas->InputMouseButton(0, false);
         }},
        {"the target of a drag",
         [this]
         {
             auto* source = new Base(canvas);
             source->SetBounds(10, 10, 40, 40);
             source->DragAndDrop_SetPackage(true, "package");
             auto* target = new Accepting(canvas);
             target->SetBounds(100, 10, 60, 60);
             MoveTo(20, 20);
             canvas->InputMouseButton(0, true);
             MoveTo(120, 30);
             delete target;
             MoveTo(130, 30);
             canvas->RenderCanvas();
             canvas->InputMouseButton(0, false);
         }},
    };
    for (const auto& [part, run] : cases)
    {
        SCOPED_TRACE(part);
        run();
        Exercise();
        canvas->RemoveAllChildren();
        canvas->ProcessDelayedDeletes();
        Input::Reset();
    }
}

// Deletes a control at once when the event it is linked to fires, as a script does with a control off any
// canvas.
struct Deleter : Event::Handler
{
    void Delete(Base*) { delete std::exchange(victim, nullptr); }
    void Link(Event::Caller& event, Base* control)
    {
        victim = control;
        event.Add(this, &Deleter::Delete);
    }
    Base* victim = nullptr;
};

TEST_F(DeletionTest, AControlDeletedInsideItsOwnEventIsNotTouchedAfterIt)
{
    const std::vector<std::pair<const char*, std::function<void(Deleter&)>>> cases = {
        {"a button, on its down event",
         [this](Deleter& deleter)
         {
             auto* button = new Button(canvas);
             deleter.Link(button->onDown, button);
             Click(5, 5);
         }},
        {"a button, on its press event",
         [this](Deleter& deleter)
         {
             auto* button = new Button(canvas);
             deleter.Link(button->onPress, button);
             Click(5, 5);
         }},
        {"a button, on its up event",
         [this](Deleter& deleter)
         {
             auto* button = new Button(canvas);
             deleter.Link(button->onUp, button);
             Click(5, 5);
         }},
        {"a button, on its down event in a double click",
         [this](Deleter& deleter)
         {
             auto* button = new Button(canvas);
             Click(5, 5);
             deleter.Link(button->onDown, button);
             Click(5, 5);
         }},
        {"a toggle button, on its toggle event",
         [this](Deleter& deleter)
         {
             auto* button = new Button(canvas);
             button->SetIsToggle(true);
             deleter.Link(button->onToggle, button);
             Click(5, 5);
         }},
        {"a check box, on its checked event",
         [this](Deleter& deleter)
         {
             auto* box = new CheckBox(canvas);
             deleter.Link(box->onChecked, box);
             Click(5, 5);
         }},
        {"a labelled check box, on its box's event, by a click on its label",
         [this](Deleter& deleter)
         {
             auto* labelled = new CheckBoxWithLabel(canvas);
             canvas->RenderCanvas();
             deleter.Link(labelled->Checkbox()->onChecked, labelled);
             Click(50, 8);
         }},
        {"a slider, on its value event, by a key",
         [this](Deleter& deleter)
         {
             auto* slider = new HorizontalSlider(canvas);
             slider->Focus();
             deleter.Link(slider->onValueChanged, slider);
             canvas->InputKey(Key::Right, true);
             canvas->InputKey(Key::Right, false);
         }},
        {"a slider, on its value event, by a new value",
         [](Deleter& deleter)
         {
             auto* slider = new HorizontalSlider(nullptr);
             deleter.Link(slider->onValueChanged, slider);
             slider->SetValue(0.5f);
         }},
        {"a tree node, on its name press",
         [this](Deleter& deleter)
         {
             auto* node = new TreeNode(canvas);
             node->SetBounds(0, 0, 200, 100);
             canvas->RenderCanvas();
             deleter.Link(node->onNamePress, node);
             Click(30, 8);
         }},
        {"a tree node, on its select change",
         [this](Deleter& deleter)
         {
             auto* node = new TreeNode(canvas);
             node->SetBounds(0, 0, 200, 100);
             canvas->RenderCanvas();
             deleter.Link(node->onSelectChange, node);
             Click(30, 8);
         }},
        {"a tree node, on its toggle's event during a layout",
         [this](Deleter& deleter)
         {
             auto* node = new TreeNode(canvas);
             node->ToggleButton()->SetToggleState(true);
             // Without child nodes the next layout turns the toggle off.
             deleter.Link(node->ToggleButton()->onToggle, node);
             canvas->RenderCanvas();
         }},
        {"a control, on its hover enter",
         [this](Deleter& deleter)
         {
             auto* control = new Base(canvas);
             deleter.Link(control->OnHoverEnter, control);
             MoveTo(5, 5);
         }},
        {"a control, on its hover leave",
         [this](Deleter& deleter)
         {
             auto* control = new Base(canvas);
             MoveTo(5, 5);
             deleter.Link(control->OnHoverLeave, control);
             MoveTo(50, 50);
         }},
        {"a list box, on its row selected",
         [this](Deleter& deleter)
         {
             auto* list = new ListBox(canvas);
             list->SetBounds(0, 0, 200, 100);
             list->AddItem("row");
             canvas->RenderCanvas();
             deleter.Link(list->onRowSelected, list);
             Click(20, 10);
         }},
        {"a window, on its resized event",
         [this](Deleter& deleter)
         {
             auto* window = new WindowControl(canvas);
             window->SetBounds(0, 0, 200, 150);
             canvas->RenderCanvas();
             deleter.Link(window->onResized, window);
             MoveTo(197, 80);
             canvas->InputMouseButton(0, true);
             MoveTo(250, 80);
             canvas->InputMouseButton(0, false);
         }},
        {"a text box, on its text changed by typing",
         [this](Deleter& deleter)
         {
             auto* box = new TextBox(canvas);
             box->Focus();
             deleter.Link(box->onTextChanged, box);
             canvas->InputCharacter(L'a');
         }},
        {"a text box, on its return",
         [this](Deleter& deleter)
         {
             auto* box = new TextBox(canvas);
             box->Focus();
             deleter.Link(box->onReturnPressed, box);
             canvas->InputKey(Key::Return, true);
             canvas->InputKey(Key::Return, false);
         }},
    };
    for (const auto& [name, run] : cases)
    {
        SCOPED_TRACE(name);
        Deleter deleter;
        run(deleter);
        EXPECT_EQ(deleter.victim, nullptr) << "the event fired";
        canvas->RenderCanvas();
        delete deleter.victim;
        Input::Reset();
    }
}

} // namespace
} // namespace Gui::test
