#pragma once

#include "Resources/Serializer.h"

#include <string>
#include <vector>

namespace Quarn::test
{

// An output that writes nothing and keeps the calls it receives as text, in order: "Exists Name",
// "Begin Name", "End", "u32 7" ...
class SerializerCallLog : public LegibleOutputSerializer
{
public:
    using Serializer::BeginGroup;
    using Serializer::SequenceSize;

    const std::vector<std::string>& Calls() const { return m_calls; }

    void InjectExistence(std::vector<bool>&) override {}
    std::vector<bool>* GetExistence() override { return nullptr; }
    bool HasExistence() const override { return false; }
    bool Exists(const char* name) override
    {
        m_calls.push_back(std::string("Exists ") + name);
        return true;
    }
    void BeginGroup(const char*& name) override { m_calls.push_back(std::string("Begin ") + name); }
    void EndGroup() override { m_calls.push_back("End"); }
    void SequenceSize(std::uint32_t& count, const char*& name) override
    {
        m_calls.push_back("Size " + std::string(name) + " " + std::to_string(count));
    }
    void Serialize(double& v) override { Add("double", std::to_string(v)); }
    void Serialize(float& v) override { Add("float", std::to_string(v)); }
    void Serialize(unsigned long long& v) override { Add("u64", std::to_string(v)); }
    void Serialize(std::uint32_t& v) override { Add("u32", std::to_string(v)); }
    void Serialize(std::uint16_t& v) override { Add("u16", std::to_string(v)); }
    void Serialize(std::uint8_t& v) override { Add("u8", std::to_string(v)); }
    void Serialize(long long& v) override { Add("i64", std::to_string(v)); }
    void Serialize(std::int32_t& v) override { Add("i32", std::to_string(v)); }
    void Serialize(std::int16_t& v) override { Add("i16", std::to_string(v)); }
    void Serialize(std::int8_t& v) override { Add("i8", std::to_string(v)); }
    void Serialize(bool& v) override { Add("bool", v ? "1" : "0"); }
    void Serialize(std::string& v) override { Add("string", v); }

private:
    void Add(const char* type, const std::string& text) { m_calls.push_back(std::string(type) + " " + text); }

    std::vector<std::string> m_calls;
};

} // namespace Quarn::test
