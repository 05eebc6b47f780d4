#pragma once

#include "Resources/Serializer.h"
#include "Resources/XMLSerializer.h"

#include <limits>

namespace Quarn
{

// Writes an object as an XML document: declaration "1.0", a "root" element, one element per group,
// each value a text node of its group's element. A group that ends with nothing written inside it is
// left out, so optional parts that were skipped leave no trace. Existence bits handed in are replayed:
// each Exists answers the next bit, then true once they are used up.
class XMLOutput : public LegibleOutputSerializer, public XMLSerializer
{
public:
    using Serializer::BeginGroup;
    using Serializer::SequenceSize;

    explicit XMLOutput(const std::filesystem::path& path);

    // Writes the document to the path, replacing the file in one step; a failure is reported and the
    // file is left as it was.
    bool Save();

    void InjectExistence(std::vector<bool>& bits) override;
    std::vector<bool>* GetExistence() override { return &m_replay; }
    bool HasExistence() const override { return m_replayCursor < m_replay.size(); }
    bool Exists(const char* name) override;
    void BeginGroup(const char*& name) override;
    void EndGroup() override;
    void SequenceSize(std::uint32_t& count, const char*& name) override;

    void Serialize(double& value) override { Write(value); }
    void Serialize(float& value) override { Write(value); }
    void Serialize(unsigned long long& value) override { Write(value); }
    void Serialize(std::uint32_t& value) override { Write(value); }
    void Serialize(std::uint16_t& value) override { Write(value); }
    void Serialize(std::uint8_t& value) override { Write(value); }
    void Serialize(long long& value) override { Write(value); }
    void Serialize(std::int32_t& value) override { Write(value); }
    void Serialize(std::int16_t& value) override { Write(value); }
    void Serialize(std::int8_t& value) override { Write(value); }
    void Serialize(bool& value) override { Write(value); }
    void Serialize(std::string& value) override;

private:
    template <class T> void Write(T value);
    // Something was written: every open group keeps its element.
    void MarkWritten();

    // One flag per open element, set while nothing has been written inside it.
    std::vector<bool> m_emptyFlags;
    std::size_t m_replayCursor = std::numeric_limits<std::uint32_t>::max();
    std::vector<bool> m_replay;
};

} // namespace Quarn
