#pragma once

#include "widgets/Controls/TreeControl.h"

namespace Gui::Controls
{

class Properties;

// A tree node drawn as a section header over its grid.
class PropertyTreeNode : public TreeNode
{
public:
    explicit PropertyTreeNode(Base* parent) : TreeNode(parent) {}

    void Render(Skin::Base* skin) override;
};

// A tree of property grids, one per section.
class PropertyTree : public TreeControl
{
public:
    explicit PropertyTree(Base* parent) : TreeControl(parent) {}

    // A new section with the label and an empty grid under it.
    Properties* Add(const std::wstring& label);
};

} // namespace Gui::Controls
