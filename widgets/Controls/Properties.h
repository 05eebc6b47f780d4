#pragma once

#include "widgets/Controls/Base.h"

#include <string>

namespace Gui::Controls
{

class Label;
class SplitterBar;
class PropertyRow;

namespace Property
{
class Base;
}

// A grid of named values, one row each, with a splitter that sets the label column's width (80 at
// first) for every row. Its height follows its rows.
class Properties : public Base
{
public:
    explicit Properties(Base* parent);

    virtual int GetSplitWidth();
    // Removes the rows at the next delayed-delete pass; the splitter stays.
    virtual void Clear();
    virtual void OnSplitterMoved(Base* control);

    PropertyRow* Add(const std::wstring& label, Property::Base* property);
    // A text editor holding the value, set without a change event.
    PropertyRow* Add(const std::wstring& label, const std::wstring& value = L"");
    PropertyRow* AddWithValue(const std::string& label, const std::string& value);
    PropertyRow* AddWithProperty(const std::string& label, Property::Base* property);

    void PostLayout(Skin::Base* skin) override;

    SplitterBar* Splitter() { return m_splitter; }

private:
    SplitterBar* m_splitter;
};

// A label and a value editor side by side; its change event fires when the value changes.
class PropertyRow : public Base
{
public:
    explicit PropertyRow(Base* parent);

    virtual Label* GetLabel() { return m_label; }
    // Takes the editor as its child, filling the row beside the label.
    virtual void SetProperty(Property::Base* property);
    virtual Property::Base* GetProperty() { return m_property; }

    void Render(Skin::Base* skin) override;
    void Layout(Skin::Base* skin) override;

    Event::Caller onChange;

private:
    void OnPropertyChanged(Base* control);

    Label* m_label;
    Property::Base* m_property = nullptr;
};

} // namespace Gui::Controls
