#pragma once

#include "widgets/Controls/Button.h"

namespace Gui::Controls
{

// A button drawn as its bare text, left-aligned and centred vertically.
class LabelClickable : public Button
{
public:
    explicit LabelClickable(Base* parent) : Button(parent)
    {
        SetIsToggle(false);
        SetAlignment(Pos::Left | Pos::CenterV);
    }

    void Render(Skin::Base* /*skin*/) override {}
};

} // namespace Gui::Controls
