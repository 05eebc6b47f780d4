#pragma once

#include "widgets/Controls/Base.h"

#include <array>
#include <string>

namespace Gui::Controls
{

class Label;

namespace Layout
{

inline constexpr int kMaxColumns = 5;

// A row of up to five text cells side by side. A cell a script deleted is missing until the column count
// makes it again.
class TableRow : public Base
{
public:
    explicit TableRow(Base* parent) : Base(parent) {}

    // The cell's text; empty for a column outside the row.
    virtual std::wstring GetText(int column);
    virtual void SetSelected(bool /*selected*/) {}

    // Makes or removes cells to match; the count is kept within 0..5.
    void SetColumnCount(int count);
    void SetColumnWidth(int column, int width);
    // The cell of the column, or null (outside 0..4 too).
    Label* GetCellContents(int column);
    void SetCellText(int column, const std::wstring& text);
    void SizeToContents();
    void SetTextColor(const Color& colour);
    int ColumnCount() const { return m_columnCount; }

    Event::Caller onRowSelected;

protected:
    int m_columnCount = 0;
    std::array<Ref<Label>, kMaxColumns> m_columns;
};

// Rows docked under one another with shared column widths, sized to their contents after rows are added.
class Table : public Base
{
public:
    explicit Table(Base* parent) : Base(parent) {}

    void SetColumnCount(int count);
    // Takes the row: the table's columns and row height, docked under the others (null: nothing).
    void AddRow(TableRow* row);
    void SetSizeToContents() { m_sizeToContents = true; }
    int ColumnWidth(int column) const { return m_columnWidths[static_cast<std::size_t>(column)]; }

    void Layout(Skin::Base* skin) override;
    void PostLayout(Skin::Base* skin) override;

private:
    void SizeColumnsToContents();

    bool m_sizeToContents = false;
    int m_columnCount = 1;
    int m_defaultRowHeight = 22;
    std::array<int, kMaxColumns> m_columnWidths{20, 20, 20, 20, 20};
};

} // namespace Layout
} // namespace Gui::Controls

// A list box's row: selected by a press on it, drawn as a list line.
class ListBoxRow : public Gui::Controls::Layout::TableRow
{
public:
    explicit ListBoxRow(Gui::Controls::Base* parent);

    void SetSelected(bool selected) override { m_selected = selected; }
    bool IsSelected() const { return m_selected; }

    void Render(Gui::Skin::Base* skin) override;
    void OnMouseClickLeft(int x, int y, bool down) override;

private:
    bool m_selected = false;
};
