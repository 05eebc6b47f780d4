#include "UI/GuiSerializer.h"

#include "Core/LowerCase.h"
#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Resources/SerializerTypes.h"
#include "Resources/XMLSerializer.h"
#include "widgets/Controls/Properties.h"
#include "widgets/Controls/PropertyTree.h"
#include "widgets/Controls/ResizableControl.h"
#include "widgets/Controls/TextBox.h"
#include "widgets/Utility.h"

#include <cctype>
#include <optional>
#include <utility>

namespace Quarn
{

namespace
{

// A field as its row shows it: a character as itself, a string as it is, anything else as the XML files
// write it (a byte as its number, truth as "0" or "1").
template <class T> std::string ValueText(const T& value)
{
    if constexpr (std::is_same_v<T, std::string>)
        return value;
    else if constexpr (std::is_same_v<T, std::int8_t>)
        return std::string(1, static_cast<char>(value));
    else
    {
        std::string text;
        XMLSerializer::ValueText(value, text);
        return text;
    }
}

// The text of a row converted back to its field's type, or nothing when it does not convert.
template <class T> std::optional<T> ParseText(const std::string& text)
{
    if constexpr (std::is_same_v<T, std::string>)
        return text;
    else if constexpr (std::is_same_v<T, std::int8_t>)
    {
        // A letter is itself; anything else is a number whose low byte is stored.
        if (std::isalpha(static_cast<unsigned char>(text.front())))
            return static_cast<std::int8_t>(text.front());
        std::int16_t number = 0;
        if (!XMLSerializer::ValueFromText(text.c_str(), number))
            return std::nullopt;
        return static_cast<std::int8_t>(number & 0xFF);
    }
    else if constexpr (std::is_same_v<T, std::uint8_t>)
    {
        // A byte is a number 0..255 (the files' reading wraps wider numbers).
        std::uint16_t number = 0;
        if (!XMLSerializer::ValueFromText(text.c_str(), number) || number > 255)
            return std::nullopt;
        return static_cast<std::uint8_t>(number);
    }
    else
    {
        T value{};
        if (!XMLSerializer::ValueFromText(text.c_str(), value))
            return std::nullopt;
        return value;
    }
}

} // namespace

void ValuePath::BeginGroup(const char* name)
{
    const std::uint64_t identity = m_identity ? m_identity(m_groups.size(), name) : 0;
    Group& parent = m_groups.back();
    const int place = parent.groupsByName[name]++;
    // Names are C strings: a zero byte cannot occur in one.
    std::string path = parent.path;
    path.append(name).push_back('\0');
    path.append(std::to_string(identity)).push_back('\0');
    path.append(std::to_string(place)).push_back('\0');
    m_groups.push_back({std::move(path), {}, 0});
}

void ValuePath::EndGroup()
{
    if (m_groups.size() > 1)
        m_groups.pop_back();
}

std::string ValuePath::NextValue()
{
    Group& group = m_groups.back();
    return group.path + '@' + std::to_string(group.values++);
}

namespace
{

template <class T> class Updater final : public Gui::Controls::Property::Text
{
public:
    Updater(const T& value, Gui::Controls::Base* parent, std::string path,
            std::shared_ptr<GuiSerializer*> inspector)
        : Text(parent), m_path(std::move(path)), m_inspector(std::move(inspector))
    {
        m_textBox->onTextChanged.Add(this, &Updater::OnTextChanged);
        ShowValue(value);
    }

    // Showing never writes the field back.
    void ShowValue(const T& value)
    {
        if (!IsEditing())
            SetPropertyValue(Gui::Utility::StringToUnicode(ValueText(value)), false);
    }

    // The user's text into the field, when it converts.
    static void Write(T& field, const std::string& text)
    {
        if (const std::optional<T> value = ParseText<T>(text))
            field = *value;
        else
            OutputHandler::Get().Log("Inspector: \"%s\" is no value for this field; it keeps its value",
                                     text.c_str());
    }

private:
    void OnTextChanged(Gui::Controls::Base*)
    {
        const std::string text = Gui::Utility::UnicodeToString(m_textBox->GetText());
        if (text.empty())
        {
            constexpr const char* kExpression =
                std::is_same_v<T, std::int8_t> ? "v.empty()" : "m_TextBox->GetText().empty()";
            QUARN_ASSERT_FAILED_AS(kExpression, "Should not be empty!");
            return;
        }
        if (GuiSerializer* inspector = *m_inspector)
            inspector->WriteRow(m_path, text);
    }

    std::string m_path;
    std::shared_ptr<GuiSerializer*> m_inspector;
};

} // namespace

// A walk of the object that finds each row's value by its path: shows every row's value (rows being
// edited keep their text), or writes a text into the value of one row.
class GuiSerializer::RowPass final : public LegibleOutputSerializer
{
public:
    RowPass(const std::vector<Row>& rows, const std::unordered_map<std::string, std::size_t>& rowByPath,
            const GroupIdentity& identity, const std::string* target = nullptr, std::string text = {})
        : m_rows(rows), m_rowByPath(rowByPath), m_target(target), m_text(std::move(text)), m_path(identity),
          m_found(rows.size())
    {
    }

    bool HasExistence() const override { return false; }
    void InjectExistence(std::vector<bool>&) override {}
    std::vector<bool>* GetExistence() override { return nullptr; }
    bool Exists(const char*) override { return true; }
    void BeginGroup(const char*& name) override
    {
        m_path.BeginGroup(name);
        GetSerializedTag(name);
    }
    void EndGroup() override { m_path.EndGroup(); }
    void SequenceSize(std::uint32_t&, const char*&) override {}
    void Serialize(double& value) override { Visit(value); }
    void Serialize(float& value) override { Visit(value); }
    void Serialize(unsigned long long& value) override { Visit(value); }
    void Serialize(std::uint32_t& value) override { Visit(value); }
    void Serialize(std::uint16_t& value) override { Visit(value); }
    void Serialize(std::uint8_t& value) override { Visit(value); }
    void Serialize(long long& value) override { Visit(value); }
    void Serialize(std::int32_t& value) override { Visit(value); }
    void Serialize(std::int16_t& value) override { Visit(value); }
    void Serialize(std::int8_t& value) override { Visit(value); }
    void Serialize(bool& value) override { Visit(value); }
    void Serialize(std::string& value) override { Visit(value); }
    using Serializer::BeginGroup;
    using Serializer::SequenceSize;
    using Serializer::Serialize;

    // Whether the walk found the value of the row at index, of the row's own type.
    bool Found(std::size_t index) const { return m_found[index]; }

private:
    template <class T> void Visit(T& value)
    {
        const std::string path = m_path.NextValue();
        const auto row = m_rowByPath.find(path);
        if (row == m_rowByPath.end() || !m_rows[row->second].live)
            return;
        // A value of another type at the path is another field.
        auto* updater = dynamic_cast<Updater<T>*>(m_rows[row->second].control.Get());
        if (!updater)
            return;
        m_found[row->second] = true;
        if (!m_target)
            updater->ShowValue(value);
        else if (path == *m_target)
            Updater<T>::Write(value, m_text);
    }

    const std::vector<Row>& m_rows;
    const std::unordered_map<std::string, std::size_t>& m_rowByPath;
    const std::string* m_target;
    std::string m_text;
    ValuePath m_path;
    std::vector<bool> m_found;
};

GuiSerializer::GuiSerializer(Gui::Controls::Base* parent, Walk walk, GroupIdentity identity)
    : m_path(identity), m_walk(std::move(walk)), m_identity(std::move(identity)),
      m_lifeline(std::make_shared<GuiSerializer*>(this))
{
    auto* window = new Gui::Controls::ResizableControl(parent);
    window->Dock(Gui::Pos::Fill);
    auto* tree = new Gui::Controls::PropertyTree(window);
    tree->Dock(Gui::Pos::Fill);
    tree->Open();
    m_window = window;
    m_tree = tree;
    m_nodeStack.emplace_back(tree);
    m_walk(*this);
}

GuiSerializer::~GuiSerializer()
{
    *m_lifeline = nullptr;
    if (Gui::Controls::ResizableControl* window = m_window.Get())
    {
        if (window->GetCanvas())
            window->DelayedDelete();
        else
            delete window;
    }
}

void GuiSerializer::WriteRow(const std::string& path, const std::string& text)
{
    RowPass pass(m_rows, m_rowByPath, m_identity, &path, text);
    Pass(pass);
}

void GuiSerializer::Pass(RowPass& pass)
{
    m_walk(pass);
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (!pass.Found(i))
            m_rows[i].live = false;
}

void GuiSerializer::BeginGroup(const char*& name)
{
    m_path.BeginGroup(name);
    m_justEnded = false;
    if (!m_pendingName.empty() && !m_nodeStack.empty())
    {
        Gui::Controls::PropertyTreeNode* node = nullptr;
        if (Gui::Controls::Base* parent = m_nodeStack.back().Get())
        {
            node = new Gui::Controls::PropertyTreeNode(parent);
            node->SetText(m_pendingName);
            node->Dock(Gui::Pos::Top);
            if (m_pendingName == "Transform")
                m_transformNode = node;
            else if (m_pendingName == "Nameable")
                m_nameableNode = node;
        }
        m_nodeStack.emplace_back(node);
        m_pendingName.clear();
    }
    const std::string tag = GetSerializedTag(name);
    if (IsUnusedTag(tag))
    {
        m_transparent.push_back(true);
        return;
    }
    m_pendingName = tag;
    m_properties = {};
    m_transparent.push_back(false);
}

void GuiSerializer::EndGroup()
{
    // An end without its begin changes nothing, and the tree at the bottom of the stack stays.
    if (m_transparent.empty())
        return;
    m_path.EndGroup();
    if (m_justEnded && !m_transparent.back() && m_nodeStack.size() > 1)
        m_nodeStack.pop_back();
    m_transparent.pop_back();
    m_justEnded = true;
    m_pendingName.clear();
    m_properties = {};
}

template <class T> void GuiSerializer::AddRow(T& value)
{
    std::string path = m_path.NextValue();
    m_justEnded = false;
    Gui::Controls::Base* section = m_nodeStack.empty() ? nullptr : m_nodeStack.back().Get();
    if (!section)
        return;
    if (!m_properties)
    {
        auto* properties = new Gui::Controls::Properties(section);
        properties->Dock(Gui::Pos::Top);
        m_properties = properties;
    }
    auto* row = new Updater<T>(value, m_properties.Get(), path, m_lifeline);
    m_properties->AddWithProperty(m_pendingName, row);
    m_rowByPath.emplace(std::move(path), m_rows.size());
    m_rows.push_back({row});
    m_pendingName.clear();
}

void GuiSerializer::Serialize(double& value)
{
    AddRow(value);
}
void GuiSerializer::Serialize(float& value)
{
    AddRow(value);
}
void GuiSerializer::Serialize(unsigned long long& value)
{
    AddRow(value);
}
void GuiSerializer::Serialize(std::uint32_t& value)
{
    AddRow(value);
}
void GuiSerializer::Serialize(std::uint16_t& value)
{
    AddRow(value);
}
void GuiSerializer::Serialize(std::uint8_t& value)
{
    AddRow(value);
}
void GuiSerializer::Serialize(long long& value)
{
    AddRow(value);
}
void GuiSerializer::Serialize(std::int32_t& value)
{
    AddRow(value);
}
void GuiSerializer::Serialize(std::int16_t& value)
{
    AddRow(value);
}
void GuiSerializer::Serialize(std::int8_t& value)
{
    AddRow(value);
}
void GuiSerializer::Serialize(bool& value)
{
    AddRow(value);
}
void GuiSerializer::Serialize(std::string& value)
{
    AddRow(value);
}

void GuiSerializer::Update(float dt)
{
    m_refreshTimer += dt;
    if (m_refreshTimer <= 0.5f)
        return;
    RowPass pass(m_rows, m_rowByPath, m_identity);
    Pass(pass);
    m_refreshTimer = 0.0f;
}

void GuiSerializer::Expand()
{
    // Opening a section runs its toggle button's events, whose scripts may close this inspector: the
    // sections are taken first, and the inspector is not touched once the first opens.
    Gui::Controls::Ref<Gui::Controls::TreeNode> first;
    if (m_tree)
        if (const Gui::Controls::List& nodes = m_tree->GetChildren(); !nodes.empty())
            first = dynamic_cast<Gui::Controls::TreeNode*>(nodes.front());
    const Gui::Controls::Ref<Gui::Controls::PropertyTreeNode> transform = std::exchange(m_transformNode, {});
    const Gui::Controls::Ref<Gui::Controls::PropertyTreeNode> nameable = std::exchange(m_nameableNode, {});
    if (first)
        first->Open();
    if (transform)
        transform->ExpandAll();
    if (nameable)
        nameable->ExpandAll();
}

} // namespace Quarn
