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

// The rows' values are found again by walking the object anew in the same order as when the rows were
// made: a row never keeps a pointer into the object, which may have handed over a temporary.
class RowPass final : public LegibleOutputSerializer
{
public:
    // Shows every row's value (rows being edited keep their text); or writes text into row target's value.
    RowPass(const std::vector<Updateable*>& rows, std::size_t target = SIZE_MAX, std::string text = {})
        : m_rows(rows), m_target(target), m_text(std::move(text))
    {
    }

    bool HasExistence() const override { return false; }
    void InjectExistence(std::vector<bool>&) override {}
    std::vector<bool>* GetExistence() override { return nullptr; }
    bool Exists(const char*) override { return true; }
    void BeginGroup(const char*& name) override { GetSerializedTag(name); }
    void EndGroup() override {}
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

private:
    template <class T> void Visit(T& value);

    const std::vector<Updateable*>& m_rows;
    std::size_t m_target;
    std::string m_text;
    std::size_t m_next = 0;
};

template <class T> class Updater final : public Gui::Controls::Property::Text, public Updateable
{
public:
    Updater(const T& value, Gui::Controls::Base* parent, std::size_t index, GuiSerializer& owner)
        : Text(parent), m_index(index), m_owner(owner)
    {
        m_textBox->onTextChanged.Add(this, &Updater::OnTextChanged);
        Show(value);
    }

    // Showing never writes the field back.
    void Show(const T& value)
    {
        if (!IsEditing())
            SetPropertyValue(Gui::Utility::StringToUnicode(ValueText(value)), false);
    }

    // The user's text into the field, when it converts.
    void Write(T& field, const std::string& text)
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
        m_owner.WriteRow(m_index, text);
    }

    std::size_t m_index;
    GuiSerializer& m_owner;
};

template <class T> void RowPass::Visit(T& value)
{
    const std::size_t index = m_next++;
    if (index >= m_rows.size())
        return;
    // A row of another type means the object no longer walks as it did: nothing is shown or written.
    auto* row = dynamic_cast<Updater<T>*>(m_rows[index]);
    if (!row)
        return;
    if (m_target == SIZE_MAX)
        row->Show(value);
    else if (index == m_target)
        row->Write(value, m_text);
}

} // namespace

GuiSerializer::GuiSerializer(Gui::Controls::Base* parent, Walk walk)
    : m_window(new Gui::Controls::ResizableControl(parent)),
      m_tree(new Gui::Controls::PropertyTree(m_window)), m_walk(std::move(walk))
{
    m_window->Dock(Gui::Pos::Fill);
    m_window->OnDestroyed.Add(this, &GuiSerializer::WindowDestroyed);
    m_tree->Dock(Gui::Pos::Fill);
    m_tree->Open();
    m_nodeStack.push_back(m_tree);
    m_walk(*this);
}

void GuiSerializer::WriteRow(std::size_t index, const std::string& text)
{
    RowPass pass(m_rows, index, text);
    m_walk(pass);
}

GuiSerializer::~GuiSerializer()
{
    m_rows.clear();
    delete m_window;
}

void GuiSerializer::WindowDestroyed(Gui::Controls::Base* /*window*/)
{
    m_rows.clear();
    m_window = nullptr;
    m_tree = nullptr;
    m_properties = nullptr;
    m_nodeStack.clear();
}

void GuiSerializer::BeginGroup(const char*& name)
{
    m_justEnded = false;
    if (!m_pendingName.empty() && !m_nodeStack.empty())
    {
        auto* node = new Gui::Controls::PropertyTreeNode(m_nodeStack.back());
        node->SetText(m_pendingName);
        node->Dock(Gui::Pos::Top);
        if (m_pendingName == "Transform")
            m_transformNode = node;
        else if (m_pendingName == "Nameable")
            m_nameableNode = node;
        m_nodeStack.push_back(node);
        m_pendingName.clear();
    }
    const std::string tag = GetSerializedTag(name);
    if (IsUnusedTag(tag))
    {
        m_transparent.push_back(true);
        return;
    }
    m_pendingName = tag;
    m_properties = nullptr;
    m_transparent.push_back(false);
}

void GuiSerializer::EndGroup()
{
    // An end without its begin changes nothing, and the tree at the bottom of the stack stays.
    if (m_transparent.empty())
        return;
    if (m_justEnded && !m_transparent.back() && m_nodeStack.size() > 1)
        m_nodeStack.pop_back();
    m_transparent.pop_back();
    m_justEnded = true;
    m_pendingName.clear();
    m_properties = nullptr;
}

template <class T> void GuiSerializer::AddRow(T& value)
{
    m_justEnded = false;
    if (m_nodeStack.empty())
        return;
    if (!m_properties)
    {
        m_properties = new Gui::Controls::Properties(m_nodeStack.back());
        m_properties->Dock(Gui::Pos::Top);
    }
    auto* row = new Updater<T>(value, m_properties, m_rows.size(), *this);
    m_properties->AddWithProperty(m_pendingName, row);
    m_rows.push_back(row);
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
    RowPass pass(m_rows);
    m_walk(pass);
    m_refreshTimer = 0.0f;
}

void GuiSerializer::Expand()
{
    if (!m_tree)
        return;
    const Gui::Controls::List& nodes = m_tree->GetChildren();
    if (!nodes.empty())
        if (auto* first = dynamic_cast<Gui::Controls::TreeNode*>(nodes.front()))
            first->Open();
    if (m_transformNode)
        m_transformNode->ExpandAll();
    if (m_nameableNode)
        m_nameableNode->ExpandAll();
    m_transformNode = nullptr;
    m_nameableNode = nullptr;
}

} // namespace Quarn
