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
    m_toggleButton = new OpenToggleButton(this);
    m_toggleButton->SetBounds(2, 2, 13, 13);
    m_toggleButton->onToggle.Add(this, &TreeNode::OnToggleButtonPress);

    m_title = new Button(this);
    m_title->Dock(Pos::Top);
    m_title->SetMargin(Margin(16, 0, 0, 0));
    m_title->SetAlignment(Pos::Left | Pos::CenterV);
    m_title->SetShouldDrawBackground(false);
    m_title->onDoubleClick.Add(this, &TreeNode::OnDoubleClickName);
    m_title->onDown.Add(this, &TreeNode::OnClickName);
    m_title->SetHeight(16);

    Base* inner = new Base(this);
    inner->Dock(Pos::Top);
    inner->SetHeight(100);
    inner->SetMargin(Margin(14, 1, 0, 0));
    inner->Hide();
    m_innerPanel = inner;
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
    node->SetTreeControl(m_treeControl);
    if (m_treeControl)
        m_treeControl->OnNodeAdded(node);
    return node;
}

void TreeNode::SetText(const std::string& text)
{
    m_title->SetText(text);
}

void TreeNode::SetText(const std::wstring& text)
{
    m_title->SetText(text);
}

void TreeNode::Open()
{
    m_innerPanel->Show();
    if (m_toggleButton)
        m_toggleButton->SetToggleState(true);
    Invalidate();
}

void TreeNode::Close()
{
    m_innerPanel->Hide();
    if (m_toggleButton)
        m_toggleButton->SetToggleState(false);
    Invalidate();
}

void TreeNode::ExpandAll()
{
    Open();
    // Through GetChildren: a tree control's nodes sit inside its scroller's own inner panel.
    for (Base* child : m_innerPanel->GetChildren())
        if (auto* node = dynamic_cast<TreeNode*>(child))
            node->ExpandAll();
}

void TreeNode::SetSelected(bool selected)
{
    if (!m_selectable || m_selected == selected)
        return;
    m_selected = selected;
    onSelectChange.Call(this);
    if (m_selected)
        onSelect.Call(this);
    else
        onUnselect.Call(this);
}

void TreeNode::DeselectAll()
{
    m_selected = false;
    for (Base* child : m_innerPanel->GetChildren())
        if (auto* node = dynamic_cast<TreeNode*>(child))
            node->DeselectAll();
}

void TreeNode::OnToggleButtonPress(Base* /*control*/)
{
    if (m_toggleButton->GetToggleState())
        Open();
    else
        Close();
}

void TreeNode::OnDoubleClickName(Base* /*control*/)
{
    if (m_toggleButton->Visible())
        m_toggleButton->Toggle();
}

void TreeNode::OnClickName(Base* /*control*/)
{
    onNamePress.Call(this);
    SetSelected(!IsSelected());
}

void TreeNode::Layout(Skin::Base* skin)
{
    if (m_toggleButton)
    {
        if (m_innerPanel->NumChildren() == 0)
        {
            m_toggleButton->Hide();
            m_toggleButton->SetToggleState(false);
            m_innerPanel->Hide();
        }
        else
        {
            m_toggleButton->Show();
            m_innerPanel->SizeToChildren(false, true);
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
    const int toggleMiddle =
        static_cast<int>(std::trunc(m_toggleButton->Y() + m_toggleButton->Height() * 0.5));
    const List& nodes = m_innerPanel->OwnChildren();
    const int lastChildBottom = nodes.empty() ? 0 : nodes.back()->Y() + m_innerPanel->Y();
    skin->DrawTreeNode(this, IsOpen(), IsSelected(), m_title->Height(), m_title->TextRight(), toggleMiddle,
                       lastChildBottom, dynamic_cast<TreeControl*>(GetParent()) != nullptr);
}

TreeControl::TreeControl(Base* parent) : TreeNode(parent)
{
    m_treeControl = this;
    // The root has no title, toggle or panel of a node: its nodes go into a scroller.
    delete m_toggleButton;
    m_toggleButton = nullptr;
    delete m_title;
    m_title = nullptr;
    delete m_innerPanel;

    m_scrollControl = AddVerticalScroller(this);
    m_innerPanel = m_scrollControl;
    m_scrollControl->SetInnerSize(1000, 1000);
}

void TreeControl::Clear()
{
    m_scrollControl->Clear();
}

void TreeControl::OnNodeAdded(TreeNode* node)
{
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
    if (m_scrollControl)
        m_scrollControl->UpdateScrollBars();
}

} // namespace Gui::Controls
