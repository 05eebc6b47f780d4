#include "widgets/Controls/CheckBoxWithLabel.h"

#include "widgets/Controls/CheckBox.h"
#include "widgets/Controls/LabelClickable.h"

namespace Gui::Controls
{

CheckBoxWithLabel::CheckBoxWithLabel(Base* parent) : Base(parent)
{
    SetSize(200, 19);
    m_checkBox = new CheckBox(this);
    m_checkBox->Dock(Pos::Left);
    m_checkBox->SetMargin(Margin(0, 3, 3, 3));
    m_checkBox->SetTabable(false);
    m_label = new LabelClickable(this);
    m_label->Dock(Pos::Fill);
    m_label->onPress.Add(static_cast<Button*>(m_checkBox), &Button::ReceiveEventPress);
    m_label->SetTabable(false);
    SetTabable(false);
}

bool CheckBoxWithLabel::OnKeySpace(bool down)
{
    if (down)
        m_checkBox->SetChecked(!m_checkBox->IsChecked());
    return true;
}

} // namespace Gui::Controls
