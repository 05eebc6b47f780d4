#pragma once

#include "widgets/Controls/Base.h"

#include <string>

class OpenToggleButton;

namespace Gui::Controls
{

class Button;
class ScrollControl;
class TreeControl;

// A node of a collapsible tree: a title (clicking selects, double-clicking opens or closes), a toggle
// shown once it has child nodes, and an inner panel holding them. A part a script deleted is missing:
// what needs it does nothing.
class TreeNode : public Base
{
public:
    explicit TreeNode(Base* parent);

    virtual TreeNode* AddNode(const std::string& label);
    virtual TreeNode* AddNode(const std::wstring& label);
    virtual void SetText(const std::string& text);
    virtual void SetText(const std::wstring& text);
    virtual void Open();
    virtual void Close();
    virtual void ExpandAll();
    virtual Button* GetButton();
    virtual void SetRoot(bool root) { m_root = root; }
    virtual void SetTreeControl(TreeControl* control);
    virtual void SetSelectable(bool selectable) { m_selectable = selectable; }
    virtual bool IsSelected() { return m_selected; }
    virtual void SetSelected(bool selected);
    // Deselects this node and every node below it without events.
    virtual void DeselectAll();

    void OnToggleButtonPress(Base* control);
    void OnDoubleClickName(Base* control);
    void OnClickName(Base* control);

    void Render(Skin::Base* skin) override;
    void Layout(Skin::Base* skin) override;
    void PostLayout(Skin::Base* skin) override;

    OpenToggleButton* ToggleButton();
    bool IsOpen() { return m_innerPanel && !m_innerPanel->Hidden(); }

    Event::Caller onNamePress;
    Event::Caller onSelectChange;
    Event::Caller onSelect;
    Event::Caller onUnselect;

protected:
    Ref<TreeControl> m_treeControl;
    Ref<OpenToggleButton> m_toggleButton;
    Ref<Button> m_title;
    bool m_root = false;
    bool m_selected = false;
    bool m_selectable = true;
};

// The root of a tree: its nodes sit in a scroll control; a click selects one node, or, with multi-select
// and Control held, toggles it alone.
class TreeControl : public TreeNode
{
public:
    explicit TreeControl(Base* parent);

    virtual void Clear();
    virtual void AllowMultiSelect(bool allow) { m_allowMultiSelect = allow; }
    // Null: nothing.
    virtual void OnNodeAdded(TreeNode* node);

    void OnNodeSelection(Base* control);

    void Render(Skin::Base* skin) override;
    void OnChildBoundsChanged(Rect oldChildBounds, Base* child) override;
    void Layout(Skin::Base* /*skin*/) override {}
    void PostLayout(Skin::Base* /*skin*/) override {}

    ScrollControl* Scroller();

private:
    Ref<ScrollControl> m_scrollControl;
    bool m_allowMultiSelect = false;
};

} // namespace Gui::Controls
