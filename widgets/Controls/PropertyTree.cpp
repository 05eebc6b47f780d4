#include "widgets/Controls/PropertyTree.h"

#include "widgets/Controls/Properties.h"
#include "widgets/Skin.h"

namespace Gui::Controls
{

void PropertyTreeNode::Render(Skin::Base* skin)
{
    Base* inner = m_innerPanel.Get();
    skin->DrawPropertyTreeNode(this, inner ? inner->X() : 0, inner ? inner->Y() : 0);
}

Properties* PropertyTree::Add(const std::wstring& label)
{
    auto* node = new PropertyTreeNode(this);
    node->SetText(label);
    node->Dock(Pos::Top);
    auto* properties = new Properties(node);
    properties->Dock(Pos::Top);
    return properties;
}

} // namespace Gui::Controls
