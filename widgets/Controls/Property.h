#pragma once

#include "widgets/Controls/Base.h"

#include <string>

namespace Gui::Controls
{

class TextBox;

namespace Property
{

// The value half of a property row: shows a value as text, lets the user edit it, reports changes.
class Base : public Controls::Base
{
public:
    explicit Base(Controls::Base* parent) : Controls::Base(parent) {}

    virtual std::string GetPropertyValueAnsi();
    virtual void SetPropertyValue(const std::wstring& value, bool fireChangeEvents = false) = 0;
    virtual void SetPropertyValue(const std::string& value, bool fireChangeEvents = false);
    virtual std::wstring GetPropertyValue() = 0;
    virtual bool IsEditing() = 0;
    virtual void DoChanged() { onChange.Call(this); }
    virtual void OnPropertyValueChanged(Controls::Base* /*control*/) { DoChanged(); }

    Event::Caller onChange;
};

// A value edited in a text box. Without its box (a script deleted it) the value is empty and setting it
// does nothing.
class Text : public Base
{
public:
    explicit Text(Controls::Base* parent);

    using Base::SetPropertyValue;
    void SetPropertyValue(const std::wstring& value, bool fireChangeEvents = false) override;
    std::wstring GetPropertyValue() override;
    // While its text box has the keyboard focus.
    bool IsEditing() override;

    TextBox* Box();

protected:
    Ref<TextBox> m_textBox;
};

} // namespace Property
} // namespace Gui::Controls
