#include "widgets/Controls/ListBox.h"

#include "widgets/Controls/ScrollControl.h"
#include "widgets/Controls/Table.h"
#include "widgets/Geometry.h"
#include "widgets/Input.h"
#include "widgets/Skin.h"
#include "widgets/Utility.h"

#include <algorithm>

namespace Gui::Controls
{

ListBox::ListBox(Base* parent) : Base(parent)
{
    ScrollControl* scroller = AddVerticalScroller(this);
    m_scrollControl = scroller;
    m_innerPanel = scroller;

    auto* table = new Layout::Table(this);
    table->Dock(Pos::Top);
    table->SetColumnCount(1);
    m_table = table;
}

ListBox::~ListBox()
{
    for (Layout::TableRow* row : m_selectedRows)
        Unwatch(row);
}

ScrollControl* ListBox::Scroller()
{
    return m_scrollControl.Get();
}

Layout::Table* ListBox::GetTable()
{
    return m_table.Get();
}

ListBoxRow* ListBox::AddItem(const std::string& label, const std::string& name)
{
    return AddItem(Utility::StringToUnicode(label), name);
}

ListBoxRow* ListBox::AddItem(const std::wstring& label, const std::string& name)
{
    Layout::Table* table = m_table.Get();
    if (!table)
        return nullptr;
    auto* row = new ListBoxRow(this);
    table->AddRow(row);
    row->SetCellText(0, label);
    row->SetName(name);
    row->onRowSelected.Add(this, &ListBox::OnRowSelected);
    table->SetSizeToContents();
    table->Invalidate();
    return row;
}

void ListBox::OnRowSelected(Base* control)
{
    if (!m_allowMultiSelect || !Input::IsShiftDown())
        UnselectAll();
    auto* row = dynamic_cast<Layout::TableRow*>(control);
    if (row && !row->BeingDestroyed())
    {
        m_selectedRows.push_back(row);
        row->OnDestroyed.Add(this, &ListBox::ForgetRow);
    }
    onRowSelected.Call(this);
}

void ListBox::ForgetRow(Base* row)
{
    std::erase(m_selectedRows, row);
}

void ListBox::Unwatch(Layout::TableRow* row)
{
    row->OnDestroyed.ErasePairsOf(this);
    UnRegisterCaller(&row->OnDestroyed);
}

void ListBox::UnselectAll()
{
    for (Layout::TableRow* row : m_selectedRows)
    {
        row->SetSelected(false);
        Unwatch(row);
    }
    m_selectedRows.clear();
}

Layout::TableRow* ListBox::GetSelectedRow()
{
    return m_selectedRows.empty() ? nullptr : m_selectedRows.front();
}

void ListBox::Clear()
{
    UnselectAll();
    Layout::Table* table = m_table.Get();
    if (!table)
        return;
    const List rows = table->OwnChildren();
    for (Base* child : rows)
        if (dynamic_cast<Layout::TableRow*>(child))
            child->DelayedDelete();
}

void ListBox::SetColumnCount(int count)
{
    if (Layout::Table* table = m_table.Get())
        table->SetColumnCount(count);
}

void ListBox::Render(Skin::Base* skin)
{
    skin->DrawListBox(this);
}

void ListBox::OnChildBoundsChanged(Rect /*oldChildBounds*/, Base* /*child*/)
{
    if (ScrollControl* scroller = m_scrollControl.Get())
        scroller->UpdateScrollBars();
}

bool ListBox::MoveSelection(bool down, int step)
{
    Layout::Table* table = m_table.Get();
    if (!down || !table)
        return false;
    Layout::TableRow* selected = GetSelectedRow();
    UnselectAll();
    const List& rows = table->OwnChildren();
    auto found = std::find(rows.begin(), rows.end(), selected);
    if (!selected || found == rows.end())
        return false;
    if (step < 0 && found != rows.begin())
        --found;
    else if (step > 0 && std::next(found) != rows.end())
        ++found;
    OnRowSelected(*found);
    return true;
}

bool ListBox::OnKeyUp(bool down)
{
    return MoveSelection(down, -1);
}

bool ListBox::OnKeyDown(bool down)
{
    return MoveSelection(down, 1);
}

void PanelListPanel::SetControlSpacing(int spacing)
{
    m_controlSpacing = Geometry::Position(spacing);
}

void PanelListPanel::SetLineSpacing(int spacing)
{
    m_lineSpacing = Geometry::Position(spacing);
}

void PanelListPanel::SetVertical()
{
    m_vertical = true;
    Invalidate();
}

void PanelListPanel::SetHorizontal()
{
    m_vertical = false;
    Invalidate();
}

void PanelListPanel::Layout(Skin::Base* skin)
{
    Base::Layout(skin);
    if (m_vertical)
        DoVerticalLayout();
    else
        DoHorizontalLayout();
}

Point PanelListPanel::LargestChild() const
{
    Point largest;
    for (Base* child : m_children)
    {
        largest.x = std::max(largest.x, child->Width());
        largest.y = std::max(largest.y, child->Height());
    }
    return largest;
}

// The cursor runs in 64 bits: however many children a row takes, the places stay within the coordinate
// range.

void PanelListPanel::DoHorizontalLayout()
{
    const Padding& p = GetPadding();
    const Point largest = LargestChild();
    std::int64_t cursor = p.left;
    int y = p.top;
    int bottom = 0;
    for (Base* child : m_children)
    {
        const std::int64_t next = cursor + m_controlSpacing + largest.x;
        if (m_wrapping && next > Width() - p.right)
        {
            // A new row: the following children go on it too.
            y = Geometry::Position(std::int64_t{p.top} + bottom + m_lineSpacing);
            child->SetPos(p.left, y);
            cursor = std::int64_t{p.left} + m_controlSpacing + largest.x;
        }
        else
        {
            child->SetPos(Geometry::Position(cursor), y);
            cursor = next;
        }
        bottom = std::max(bottom, child->Y() + largest.y);
    }
    if (!m_sizeToChildren)
        return;
    int height = 0;
    for (Base* child : m_children)
        height = std::max(height, child->Y() + child->Height());
    SetSize(Width(), height);
}

void PanelListPanel::DoVerticalLayout()
{
    const Padding& p = GetPadding();
    const Point largest = LargestChild();
    std::int64_t cursor = p.top;
    int x = p.left;
    int right = 0;
    for (Base* child : m_children)
    {
        const std::int64_t next = cursor + m_controlSpacing + largest.y;
        if (m_wrapping && next > Height() - p.bottom)
        {
            x = Geometry::Position(std::int64_t{p.left} + right + m_lineSpacing);
            child->SetPos(x, p.top);
            cursor = std::int64_t{p.top} + m_controlSpacing + largest.y;
        }
        else
        {
            child->SetPos(x, Geometry::Position(cursor));
            cursor = next;
        }
        right = std::max(right, child->X() + largest.x);
    }
    if (!m_sizeToChildren)
        return;
    int width = 0;
    for (Base* child : m_children)
        width = std::max(width, child->X() + child->Width());
    SetSize(width, Height());
}

} // namespace Gui::Controls
