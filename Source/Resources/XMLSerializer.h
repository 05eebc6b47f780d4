#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

class TiXmlDocument;
class TiXmlElement;

namespace Quarn
{

// What XMLInput and XMLOutput share: the TinyXML document, the element that groups and values act on,
// the file path, and one entry per open group. Values are element text, never attributes; groups are
// elements. A group whose tag is "unused" has no element of its own, except that "unused;Item" names
// an element by its description (items of sequences: they have to be counted and read back in order).
class XMLSerializer
{
public:
    const std::filesystem::path& Path() const { return m_path; }

    // The text a value is written as (8-bit values as numbers, float with 9 and double with 17
    // significant digits, bool "0"/"1"); false when the value has no text form.
    static bool ValueText(double value, std::string& text);
    static bool ValueText(float value, std::string& text);
    static bool ValueText(unsigned long long value, std::string& text);
    static bool ValueText(std::uint32_t value, std::string& text);
    static bool ValueText(std::uint16_t value, std::string& text);
    static bool ValueText(std::uint8_t value, std::string& text);
    static bool ValueText(long long value, std::string& text);
    static bool ValueText(std::int32_t value, std::string& text);
    static bool ValueText(std::int16_t value, std::string& text);
    static bool ValueText(std::int8_t value, std::string& text);
    static bool ValueText(bool value, std::string& text);
    // The value a text is read as (8-bit values as numbers, each integer range-checked); false, and
    // nothing changed, when the text does not convert.
    template <class T> static bool ValueFromText(const char* text, T& value);

protected:
    enum class GroupKind : std::uint8_t
    {
        Unused,  // no element of its own
        Element, // an element entered or created
        Absent,  // input: the element was not there; nothing inside is read
    };

    // Views into the name given to TakeGroupName.
    struct GroupName
    {
        std::string_view element; // empty: the group has no element of its own
        bool unused;              // the tag was "unused"
    };

    explicit XMLSerializer(const std::filesystem::path& path);
    ~XMLSerializer();
    XMLSerializer(const XMLSerializer&) = delete;
    XMLSerializer& operator=(const XMLSerializer&) = delete;

    // Splits a name by the naming rule; name moves to the description, as with GetSerializedTag.
    static GroupName TakeGroupName(const char*& name);

    // A type's name as the run-time type information gives it, for reports.
    template <class T> static std::string TypeName() { return Demangle(typeid(T).name()); }
    static std::string Demangle(const char* mangled);

    // The last component of the path, as reports name the file.
    std::string FileName() const { return m_path.filename().string(); }

    std::unique_ptr<TiXmlDocument> m_document;
    TiXmlElement* m_current = nullptr;
    std::filesystem::path m_path;
    std::vector<GroupKind> m_groupKinds;
};

} // namespace Quarn
