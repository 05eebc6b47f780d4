#include "widgets/Controls/CheckBox.h"

#include "widgets/Skin.h"

namespace Gui::Controls
{

CheckBox::CheckBox(Base* parent) : Button(parent)
{
    SetSize(13, 13);
    m_checked = true;
    Toggle();
}

void CheckBox::SetChecked(bool checked)
{
    if (m_checked == checked)
        return;
    m_checked = checked;
    // The first event's handlers may delete the box.
    const Ref<Base> alive(this);
    if (checked)
        onChecked.Call(this);
    else
        onUnChecked.Call(this);
    if (alive)
        onCheckChanged.Call(this);
}

void CheckBox::Render(Skin::Base* skin)
{
    skin->DrawCheckBox(this, m_checked, IsDepressed());
}

void CheckBox::Press()
{
    if (!IsChecked() || AllowUncheck())
        Toggle();
}

} // namespace Gui::Controls
