#include "widgets/Controls/ListBox.h"

#include "widgets/Controls/ScrollControl.h"
#include "widgets/Controls/Table.h"
#include "widgets/Input.h"
#include "widgets/Skin.h"
#include "widgets/Utility.h"

#include <algorithm>

namespace Gui::Controls
{

ListBox::ListBox(Base* parent) : Base(parent)
{
    m_scrollControl = AddVerticalScroller(this);
    m_innerPanel = m_scrollControl;

    m_table = new Layout::Table(this);
    m_table->Dock(Pos::Top);
    m_table->SetColumnCount(1);
}

ListBoxRow* ListBox::AddItem(const std::string& label, const std::string& name)
{
    return AddItem(Utility::StringToUnicode(label), name);
}

ListBoxRow* ListBox::AddItem(const std::wstring& label, const std::string& name)
{
    auto* row = new ListBoxRow(this);
    m_table->AddRow(row);
    row->SetCellText(0, label);
    row->SetName(name);
    row->onRowSelected.Add(this, &ListBox::OnRowSelected);
    m_table->SetSizeToContents();
    m_table->Invalidate();
    return row;
}

void ListBox::OnRowSelected(Base* control)
{
    if (!m_allowMultiSelect || !Input::IsShiftDown())
        UnselectAll();
    if (auto* row = dynamic_cast<Layout::TableRow*>(control))
        m_selectedRows.push_back(row);
    onRowSelected.Call(this);
}

void ListBox::UnselectAll()
{
    for (Layout::TableRow* row : m_selectedRows)
        row->SetSelected(false);
    m_selectedRows.clear();
}

Layout::TableRow* ListBox::GetSelectedRow()
{
    return m_selectedRows.empty() ? nullptr : m_selectedRows.front();
}

void ListBox::Clear()
{
    UnselectAll();
    const List rows = m_table->OwnChildren();
    for (Base* child : rows)
        if (dynamic_cast<Layout::TableRow*>(child))
            child->DelayedDelete();
}

void ListBox::SetColumnCount(int count)
{
    m_table->SetColumnCount(count);
}

void ListBox::Render(Skin::Base* skin)
{
    skin->DrawListBox(this);
}

void ListBox::OnChildBoundsChanged(Rect /*oldChildBounds*/, Base* /*child*/)
{
    m_scrollControl->UpdateScrollBars();
}

bool ListBox::MoveSelection(bool down, int step)
{
    if (!down)
        return false;
    Layout::TableRow* selected = GetSelectedRow();
    UnselectAll();
    const List& rows = m_table->OwnChildren();
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

void PanelListPanel::DoHorizontalLayout()
{
    const Padding& p = GetPadding();
    const Point largest = LargestChild();
    int cursor = p.left;
    int y = p.top;
    int bottom = 0;
    for (Base* child : m_children)
    {
        const int next = cursor + m_controlSpacing + largest.x;
        if (m_wrapping && next > Width() - p.right)
        {
            // A new row: the following children go on it too.
            y = p.top + bottom + m_lineSpacing;
            child->SetPos(p.left, y);
            cursor = p.left + m_controlSpacing + largest.x;
        }
        else
        {
            child->SetPos(cursor, y);
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
    int cursor = p.top;
    int x = p.left;
    int right = 0;
    for (Base* child : m_children)
    {
        const int next = cursor + m_controlSpacing + largest.y;
        if (m_wrapping && next > Height() - p.bottom)
        {
            x = p.left + right + m_lineSpacing;
            child->SetPos(x, p.top);
            cursor = p.top + m_controlSpacing + largest.y;
        }
        else
        {
            child->SetPos(x, cursor);
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
