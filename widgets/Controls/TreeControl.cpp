#include "widgets/Controls/TreeControl.h"

#include "widgets/Controls/Button.h"
#include "widgets/Controls/OpenToggleButton.h"
#include "widgets/Controls/ScrollControl.h"
#include "widgets/Input.h"
#include "widgets/Skin.h"
#include "widgets/Utility.h"

#include <cmath>

namespace Gui::Controls
{

TreeNode::TreeNode(Base* parent) : Base(parent)
{
    auto* toggle = new OpenToggleButton(this);
    toggle->SetBounds(2, 2, 13, 13);
    toggle->onToggle.Add(this, &TreeNode::OnToggleButtonPress);
    m_toggleButton = toggle;

    auto* title = new Button(this);
    title->Dock(Pos::Top);
    title->SetMargin(Margin(16, 0, 0, 0));
    title->SetAlignment(Pos::Left | Pos::CenterV);
    title->SetShouldDrawBackground(false);
    title->onDoubleClick.Add(this, &TreeNode::OnDoubleClickName);
    title->onDown.Add(this, &TreeNode::OnClickName);
    title->SetHeight(16);
    m_title = title;

    Base* inner = new Base(this);
    inner->Dock(Pos::Top);
    inner->SetHeight(100);
    inner->SetMargin(Margin(14, 1, 0, 0));
    inner->Hide();
    m_innerPanel = inner;
}

Button* TreeNode::GetButton()
{
    return m_title.Get();
}

OpenToggleButton* TreeNode::ToggleButton()
{
    return m_toggleButton.Get();
}

void TreeNode::SetTreeControl(TreeControl* control)
{
    m_treeControl = control;
}

TreeNode* TreeNode::AddNode(const std::string& label)
{
    return AddNode(Utility::StringToUnicode(label));
}

TreeNode* TreeNode::AddNode(const std::wstring& label)
{
    auto* node = new TreeNode(this);
    node->SetText(label);
    node->Dock(Pos::Top);
    node->SetRoot(dynamic_cast<TreeControl*>(this) != nullptr);
    node->SetTreeControl(m_treeControl.Get());
    if (TreeControl* tree = m_treeControl.Get())
        tree->OnNodeAdded(node);
    return node;
}

void TreeNode::SetText(const std::string& text)
{
    SetText(Utility::StringToUnicode(text));
}

void TreeNode::SetText(const std::wstring& text)
{
    if (Button* title = m_title.Get())
        title->SetText(text);
}

// The toggle's events run handlers that may delete the node: after them it goes on only while it is
// there.

void TreeNode::Open()
{
    if (Base* inner = m_innerPanel.Get())
        inner->Show();
    const Ref<Base> alive(this);
    if (OpenToggleButton* toggle = m_toggleButton.Get())
        toggle->SetToggleState(true);
    if (alive)
        Invalidate();
}

void TreeNode::Close()
{
    if (Base* inner = m_innerPanel.Get())
        inner->Hide();
    const Ref<Base> alive(this);
    if (OpenToggleButton* toggle = m_toggleButton.Get())
        toggle->SetToggleState(false);
    if (alive)
        Invalidate();
}

void TreeNode::ExpandAll()
{
    const std::uint64_t version = TreeVersion();
    Open();
    Base* inner = m_innerPanel.Get();
    if (!inner || TreeVersion() != version)
        return;
    // Through GetChildren: a tree control's nodes sit inside its scroller's own inner panel. A change to
    // the tree (the nodes' events may make one) ends the walk.
    for (Base* child : inner->GetChildren())
        if (auto* node = dynamic_cast<TreeNode*>(child))
        {
            node->ExpandAll();
            if (TreeVersion() != version)
                return;
        }
}

void TreeNode::SetSelected(bool selected)
{
    if (!m_selectable || m_selected == selected)
        return;
    m_selected = selected;
    const Ref<Base> alive(this);
    onSelectChange.Call(this);
    if (!alive)
        return;
    if (m_selected)
        onSelect.Call(this);
    else
        onUnselect.Call(this);
}

void TreeNode::DeselectAll()
{
    m_selected = false;
    if (Base* inner = m_innerPanel.Get())
        for (Base* child : inner->GetChildren())
            if (auto* node = dynamic_cast<TreeNode*>(child))
                node->DeselectAll();
}

void TreeNode::OnToggleButtonPress(Base* /*control*/)
{
    OpenToggleButton* toggle = m_toggleButton.Get();
    if (!toggle)
        return;
    if (toggle->GetToggleState())
        Open();
    else
        Close();
}

void TreeNode::OnDoubleClickName(Base* /*control*/)
{
    OpenToggleButton* toggle = m_toggleButton.Get();
    if (toggle && toggle->Visible())
        toggle->Toggle();
}

void TreeNode::OnClickName(Base* /*control*/)
{
    const Ref<Base> alive(this);
    onNamePress.Call(this);
    if (alive)
        SetSelected(!IsSelected());
}

void TreeNode::Layout(Skin::Base* skin)
{
    OpenToggleButton* toggle = m_toggleButton.Get();
    Base* inner = m_innerPanel.Get();
    if (toggle && inner)
    {
        if (inner->NumChildren() == 0)
        {
            toggle->Hide();
            const Ref<Base> alive(this);
            toggle->SetToggleState(false);
            if (!alive || !m_innerPanel)
                return;
            inner->Hide();
        }
        else
        {
            toggle->Show();
            inner->SizeToChildren(false, true);
        }
    }
    Base::Layout(skin);
}

void TreeNode::PostLayout(Skin::Base* /*skin*/)
{
    if (SizeToChildren(false, true))
        InvalidateParent();
}

void TreeNode::Render(Skin::Base* skin)
{
    OpenToggleButton* toggle = m_toggleButton.Get();
    Button* title = m_title.Get();
    Base* inner = m_innerPanel.Get();
    const int toggleMiddle = toggle ? static_cast<int>(std::trunc(toggle->Y() + toggle->Height() * 0.5)) : 0;
    const int lastChildBottom =
        inner && !inner->OwnChildren().empty() ? inner->OwnChildren().back()->Y() + inner->Y() : 0;
    skin->DrawTreeNode(this, IsOpen(), IsSelected(), title ? title->Height() : 0,
                       title ? title->TextRight() : 0, toggleMiddle, lastChildBottom,
                       dynamic_cast<TreeControl*>(GetParent()) != nullptr);
}

TreeControl::TreeControl(Base* parent) : TreeNode(parent)
{
    m_treeControl = this;
    // The root has no title, toggle or panel of a node: its nodes go into a scroller.
    delete m_toggleButton.Get();
    delete m_title.Get();
    delete m_innerPanel.Get();

    ScrollControl* scroller = AddVerticalScroller(this);
    m_scrollControl = scroller;
    m_innerPanel = scroller;
    scroller->SetInnerSize(1000, 1000);
}

ScrollControl* TreeControl::Scroller()
{
    return m_scrollControl.Get();
}

void TreeControl::Clear()
{
    if (ScrollControl* scroller = m_scrollControl.Get())
        scroller->Clear();
}

void TreeControl::OnNodeAdded(TreeNode* node)
{
    if (node)
        node->onNamePress.Add(this, &TreeControl::OnNodeSelection);
}

void TreeControl::OnNodeSelection(Base* /*control*/)
{
    if (m_allowMultiSelect && Input::IsControlDown())
        return;
    DeselectAll();
}

void TreeControl::Render(Skin::Base* skin)
{
    if (ShouldDrawBackground())
        skin->DrawTreeControl(this);
}

void TreeControl::OnChildBoundsChanged(Rect /*oldChildBounds*/, Base* /*child*/)
{
    if (ScrollControl* scroller = m_scrollControl.Get())
        scroller->UpdateScrollBars();
}

} // namespace Gui::Controls
