#include "WidgetTest.h"

#include "widgets/Controls/Label.h"
#include "widgets/Controls/OpenToggleButton.h"
#include "widgets/Controls/Properties.h"
#include "widgets/Controls/Property.h"
#include "widgets/Controls/PropertyTree.h"
#include "widgets/Controls/ScrollControl.h"
#include "widgets/Controls/TextBox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Gui::test
{
namespace
{

using namespace Controls;
using Log = std::vector<std::string>;

struct SelectionLog : Event::Handler
{
    void Change(Base* node) { log.push_back(Name(node) + " change"); }
    void Select(Base* node) { log.push_back(Name(node) + " select"); }
    void Unselect(Base* node) { log.push_back(Name(node) + " unselect"); }
    static std::string Name(Base* node) { return node->GetName(); }
    void Watch(TreeNode* node)
    {
        node->onSelectChange.Add(this, &SelectionLog::Change);
        node->onSelect.Add(this, &SelectionLog::Select);
        node->onUnselect.Add(this, &SelectionLog::Unselect);
    }
    Log Take() { return std::exchange(log, {}); }
    Log log;
};

class TreeTest : public test::CanvasTest<>
{
protected:
    TreeTest()
    {
        tree = new TreeControl(canvas);
        tree->SetBounds(0, 0, 300, 400);
        for (const char* name : {"a", "b"})
        {
            TreeNode* node = tree->AddNode(name);
            node->SetName(name);
            events.Watch(node);
            nodes.push_back(node);
        }
        canvas->RenderCanvas();
        canvas->RenderCanvas();
    }

    // A click on a node's title; clicks are spaced so that none is taken for a double click.
    void ClickTitle(int node)
    {
        AdvanceClock(1.0);
        Click(40, 8 + 16 * node);
    }

    TreeControl* tree = nullptr;
    std::vector<TreeNode*> nodes;
    SelectionLog events;
};

TEST_F(TreeTest, ClicksSelectOneNodeUnlessMultiSelectAndControlAreOn)
{
    ClickTitle(0);
    EXPECT_EQ(events.Take(), (Log{"a change", "a select"}));
    ClickTitle(1);
    // The others are deselected silently first.
    EXPECT_EQ(events.Take(), (Log{"b change", "b select"}));
    EXPECT_FALSE(nodes[0]->IsSelected());
    // A selected node clicked again is selected again.
    ClickTitle(1);
    EXPECT_EQ(events.Take(), (Log{"b change", "b select"}));

    // Keys reach a canvas through its keyboard focus, so the tree takes the focus to see Control.
    tree->AllowMultiSelect(true);
    tree->SetKeyboardInputEnabled(true);
    tree->Focus();
    canvas->InputKey(Key::Control, true);
    ClickTitle(0);
    EXPECT_TRUE(nodes[0]->IsSelected());
    EXPECT_TRUE(nodes[1]->IsSelected());
    ClickTitle(0);
    EXPECT_FALSE(nodes[0]->IsSelected());
    canvas->InputKey(Key::Control, false);
    events.Take();

    tree->DeselectAll();
    EXPECT_FALSE(nodes[1]->IsSelected());
    EXPECT_TRUE(events.log.empty());
    nodes[0]->SetSelectable(false);
    nodes[0]->SetSelected(true);
    EXPECT_FALSE(nodes[0]->IsSelected());
}

TEST_F(TreeTest, TheToggleAppearsWithChildrenAndDoubleClicksOpenAndClose)
{
    EXPECT_FALSE(nodes[0]->ToggleButton()->Visible());
    nodes[0]->AddNode("a1");
    EXPECT_FALSE(nodes[0]->ToggleButton()->Visible());
    canvas->RenderCanvas();
    EXPECT_TRUE(nodes[0]->ToggleButton()->Visible());
    EXPECT_FALSE(nodes[0]->IsOpen());

    AdvanceClock(1.0);
    Click(40, 8);
    Click(40, 8);
    EXPECT_TRUE(nodes[0]->IsOpen());
    AdvanceClock(1.0);
    Click(40, 8);
    Click(40, 8);
    EXPECT_FALSE(nodes[0]->IsOpen());

    // Expanding from the root reaches the nodes inside its scroller.
    tree->ExpandAll();
    EXPECT_TRUE(nodes[0]->IsOpen());
}

using PropertiesTest = test::CanvasTest<>;

TEST_F(PropertiesTest, RowsStackUnderOneSplitterAndReportEditsOnly)
{
    EventCounter changes;
    auto* grid = new Properties(canvas);
    grid->SetBounds(0, 0, 300, 10);
    std::vector<PropertyRow*> rows;
    for (const char* label : {"x", "y", "z"})
    {
        rows.push_back(grid->AddWithValue(label, "1"));
        rows.back()->onChange.Add(&changes, &EventCounter::Count);
    }
    canvas->RenderCanvas();
    canvas->RenderCanvas();
    EXPECT_EQ(grid->Height(), 48);
    EXPECT_EQ(rows[2]->Y(), 32);
    EXPECT_EQ(rows[0]->GetLabel()->Width(), 80);
    EXPECT_EQ(changes.count, 0);

    // The splitter dragged to 120 sets every label column.
    MoveTo(81, 5);
    canvas->InputMouseButton(0, true);
    MoveTo(121, 5);
    canvas->InputMouseButton(0, false);
    EXPECT_EQ(grid->GetSplitWidth(), 120);
    canvas->RenderCanvas();
    for (PropertyRow* row : rows)
        EXPECT_EQ(row->GetLabel()->Width(), 120);

    // Typing into a value fires its row's change once.
    auto* value = dynamic_cast<Property::Text*>(rows[1]->GetProperty());
    ASSERT_NE(value, nullptr);
    value->Box()->Focus();
    EXPECT_TRUE(value->IsEditing());
    canvas->InputCharacter(L'7');
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(value->GetPropertyValueAnsi(), "71");

    grid->Clear();
    EXPECT_EQ(grid->NumChildren(), 4u);
    canvas->RenderCanvas();
    EXPECT_EQ(grid->NumChildren(), 1u);
}

TEST_F(PropertiesTest, AClickInAScrolledPropertyTreePlacesTheCaretAtTheCharacter)
{
    auto* tree = new PropertyTree(canvas);
    tree->SetBounds(0, 0, 300, 100);
    Properties* grid = tree->Add(L"Section");
    std::vector<PropertyRow*> rows;
    for (int i = 0; i < 20; ++i)
        rows.push_back(grid->Add(L"row " + std::to_wstring(i), L"abcdef"));
    tree->ExpandAll();
    for (int i = 0; i < 4; ++i)
        canvas->RenderCanvas();
    ScrollControl* scroller = tree->Scroller();
    scroller->VerticalBar()->SetScrolledAmount(0.5f, true);
    canvas->RenderCanvas();
    canvas->RenderCanvas();
    ASSERT_LT(scroller->InnerPanel()->Y(), 0);

    // The text box of a row in view, found by where it is on the canvas.
    auto* value = dynamic_cast<Property::Text*>(rows[10]->GetProperty());
    ASSERT_NE(value, nullptr);
    TextBox* box = value->Box();
    const Point corner = box->LocalPosToCanvas(Point(0, 0));
    ASSERT_GT(corner.y, 0);
    ASSERT_LT(corner.y, 90);
    // Characters are 5 wide after the text padding of 4: between "c" and "d" is index 3.
    Click(corner.x + 4 + 15, corner.y + 8);
    EXPECT_TRUE(box->HasFocus());
    EXPECT_EQ(box->CursorPosition(), 3);
}

} // namespace
} // namespace Gui::test
