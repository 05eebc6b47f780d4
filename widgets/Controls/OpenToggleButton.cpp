#include "widgets/Controls/OpenToggleButton.h"

#include "widgets/Skin.h"

void OpenToggleButton::Render(Gui::Skin::Base* skin)
{
    skin->DrawTreeButton(this, GetToggleState());
}
