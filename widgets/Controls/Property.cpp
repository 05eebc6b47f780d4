#include "widgets/Controls/Property.h"

#include "widgets/Controls/TextBox.h"
#include "widgets/Utility.h"

namespace Gui::Controls::Property
{

std::string Base::GetPropertyValueAnsi()
{
    return Utility::UnicodeToString(GetPropertyValue());
}

void Base::SetPropertyValue(const std::string& value, bool fireChangeEvents)
{
    SetPropertyValue(Utility::StringToUnicode(value), fireChangeEvents);
}

Text::Text(Controls::Base* parent) : Base(parent), m_textBox(new TextBox(this))
{
    m_textBox->Dock(Pos::Fill);
    m_textBox->SetShouldDrawBackground(false);
    m_textBox->onTextChanged.Add(static_cast<Base*>(this), &Base::OnPropertyValueChanged);
}

TextBox* Text::Box()
{
    return m_textBox.Get();
}

void Text::SetPropertyValue(const std::wstring& value, bool fireChangeEvents)
{
    if (TextBox* box = m_textBox.Get())
        box->SetText(value, fireChangeEvents);
}

std::wstring Text::GetPropertyValue()
{
    TextBox* box = m_textBox.Get();
    return box ? box->GetText() : std::wstring();
}

bool Text::IsEditing()
{
    TextBox* box = m_textBox.Get();
    return box && box->HasFocus();
}

} // namespace Gui::Controls::Property
