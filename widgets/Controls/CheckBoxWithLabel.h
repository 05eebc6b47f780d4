#pragma once

#include "widgets/Controls/Base.h"

namespace Gui::Controls
{

class CheckBox;
class LabelClickable;

// A check box with a text beside it; clicking the text toggles the box.
class CheckBoxWithLabel : public Base
{
public:
    explicit CheckBoxWithLabel(Base* parent);

    // Null once a script has deleted it.
    virtual CheckBox* Checkbox();
    virtual LabelClickable* Label();

    bool OnKeySpace(bool down) override;

private:
    Ref<CheckBox> m_checkBox;
    Ref<LabelClickable> m_label;
};

} // namespace Gui::Controls
