#include "widgets/Controls/PropertyTree.h"

#include "widgets/Controls/Properties.h"
#include "widgets/Skin.h"

namespace Gui::Controls
{

void PropertyTreeNode::Render(Skin::Base* skin)
{
    skin->DrawPropertyTreeNode(this, m_innerPanel->X(), m_innerPanel->Y());
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
