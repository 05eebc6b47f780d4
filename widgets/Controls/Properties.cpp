#include "widgets/Controls/Properties.h"

#include "widgets/Controls/Dragger.h"
#include "widgets/Controls/Label.h"
#include "widgets/Controls/Property.h"
#include "widgets/Skin.h"
#include "widgets/Utility.h"

namespace Gui::Controls
{

Properties::Properties(Base* parent) : Base(parent), m_splitter(new SplitterBar(this))
{
    m_splitter->SetPos(80, 0);
    m_splitter->SetCursor(3);
    m_splitter->onDragged.Add(this, &Properties::OnSplitterMoved);
    m_splitter->SetShouldDrawBackground(false);
}

SplitterBar* Properties::Splitter()
{
    return m_splitter.Get();
}

int Properties::GetSplitWidth()
{
    return m_splitter ? m_splitter->X() : 0;
}

void Properties::OnSplitterMoved(Base* /*control*/)
{
    InvalidateChildren();
}

void Properties::Clear()
{
    const List children = m_children;
    for (Base* child : children)
        if (dynamic_cast<PropertyRow*>(child))
            child->DelayedDelete();
}

PropertyRow* Properties::Add(const std::wstring& label, Property::Base* property)
{
    if (!property)
        return nullptr;
    auto* row = new PropertyRow(this);
    row->Dock(Pos::Top);
    row->GetLabel()->SetText(label);
    row->SetProperty(property);
    if (m_splitter)
        m_splitter->BringToFront();
    return row;
}

PropertyRow* Properties::Add(const std::wstring& label, const std::wstring& value)
{
    auto* property = new Property::Text(this);
    property->SetPropertyValue(value, false);
    return Add(label, property);
}

PropertyRow* Properties::AddWithValue(const std::string& label, const std::string& value)
{
    return Add(Utility::StringToUnicode(label), Utility::StringToUnicode(value));
}

PropertyRow* Properties::AddWithProperty(const std::string& label, Property::Base* property)
{
    return Add(Utility::StringToUnicode(label), property);
}

void Properties::PostLayout(Skin::Base* /*skin*/)
{
    SplitterBar* splitter = m_splitter.Get();
    if (splitter)
        splitter->SetHeight(0);
    if (SizeToChildren(false, true))
        InvalidateParent();
    if (splitter)
        splitter->SetSize(3, Height());
}

PropertyRow::PropertyRow(Base* parent) : Base(parent), m_label(new Label(this))
{
    m_label->SetAlignment(Pos::Left | Pos::CenterV);
    m_label->Dock(Pos::Left);
    m_label->SetMargin(Margin(2, 0, 0, 0));
    SetHeight(16);
}

Label* PropertyRow::GetLabel()
{
    return m_label.Get();
}

Property::Base* PropertyRow::GetProperty()
{
    return m_property.Get();
}

void PropertyRow::SetProperty(Property::Base* property)
{
    if (!property)
        return;
    m_property = property;
    property->SetParent(this);
    property->Dock(Pos::Fill);
    property->onChange.Add(this, &PropertyRow::OnPropertyChanged);
}

void PropertyRow::OnPropertyChanged(Base* /*control*/)
{
    onChange.Call(this);
}

void PropertyRow::Layout(Skin::Base* /*skin*/)
{
    auto* grid = dynamic_cast<Properties*>(GetParent());
    if (m_label && grid && grid->Splitter())
        m_label->SetWidth(grid->GetSplitWidth());
}

void PropertyRow::Render(Skin::Base* skin)
{
    skin->DrawPropertyRow(this, m_label ? m_label->Right() : 0, m_property && m_property->IsEditing());
}

} // namespace Gui::Controls
