#pragma once

#include "Resources/Serializer.h"
#include "Resources/XMLSerializer.h"

#include <string>
#include <string_view>

namespace Quarn
{

// Reads an object back from an XML document. Repeated groups with one name at one level walk the
// sibling elements of that name in document order, which is how sequences are read.
//
// A file that is missing, refused by CheckXMLText or does not parse is reported once and reads as empty:
// every Exists answers false and nothing is changed. A missing element or a walk past the last item is
// reported; the values inside that group keep what they held, and reading goes on after its EndGroup.
class XMLInput : public LegibleInputSerializer, public XMLSerializer
{
public:
    using Serializer::BeginGroup;
    using Serializer::SequenceSize;

    explicit XMLInput(const std::filesystem::path& path);
    // Reads the document text; name stands for it in reports.
    XMLInput(const std::filesystem::path& name, std::string_view text);

    // The bits are not copied: the caller keeps them alive while reading.
    void InjectExistence(std::vector<bool>& bits) override { m_recorder = &bits; }
    std::vector<bool>* GetExistence() override { return m_recorder; }
    bool HasExistence() const override { return m_recorder != nullptr; }
    bool Exists(const char* name) override;
    void BeginGroup(const char*& name) override;
    void EndGroup() override;
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

private:
    // Checks the document, then has the library parse it.
    void Parse(std::string text);
    bool Reading() const { return m_current && m_absentDepth == 0; }
    void EnterAbsent();
    const char* CurrentText() const;
    template <class T> void Read(T& value);

    // The element entered last at each nesting level reached; the entry above the current depth is the
    // child of the current element that the next group of the same name continues from.
    std::vector<TiXmlElement*> m_lastEntered;
    std::uint32_t m_depth = 0;
    std::vector<bool>* m_recorder = nullptr;
    // Open groups whose element was not there, counting the groups opened inside them.
    std::uint32_t m_absentDepth = 0;
};

} // namespace Quarn
