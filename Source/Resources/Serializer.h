#pragma once

#include "Resources/Serializeable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Quarn
{

// One interface for every encoding. An object describes itself once, in its Serialize function, and
// the same calls read when the serializer is an input and write when it is an output, so every value
// is passed by reference.
//
// Names have the form tag;description ("unused;Object"). Only the tag selects anything in an
// encoding; the tag "unused" (any case) marks a group that only structures the call sequence.
class Serializer
{
public:
    virtual ~Serializer() = default;

    virtual bool IsIllegible() const = 0;
    virtual bool IsLegible() const = 0;
    virtual bool IsOutput() const = 0;
    virtual bool IsInput() const = 0;

    // Existence bits record, in call order, the answers of Exists: an input records into the caller's
    // vector, an output replays a copy of it.
    virtual void InjectExistence(std::vector<bool>& bits) = 0;
    virtual std::vector<bool>* GetExistence() = 0;
    virtual bool HasExistence() const = 0;

    // On input: is the named group there. On output: is it to be written.
    virtual bool Exists(const char* name) = 0;
    // Opens the named group and moves name past the tag to the description.
    virtual void BeginGroup(const char*& name) = 0;
    virtual void EndGroup() = 0;

    virtual void SerializeRaw(void* data, std::uint32_t size) = 0;
    // The most raw bytes an input can still give, so that a reader can refuse a length its stream
    // cannot back before it allocates for it; unbounded for outputs.
    virtual std::uint64_t RawBytesLeft() const { return UINT64_MAX; }
    // Set on input; given by the caller on output.
    virtual void SequenceSize(std::uint32_t& count, const char*& name) = 0;

    // A value belongs to the group opened around it.
    virtual void Serialize(double& value) = 0;
    virtual void Serialize(float& value) = 0;
    virtual void Serialize(unsigned long long& value) = 0;
    virtual void Serialize(std::uint32_t& value) = 0;
    virtual void Serialize(std::uint16_t& value) = 0;
    virtual void Serialize(std::uint8_t& value) = 0;
    virtual void Serialize(long long& value) = 0;
    virtual void Serialize(std::int32_t& value) = 0;
    virtual void Serialize(std::int16_t& value) = 0;
    virtual void Serialize(std::int8_t& value) = 0;
    virtual void Serialize(bool& value) = 0;
    virtual void Serialize(std::string& value) = 0;

    // 64-bit fields are long long / unsigned long long, which are 64 bits everywhere. long is 32 bits
    // on some platforms and 64 on this one (it is what std::int64_t names here), so a field declared
    // with it would change width between platforms; such fields do not compile.
    void Serialize(long& value) = delete;
    void Serialize(unsigned long& value) = delete;

    // Literal names and c_str() results: the caller has no pointer of its own to advance.
    void BeginGroup(const char*&& name)
    {
        const char* advanced = name;
        BeginGroup(advanced);
    }
    void SequenceSize(std::uint32_t& count, const char*&& name)
    {
        const char* advanced = name;
        SequenceSize(count, advanced);
    }
};

// Text encodings.
class LegibleSerializer : public Serializer
{
public:
    bool IsIllegible() const override { return false; }
    bool IsLegible() const override { return true; }
    // Text encodings cannot carry raw bytes: reported, nothing moves.
    void SerializeRaw(void* data, std::uint32_t size) override;
    std::uint64_t RawBytesLeft() const override { return 0; }
};

// Binary encodings.
class IllegibleSerializer : public Serializer
{
public:
    bool IsIllegible() const override { return true; }
    bool IsLegible() const override { return false; }
};

template <class Family> class InputSerializer : public Family
{
public:
    bool IsOutput() const override { return false; }
    bool IsInput() const override { return true; }
};

template <class Family> class OutputSerializer : public Family
{
public:
    bool IsOutput() const override { return true; }
    bool IsInput() const override { return false; }
};

class LegibleInputSerializer : public InputSerializer<LegibleSerializer>
{
};

class LegibleOutputSerializer : public OutputSerializer<LegibleSerializer>
{
public:
    // A writer without a replay of its own cannot answer: reported, and the group is skipped.
    bool Exists(const char* name) override;
};

class IllegibleInputSerializer : public InputSerializer<IllegibleSerializer>
{
};

class IllegibleOutputSerializer : public OutputSerializer<IllegibleSerializer>
{
};

} // namespace Quarn
