#pragma once

#include "Resources/Serializer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Quarn
{

// Finds which optional parts of an object differ from a reference object, so that a saved object
// needs to store only its differences. Run it over the reference (one top-level group), then over
// the object (one top-level group); GetExistence then holds one bit per Exists call of the second run
// that a writer will still make, true where something inside that part differs. Handed to an XML
// writer through InjectExistence, the bits make it write only the differing parts.
//
// Values compare by the text the XML writer would give them. Groups of the object are paired with
// the reference's groups by their order inside their enclosing group, and values by their order
// inside their group; a value or group without a partner on the other side counts as different, and
// so does a reference group with values or groups the object's lacks. A sequence is written whole or
// not at all, since a reader cannot tell which item a skipped one would have been: when anything in it
// differs, including its length, every part inside it is marked for writing.
class ComparisonSerializer : public LegibleOutputSerializer
{
public:
    using Serializer::BeginGroup;
    using Serializer::SequenceSize;

    // Existence bits come from the comparison itself: reported, no effect.
    void InjectExistence(std::vector<bool>& bits) override;
    std::vector<bool>* GetExistence() override { return &m_existence; }
    bool HasExistence() const override { return true; }
    // Always true, so every part of both objects is visited.
    bool Exists(const char* name) override;
    void BeginGroup(const char*& name) override;
    void EndGroup() override;
    // The count is compared like a value.
    void SequenceSize(std::uint32_t& count, const char*& name) override;

    void Serialize(double& value) override { Value(value); }
    void Serialize(float& value) override { Value(value); }
    void Serialize(unsigned long long& value) override { Value(value); }
    void Serialize(std::uint32_t& value) override { Value(value); }
    void Serialize(std::uint16_t& value) override { Value(value); }
    void Serialize(std::uint8_t& value) override { Value(value); }
    void Serialize(long long& value) override { Value(value); }
    void Serialize(std::int32_t& value) override { Value(value); }
    void Serialize(std::int16_t& value) override { Value(value); }
    void Serialize(std::int8_t& value) override { Value(value); }
    void Serialize(bool& value) override { Value(value); }
    void Serialize(std::string& value) override { Compare(value); }

private:
    // A group of the reference: its value texts and nested groups, each in call order.
    struct RecordedGroup
    {
        std::vector<std::string> texts;
        std::vector<std::uint32_t> children;
    };
    // An open group of the object, with the reference group it is paired with (none when the
    // reference has no group there) and how much of that partner has been compared.
    struct Pairing
    {
        std::optional<std::uint32_t> partner;
        std::uint32_t nextText = 0;
        std::uint32_t nextChild = 0;
    };
    // An Exists call of the object whose part may still be written.
    struct Scope
    {
        std::uint32_t bit;
        std::uint32_t depth; // open groups when it was asked
        bool sequence;       // the part holds a sequence
    };

    template <class T> void Value(T value);
    void Compare(const std::string& text);
    // Something differs: the part of every open scope is to be written.
    void MarkDifferent();
    void CloseScope();
    void StartComparing();

    std::vector<RecordedGroup> m_recorded{1}; // the first is the top level
    std::vector<std::uint32_t> m_recordingOpen{0};
    std::vector<Pairing> m_pairings;
    std::vector<Scope> m_scopes;
    std::uint32_t m_openSequences = 0;
    std::vector<bool> m_existence;
    std::uint32_t m_depth = 0;
    bool m_comparing = false;
};

} // namespace Quarn
