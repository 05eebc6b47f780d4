#include "WidgetTest.h"

#include "widgets/Controls/Label.h"
#include "widgets/Controls/ListBox.h"
#include "widgets/Controls/ScrollControl.h"
#include "widgets/Controls/Table.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace Gui::test
{
namespace
{

using namespace Controls;

class ListBoxTest : public test::CanvasTest<>
{
protected:
    ListBoxTest()
    {
        list = new ListBox(canvas);
        list->SetBounds(0, 0, 200, 200);
        for (const char* label : {"one", "two", "three"})
            rows.push_back(list->AddItem(label));
        list->SetKeyboardInputEnabled(true);
        list->Focus();
        canvas->RenderCanvas();
        canvas->RenderCanvas();
    }

    // A press on a row (16 high once sized to the recording font's 10-pixel text and the cells' padding of
    // 3, inside the list's 1-pixel margin), spaced in time from the last.
    void ClickRow(int index)
    {
        AdvanceClock(1.0);
        Click(50, 1 + 16 * index + 8);
    }

    std::vector<Layout::TableRow*> Selected() const
    {
        return std::vector<Layout::TableRow*>(list->GetSelectedRows().begin(), list->GetSelectedRows().end());
    }

    ListBox* list = nullptr;
    std::vector<ListBoxRow*> rows;
};

TEST_F(ListBoxTest, RowsStackWithTheirLabels)
{
    // Added at the table's row height, then sized to their cells.
    EXPECT_EQ(list->AddItem("four")->Height(), 22);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(rows[static_cast<std::size_t>(i)]->Height(), 16);
        EXPECT_EQ(rows[static_cast<std::size_t>(i)]->Y(), 16 * i);
        EXPECT_EQ(rows[static_cast<std::size_t>(i)]->GetParent(), list->GetTable());
    }
    EXPECT_EQ(rows[1]->GetText(0), L"two");
    EXPECT_EQ(rows[1]->ColumnCount(), 1);
}

TEST_F(ListBoxTest, ClicksAndArrowsMoveTheSelection)
{
    EventCounter selections;
    list->onRowSelected.Add(&selections, &EventCounter::Count);

    // Up and Down with nothing selected do nothing and leave the key to others.
    EXPECT_FALSE(canvas->InputKey(Key::Down, true));
    canvas->InputKey(Key::Down, false);

    ClickRow(0);
    EXPECT_EQ(Selected(), (std::vector<Layout::TableRow*>{rows[0]}));
    ClickRow(1);
    EXPECT_EQ(Selected(), (std::vector<Layout::TableRow*>{rows[1]}));
    EXPECT_FALSE(rows[0]->IsSelected());
    // Clicking the selected row again does nothing.
    ClickRow(1);
    EXPECT_EQ(selections.count, 2);

    list->SetAllowMultiSelect(true);
    canvas->InputKey(Key::Shift, true);
    ClickRow(2);
    canvas->InputKey(Key::Shift, false);
    EXPECT_EQ(Selected(), (std::vector<Layout::TableRow*>{rows[1], rows[2]}));

    // Down from the last row keeps it; Up moves to the one before.
    list->UnselectAll();
    ClickRow(2);
    EXPECT_TRUE(canvas->InputKey(Key::Down, true));
    canvas->InputKey(Key::Down, false);
    EXPECT_EQ(Selected(), (std::vector<Layout::TableRow*>{rows[2]}));
    EXPECT_TRUE(canvas->InputKey(Key::Up, true));
    EXPECT_FALSE(canvas->InputKey(Key::Up, false));
    EXPECT_EQ(Selected(), (std::vector<Layout::TableRow*>{rows[1]}));

    list->Clear();
    EXPECT_TRUE(list->GetSelectedRows().empty());
    canvas->RenderCanvas();
    EXPECT_EQ(list->GetTable()->NumChildren(), 0u);
}

TEST_F(ListBoxTest, TheWheelOverARowScrollsTheList)
{
    for (int i = 0; i < 40; ++i)
        list->AddItem("more");
    canvas->RenderCanvas();
    canvas->RenderCanvas();
    MoveTo(50, 10);
    ASSERT_EQ(HoveredControl, rows[0]);
    EXPECT_TRUE(canvas->InputMouseWheel(-120));
    EXPECT_GT(list->Scroller()->VerticalBar()->GetScrolledAmount(), 0.0f);
}

TEST_F(ListBoxTest, ColumnsOutsideTheRowAreRefused)
{
    ListBoxRow* row = rows[0];
    row->SetColumnCount(8);
    EXPECT_EQ(row->ColumnCount(), 5);
    EXPECT_NE(row->GetCellContents(4), nullptr);
    EXPECT_EQ(row->GetCellContents(5), nullptr);
    EXPECT_EQ(row->GetCellContents(-1), nullptr);
    EXPECT_EQ(row->GetText(7), L"");
    row->SetCellText(9, L"ignored");
    row->SetColumnWidth(-3, 10);
    row->SetColumnCount(-2);
    EXPECT_EQ(row->ColumnCount(), 0);
    canvas->RenderCanvas();
    EXPECT_EQ(row->GetCellContents(0), nullptr);
}

using PanelListTest = test::CanvasTest<>;

TEST_F(PanelListTest, ChildrenFlowOnARegularGridAndWrapOntoNewRows)
{
    const struct
    {
        bool wrapping;
        std::vector<Point> places;
    } cases[] = {
        // Each new row is where the following children go too.
        {true, {Point(0, 0), Point(45, 0), Point(0, 25), Point(45, 25)}},
        {false, {Point(0, 0), Point(45, 0), Point(90, 0), Point(135, 0)}},
    };
    for (const auto& c : cases)
    {
        auto* panel = new PanelListPanel(canvas);
        panel->SetBounds(0, 0, 100, 300);
        panel->SetWrapping(c.wrapping);
        std::vector<Base*> children;
        for (int i = 0; i < 4; ++i)
        {
            children.push_back(new Base(panel));
            children.back()->SetSize(40, 20);
        }
        canvas->RenderCanvas();
        for (std::size_t i = 0; i < children.size(); ++i)
            EXPECT_EQ(Point(children[i]->X(), children[i]->Y()), c.places[i]) << c.wrapping << " " << i;
        EXPECT_EQ(panel->Height(), c.places.back().y + 20);
        delete panel;
    }
}

TEST_F(PanelListTest, SpacingsPastTheIntRangeAndManyChildrenStayInRange)
{
    for (const bool vertical : {false, true})
    {
        SCOPED_TRACE(vertical ? "columns" : "rows");
        auto* panel = new PanelListPanel(canvas);
        panel->SetBounds(0, 0, 100, 100);
        panel->SetWrapping(false);
        panel->SetControlSpacing(std::numeric_limits<int>::max());
        panel->SetLineSpacing(std::numeric_limits<int>::max());
        if (vertical)
            panel->SetVertical();
        for (int i = 0; i < 3000; ++i)
            (new Base(panel))->SetSize(1'000'000, 1'000'000);
        canvas->RenderCanvas();
        const Base* last = panel->OwnChildren().back();
        EXPECT_EQ(vertical ? last->Y() : last->X(), 1'000'000);
        panel->SetWrapping(true);
        panel->Invalidate();
        canvas->RenderCanvas();
        delete panel;
    }
}

} // namespace
} // namespace Gui::test
