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

int Properties::GetSplitWidth()
{
    return m_splitter->X();
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
    auto* row = new PropertyRow(this);
    row->Dock(Pos::Top);
    row->GetLabel()->SetText(label);
    row->SetProperty(property);
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
    m_splitter->SetHeight(0);
    if (SizeToChildren(false, true))
        InvalidateParent();
    m_splitter->SetSize(3, Height());
}

PropertyRow::PropertyRow(Base* parent) : Base(parent), m_label(new Label(this))
{
    m_label->SetAlignment(Pos::Left | Pos::CenterV);
    m_label->Dock(Pos::Left);
    m_label->SetMargin(Margin(2, 0, 0, 0));
    SetHeight(16);
}

void PropertyRow::SetProperty(Property::Base* property)
{
    m_property = property;
    m_property->SetParent(this);
    m_property->Dock(Pos::Fill);
    m_property->onChange.Add(this, &PropertyRow::OnPropertyChanged);
}

void PropertyRow::OnPropertyChanged(Base* /*control*/)
{
    onChange.Call(this);
}

void PropertyRow::Layout(Skin::Base* /*skin*/)
{
    if (auto* grid = dynamic_cast<Properties*>(GetParent()))
        m_label->SetWidth(grid->GetSplitWidth());
}

void PropertyRow::Render(Skin::Base* skin)
{
    skin->DrawPropertyRow(this, m_label->Right(), m_property && m_property->IsEditing());
}

} // namespace Gui::Controls
