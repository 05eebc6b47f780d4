#pragma once

#include "Resources/BinarySerializer.h"

namespace Quarn
{

// Reads an object from a binary stream in memory: an optional header of existence bits, then every
// value, raw block and sequence size in the order the object's Serialize asks for them, little-endian
// and without gaps. Group names leave no trace in the stream.
//
// Every read is checked against the bytes left. A stream that ends early or holds a length or count it
// cannot back is reported once; from then on nothing more is read: values keep what they held and
// Exists answers false, so the object stays as it was from that point on.
class BinaryInput : public BinarySerializer<IllegibleInputSerializer>
{
public:
    using Serializer::SequenceSize;

    // The bytes are not copied: the caller keeps them alive while reading.
    BinaryInput(const char* bytes, std::uint32_t size);

    // The bits of the header; empty when the stream has none.
    std::vector<bool>* GetExistence() override { return &m_existence; }
    bool HasExistence() const override { return m_existenceCursor < m_existence.size(); }
    // Without a header every part is present; with one, the next bit answers.
    bool Exists(const char* name) override;
    void SerializeRaw(void* data, std::uint32_t size) override;
    std::uint64_t RawBytesLeft() const override { return m_failed ? 0 : Left(); }
    void SequenceSize(std::uint32_t& count, const char*& name) override;

    void Serialize(double& value) override { Read(value); }
    void Serialize(float& value) override { Read(value); }
    void Serialize(unsigned long long& value) override { Read(value); }
    void Serialize(std::uint32_t& value) override { Read(value); }
    void Serialize(std::uint16_t& value) override { Read(value); }
    void Serialize(std::uint8_t& value) override { Read(value); }
    void Serialize(long long& value) override { Read(value); }
    void Serialize(std::int32_t& value) override { Read(value); }
    void Serialize(std::int16_t& value) override { Read(value); }
    void Serialize(std::int8_t& value) override { Read(value); }
    void Serialize(bool& value) override { Read(value); }
    void Serialize(std::string& value) override;

    // False once the stream was found truncated or corrupt.
    bool Good() const { return !m_failed; }
    std::uint32_t Consumed() const { return m_consumed; }
    std::uint32_t Left() const { return m_size - m_consumed; }

private:
    // Whether size more bytes are there; the first time they are not, the stream is reported as ending
    // early and reading stops.
    bool Fits(std::uint64_t size);
    void Advance(std::uint32_t size);
    bool Take(void* data, std::uint32_t size);
    template <class T> void Read(T& value);
    void ReadHeader();

    const unsigned char* m_position;
    std::uint32_t m_consumed = 0;
    std::uint32_t m_size;
    std::vector<bool> m_existence;
    bool m_hasExistence = false;
    std::uint32_t m_existenceCursor = 0;
    bool m_failed = false;
    bool m_reportedExistenceOverrun = false;
};

} // namespace Quarn
