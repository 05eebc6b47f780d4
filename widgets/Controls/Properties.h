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
// first) for every row. Its height follows its rows. Without its splitter (a script deleted it) the split
// is 0 and the rows keep their label widths.
class Properties : public Base
{
public:
    explicit Properties(Base* parent);

    virtual int GetSplitWidth();
    // Removes the rows at the next delayed-delete pass; the splitter stays.
    virtual void Clear();
    virtual void OnSplitterMoved(Base* control);

    // A null property: no row (null).
    PropertyRow* Add(const std::wstring& label, Property::Base* property);
    // A text editor holding the value, set without a change event.
    PropertyRow* Add(const std::wstring& label, const std::wstring& value = L"");
    PropertyRow* AddWithValue(const std::string& label, const std::string& value);
    PropertyRow* AddWithProperty(const std::string& label, Property::Base* property);

    void PostLayout(Skin::Base* skin) override;

    SplitterBar* Splitter();

private:
    Ref<SplitterBar> m_splitter;
};

// A label and a value editor side by side; its change event fires when the value changes. A label or
// editor a script deleted is missing.
class PropertyRow : public Base
{
public:
    explicit PropertyRow(Base* parent);

    virtual Label* GetLabel();
    // Takes the editor as its child, filling the row beside the label (null: nothing).
    virtual void SetProperty(Property::Base* property);
    virtual Property::Base* GetProperty();

    void Render(Skin::Base* skin) override;
    void Layout(Skin::Base* skin) override;

    Event::Caller onChange;

private:
    void OnPropertyChanged(Base* control);

    Ref<Label> m_label;
    Ref<Property::Base> m_property;
};

} // namespace Gui::Controls
