#pragma once

#include "Resources/BinarySerializer.h"

#include <filesystem>
#include <string>

namespace Quarn
{

// Writes an object as the binary stream BinaryInput reads: the existence header (a 0 byte when there
// is none), then every value, raw block and sequence size in call order. For tools and tests; the
// engine itself only reads this form.
class BinaryOutput : public BinarySerializer<IllegibleOutputSerializer>
{
public:
    using Serializer::SequenceSize;

    // With existence, the header records the answer of every Exists call, so a reader's Exists calls
    // meet the same answers in the same order.
    explicit BinaryOutput(bool withExistence = false);

    // Replayed like the XML writer's: each Exists answers the next bit, then true once they are used
    // up. Turns the header on. A part answered false must not be written, nor its Exists calls made.
    void InjectExistence(std::vector<bool>& bits) override;
    // The answers recorded for the header.
    std::vector<bool>* GetExistence() override { return &m_recorded; }
    bool HasExistence() const override { return m_replayCursor < m_replay.size(); }
    bool Exists(const char* name) override;
    void SerializeRaw(void* data, std::uint32_t size) override;
    // Writes the count the caller gives.
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

    // The whole stream: header, then values.
    std::string Bytes() const;
    // Writes the stream to the path, replacing the file in one step; a failure is reported and the
    // file is left as it was.
    bool Save(const std::filesystem::path& path) const;

private:
    template <class T> void Write(T value);

    std::string m_values;
    bool m_withExistence;
    std::vector<bool> m_recorded;
    std::vector<bool> m_replay;
    std::size_t m_replayCursor = 0;
};

} // namespace Quarn
