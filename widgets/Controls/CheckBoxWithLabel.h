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

    virtual CheckBox* Checkbox() { return m_checkBox; }
    virtual LabelClickable* Label() { return m_label; }

    bool OnKeySpace(bool down) override;

private:
    CheckBox* m_checkBox;
    LabelClickable* m_label;
};

} // namespace Gui::Controls
