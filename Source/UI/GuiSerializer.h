#pragma once

#include "Resources/Serializer.h"
#include "widgets/Controls/Property.h"
#include "widgets/Events.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Gui::Controls
{
class Properties;
class PropertyTree;
class PropertyTreeNode;
class ResizableControl;
} // namespace Gui::Controls

namespace Quarn
{

// A row of the inspector (its type is known again when the object is walked).
class Updateable
{
public:
    virtual ~Updateable() = default;
};

// The object inspector: a serializer that, instead of writing, builds a property tree of the object's
// groups and one editable row per value. The rows keep no pointer into the object: showing and writing
// walk the object again (an object may hand over temporaries), and once it is gone the walk finds nothing,
// so the rows neither show nor write. Showing a value never writes it; only the user's edit does, and a
// text that does not convert is logged and the field kept.
// The handler comes first: events call their handlers' member functions through the handler base.
class GuiSerializer : public Gui::Event::Handler, public LegibleOutputSerializer
{
public:
    // Walks the inspected object through a serializer: its groups and values, always in the same order;
    // nothing once the object is gone.
    using Walk = std::function<void(Serializer&)>;
    // Builds the tree by walking the object once.
    GuiSerializer(Gui::Controls::Base* parent, Walk walk);
    ~GuiSerializer() override;
    GuiSerializer(const GuiSerializer&) = delete;
    GuiSerializer& operator=(const GuiSerializer&) = delete;

    bool HasExistence() const override { return false; }
    void InjectExistence(std::vector<bool>&) override {}
    std::vector<bool>* GetExistence() override { return nullptr; }
    bool Exists(const char*) override { return true; }
    void BeginGroup(const char*& name) override;
    void EndGroup() override;
    void SequenceSize(std::uint32_t&, const char*&) override {}
    void Serialize(double& value) override;
    void Serialize(float& value) override;
    void Serialize(unsigned long long& value) override;
    void Serialize(std::uint32_t& value) override;
    void Serialize(std::uint16_t& value) override;
    void Serialize(std::uint8_t& value) override;
    void Serialize(long long& value) override;
    void Serialize(std::int32_t& value) override;
    void Serialize(std::int16_t& value) override;
    void Serialize(std::int8_t& value) override;
    void Serialize(bool& value) override;
    void Serialize(std::string& value) override;
    using Serializer::BeginGroup;
    using Serializer::SequenceSize;
    using Serializer::Serialize;

    // Every half second the rows show their fields' current values (a row being edited keeps its text).
    void Update(float dt);
    // Opens the first section, and the "Transform" and "Nameable" sections whole (once).
    void Expand();
    // The user's text for the row at index, written into its value by walking the object again.
    void WriteRow(std::size_t index, const std::string& text);

    Gui::Controls::PropertyTree* Tree() { return m_tree; }
    Gui::Controls::ResizableControl* Window() { return m_window; }

private:
    template <class T> void AddRow(T& value);
    // The window went with its parent: so did every row.
    void WindowDestroyed(Gui::Controls::Base* window);

    Gui::Controls::ResizableControl* m_window;
    Gui::Controls::PropertyTree* m_tree;
    std::vector<Gui::Controls::Base*> m_nodeStack;
    // Owned by the window's tree, like every control of the inspector.
    std::vector<Updateable*> m_rows;
    Gui::Controls::Properties* m_properties = nullptr;
    std::vector<bool> m_transparent;
    Gui::Controls::PropertyTreeNode* m_transformNode = nullptr;
    Gui::Controls::PropertyTreeNode* m_nameableNode = nullptr;
    std::string m_pendingName;
    bool m_justEnded = false;
    float m_refreshTimer = 0.0f;
    Walk m_walk;
};

} // namespace Quarn
