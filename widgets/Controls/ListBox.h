#pragma once

#include "widgets/Controls/Base.h"

#include <list>
#include <string>

class ListBoxRow;

namespace Gui::Controls
{

class ScrollControl;

namespace Layout
{
class Table;
class TableRow;
} // namespace Layout

// A scrolling list of selectable text rows; one row at a time unless multi-select is on and Shift is held.
// A selected row that goes leaves the selection. Without its table (a script deleted it, or the scroller
// holding it) the list adds, moves and clears nothing.
class ListBox : public Base
{
public:
    explicit ListBox(Base* parent);
    // Stops watching its selected rows before they go with it.
    ~ListBox() override;

    // Empties the selection, then removes the rows at the next delayed-delete pass.
    virtual void Clear();

    // Null (and no row made) without a table.
    ListBoxRow* AddItem(const std::wstring& label, const std::string& name = "");
    ListBoxRow* AddItem(const std::string& label, const std::string& name = "");
    void UnselectAll();
    Layout::TableRow* GetSelectedRow();
    const std::list<Layout::TableRow*>& GetSelectedRows() const { return m_selectedRows; }
    void OnRowSelected(Base* control);
    void SetColumnCount(int count);
    void SetAllowMultiSelect(bool allow) { m_allowMultiSelect = allow; }
    bool AllowMultiSelect() const { return m_allowMultiSelect; }
    ScrollControl* Scroller();
    Layout::Table* GetTable();

    void Render(Skin::Base* skin) override;
    void OnChildBoundsChanged(Rect oldChildBounds, Base* child) override;
    bool OnKeyUp(bool down) override;
    bool OnKeyDown(bool down) override;

    Event::Caller onRowSelected;

private:
    // Selects the row before (-1) or after (1) the selected one, staying at the ends.
    bool MoveSelection(bool down, int step);
    // Told by a selected row as it goes.
    void ForgetRow(Base* row);
    void Unwatch(Layout::TableRow* row);

    Ref<Layout::Table> m_table;
    // Each one is watched for its going, so the list never names a row that is gone.
    std::list<Layout::TableRow*> m_selectedRows;
    Ref<ScrollControl> m_scrollControl;
    bool m_allowMultiSelect = false;
};

// Lays its children out on a regular grid in rows (or columns), wrapping at its edge.
class PanelListPanel : public Base
{
public:
    explicit PanelListPanel(Base* parent) : Base(parent) {}

    void DoHorizontalLayout();
    void DoVerticalLayout();
    bool IsVerticalLayout() const { return m_vertical; }
    bool IsHorizontalLayout() const { return !m_vertical; }
    void SetVertical();
    void SetHorizontal();
    void SetSizeToChildren(bool size) { m_sizeToChildren = size; }
    // Spacings are kept within the coordinate range, like margins.
    void SetControlSpacing(int spacing);
    void SetLineSpacing(int spacing);
    void SetWrapping(bool wrap) { m_wrapping = wrap; }

    void Render(Skin::Base* /*skin*/) override {}
    void Layout(Skin::Base* skin) override;

private:
    // The largest child width and height.
    Point LargestChild() const;

    bool m_vertical = false;
    bool m_sizeToChildren = true;
    int m_controlSpacing = 5;
    int m_lineSpacing = 5;
    bool m_wrapping = true;
};

} // namespace Gui::Controls
