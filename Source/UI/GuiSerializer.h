#pragma once

#include "Resources/Serializer.h"
#include "widgets/Controls/Properties.h"
#include "widgets/Controls/Property.h"
#include "widgets/Controls/PropertyTree.h"
#include "widgets/Controls/ResizableControl.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace Quarn
{

// What a group of a walk stands for, where that can change between walks (a component replaced by
// another of its type): a number for the group of the name at the depth (1 for the groups a walk opens
// first), the same for the same thing at every walk; 0 for a group that needs none.
using GroupIdentity = std::function<std::uint64_t(std::size_t depth, const char* name)>;

// Where a value sits in a walk of an object: the groups around it, each by its name, its identity and its
// place among the groups of that name beside it, and the value's place among its group's own values.
// Other groups coming and going (a component removed) leave it unchanged; a group standing for something
// else (a new component in the old one's place) changes it.
class ValuePath
{
public:
    explicit ValuePath(GroupIdentity identity = {}) : m_identity(std::move(identity)) {}
    void BeginGroup(const char* name);
    // An end without its begin is ignored.
    void EndGroup();
    // The path of the next value in the group open now.
    std::string NextValue();

private:
    struct Group
    {
        std::string path;
        std::map<std::string, int> groupsByName;
        int values = 0;
    };
    GroupIdentity m_identity;
    std::vector<Group> m_groups{Group{}};
};

// The object inspector: a serializer that, instead of writing, builds a property tree of the object's
// groups and one editable row per value. The rows keep no pointer into the object: showing and writing
// walk the object again (an object may hand over temporaries) and find each row's value by its path, so a
// row stays with its own field whatever else the object gains or loses. A row whose value a walk does not
// find (its component or the object gone) neither shows nor writes again. Showing a value never writes
// it; only the user's edit does, and a text that does not convert is logged and the field kept.
class GuiSerializer : public LegibleOutputSerializer
{
public:
    // Walks the inspected object through a serializer: its groups and values, always in the same order;
    // nothing once the object is gone.
    using Walk = std::function<void(Serializer&)>;
    // Builds the tree by walking the object once; the identity tells what the walk's groups stand for.
    GuiSerializer(Gui::Controls::Base* parent, Walk walk, GroupIdentity identity = {});
    // The window goes with its rows (after the frame when it sits on a canvas: this may run inside one
    // of its controls' events).
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
    // The user's text for the row at the path, written into its value by walking the object again.
    void WriteRow(const std::string& path, const std::string& text);

    Gui::Controls::PropertyTree* Tree() const { return m_tree.Get(); }
    Gui::Controls::ResizableControl* Window() const { return m_window.Get(); }

private:
    class RowPass;
    struct Row
    {
        Gui::Controls::Ref<Gui::Controls::Property::Text> control;
        bool live = true;
    };

    template <class T> void AddRow(T& value);
    // Runs a pass over the object; rows whose values it did not find are live no more.
    void Pass(RowPass& pass);

    Gui::Controls::Ref<Gui::Controls::ResizableControl> m_window;
    Gui::Controls::Ref<Gui::Controls::PropertyTree> m_tree;
    std::vector<Gui::Controls::Ref<Gui::Controls::Base>> m_nodeStack;
    std::vector<Row> m_rows;
    std::unordered_map<std::string, std::size_t> m_rowByPath;
    ValuePath m_path;
    Gui::Controls::Ref<Gui::Controls::Properties> m_properties;
    std::vector<bool> m_transparent;
    Gui::Controls::Ref<Gui::Controls::PropertyTreeNode> m_transformNode;
    Gui::Controls::Ref<Gui::Controls::PropertyTreeNode> m_nameableNode;
    std::string m_pendingName;
    bool m_justEnded = false;
    float m_refreshTimer = 0.0f;
    Walk m_walk;
    GroupIdentity m_identity;
    // The rows reach the inspector through this; it is emptied when the inspector goes, and a row a
    // script took elsewhere then writes nothing.
    std::shared_ptr<GuiSerializer*> m_lifeline;
};

} // namespace Quarn
