#pragma once

#include "widgets/Controls/Button.h"

// The plus/minus toggle that opens and closes a tree node.
class OpenToggleButton : public Gui::Controls::Button
{
public:
    explicit OpenToggleButton(Gui::Controls::Base* parent) : Button(parent)
    {
        SetIsToggle(true);
        SetTabable(false);
    }

    void Render(Gui::Skin::Base* skin) override;
    void RenderFocus(Gui::Skin::Base* /*skin*/) override {}
};
