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

void Text::SetPropertyValue(const std::wstring& value, bool fireChangeEvents)
{
    m_textBox->SetText(value, fireChangeEvents);
}

std::wstring Text::GetPropertyValue()
{
    return m_textBox->GetText();
}

bool Text::IsEditing()
{
    return m_textBox->HasFocus();
}

} // namespace Gui::Controls::Property
