#include "widgets/Controls/CheckBoxWithLabel.h"

#include "widgets/Controls/CheckBox.h"
#include "widgets/Controls/LabelClickable.h"

namespace Gui::Controls
{

CheckBoxWithLabel::CheckBoxWithLabel(Base* parent) : Base(parent)
{
    SetSize(200, 19);
    auto* checkBox = new CheckBox(this);
    checkBox->Dock(Pos::Left);
    checkBox->SetMargin(Margin(0, 3, 3, 3));
    checkBox->SetTabable(false);
    auto* label = new LabelClickable(this);
    label->Dock(Pos::Fill);
    label->onPress.Add(static_cast<Button*>(checkBox), &Button::ReceiveEventPress);
    label->SetTabable(false);
    m_checkBox = checkBox;
    m_label = label;
    SetTabable(false);
}

CheckBox* CheckBoxWithLabel::Checkbox()
{
    return m_checkBox.Get();
}

LabelClickable* CheckBoxWithLabel::Label()
{
    return m_label.Get();
}

bool CheckBoxWithLabel::OnKeySpace(bool down)
{
    if (CheckBox* checkBox = m_checkBox.Get(); checkBox && down)
        checkBox->SetChecked(!checkBox->IsChecked());
    return true;
}

} // namespace Gui::Controls
