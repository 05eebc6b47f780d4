#include "widgets/Controls/Table.h"

#include "widgets/Controls/Label.h"
#include "widgets/Skin.h"

#include <algorithm>

namespace Gui::Controls::Layout
{

namespace
{

bool IsColumn(int column)
{
    return column >= 0 && column < kMaxColumns;
}

} // namespace

std::wstring TableRow::GetText(int column)
{
    Label* cell = GetCellContents(column);
    return cell ? cell->GetText() : std::wstring();
}

void TableRow::SetColumnCount(int count)
{
    count = std::clamp(count, 0, kMaxColumns);
    if (count == m_columnCount)
        return;
    for (int i = 0; i < kMaxColumns; ++i)
    {
        Ref<Label>& cell = m_columns[static_cast<std::size_t>(i)];
        if (i < count && !cell)
        {
            auto* made = new Label(this);
            made->Dock(Pos::Left);
            made->SetPadding(Padding(3, 3, 3, 3));
            cell = made;
        }
        else if (i >= count && cell)
        {
            cell->DelayedDelete();
            cell = nullptr;
        }
    }
    m_columnCount = count;
}

void TableRow::SetColumnWidth(int column, int width)
{
    Label* cell = GetCellContents(column);
    if (cell && cell->Width() != width)
        cell->SetWidth(width);
}

Label* TableRow::GetCellContents(int column)
{
    return IsColumn(column) ? m_columns[static_cast<std::size_t>(column)].Get() : nullptr;
}

void TableRow::SetCellText(int column, const std::wstring& text)
{
    if (Label* cell = GetCellContents(column))
        cell->SetText(text);
}

void TableRow::SizeToContents()
{
    int height = 0;
    for (int i = 0; i < m_columnCount; ++i)
    {
        Label* cell = GetCellContents(i);
        if (!cell)
            continue;
        if (cell->NumChildren() < 2)
            cell->SizeToContents();
        else
            cell->SizeToChildren(true, true);
        height = std::max(height, cell->Height());
    }
    SetHeight(height);
}

void TableRow::SetTextColor(const Color& colour)
{
    for (int i = 0; i < m_columnCount; ++i)
        if (Label* cell = GetCellContents(i))
            cell->SetTextColor(colour);
}

void Table::SetColumnCount(int count)
{
    if (count == m_columnCount)
        return;
    for (Base* child : m_children)
        if (auto* row = dynamic_cast<TableRow*>(child))
            row->SetColumnCount(count);
    m_columnCount = count;
}

void Table::AddRow(TableRow* row)
{
    if (!row)
        return;
    row->SetParent(this);
    row->SetColumnCount(m_columnCount);
    row->SetHeight(m_defaultRowHeight);
    row->Dock(Pos::Top);
}

void Table::SizeColumnsToContents()
{
    m_columnWidths.fill(10);
    for (Base* child : m_children)
    {
        auto* row = dynamic_cast<TableRow*>(child);
        if (!row)
            continue;
        row->SizeToContents();
        for (int i = 0; i < kMaxColumns; ++i)
            if (Label* cell = row->GetCellContents(i))
                m_columnWidths[static_cast<std::size_t>(i)] =
                    std::max(m_columnWidths[static_cast<std::size_t>(i)], cell->Width());
    }
    InvalidateParent();
}

void Table::Layout(Skin::Base* skin)
{
    Base::Layout(skin);
    if (m_sizeToContents)
        SizeColumnsToContents();
    const int columns = std::min(kMaxColumns, m_columnCount);
    for (Base* child : m_children)
        if (auto* row = dynamic_cast<TableRow*>(child))
            for (int i = 0; i < columns; ++i)
                row->SetColumnWidth(i, m_columnWidths[static_cast<std::size_t>(i)]);
}

void Table::PostLayout(Skin::Base* /*skin*/)
{
    if (!m_sizeToContents)
        return;
    SizeToChildren(true, true);
    m_sizeToContents = false;
}

} // namespace Gui::Controls::Layout

ListBoxRow::ListBoxRow(Gui::Controls::Base* parent) : TableRow(parent)
{
    SetMouseInputEnabled(true);
    SetSelected(false);
}

void ListBoxRow::Render(Gui::Skin::Base* skin)
{
    skin->DrawListBoxLine(this, m_selected);
}

void ListBoxRow::OnMouseClickLeft(int /*x*/, int /*y*/, bool down)
{
    if (down && !m_selected)
    {
        SetSelected(true);
        onRowSelected.Call(this);
    }
}
