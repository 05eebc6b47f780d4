#pragma once

#include "widgets/Controls/Properties.h"
#include "widgets/Controls/Property.h"
#include "widgets/Controls/TextBox.h"

#include <string>

namespace Quarn::test
{

// The text box of the inspector row with the label, anywhere below the control.
inline Gui::Controls::TextBox* RowBox(Gui::Controls::Base* control, const std::wstring& label)
{
    if (auto* row = dynamic_cast<Gui::Controls::PropertyRow*>(control))
        if (row->GetLabel()->GetText() == label)
            if (auto* text = dynamic_cast<Gui::Controls::Property::Text*>(row->GetProperty()))
                return text->Box();
    for (Gui::Controls::Base* child : control->OwnChildren())
        if (Gui::Controls::TextBox* found = RowBox(child, label))
            return found;
    return nullptr;
}

} // namespace Quarn::test
