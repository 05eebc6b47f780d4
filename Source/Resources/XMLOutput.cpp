#include "Resources/XMLOutput.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "platform/io/AtomicWrite.h"

#include <algorithm>
#include <cctype>
#include <tinyxml.h>

namespace Quarn
{

XMLOutput::XMLOutput(const std::filesystem::path& path) : XMLSerializer(path)
{
    m_document->LinkEndChild(new TiXmlDeclaration("1.0", "", ""));
    m_current = new TiXmlElement("root");
    m_document->LinkEndChild(m_current);
}

bool XMLOutput::Save()
{
    TiXmlPrinter printer;
    m_document->Accept(&printer);
    std::string error;
    if (platform::WriteFileAtomically(m_path, printer.Str(), error))
        return true;
    QUARN_REPORT("Could not save XML file \"%s\": %s.", m_path.c_str(), error.c_str());
    return false;
}

void XMLOutput::InjectExistence(std::vector<bool>& bits)
{
    m_replay = bits;
    m_replayCursor = 0;
}

bool XMLOutput::Exists(const char*)
{
    if (m_replayCursor < m_replay.size())
        return m_replay[m_replayCursor++];
    return true;
}

void XMLOutput::BeginGroup(const char*& name)
{
    const GroupName group = TakeGroupName(name);
    // A structural group counts as content of the groups around it, so a component whose body writes
    // no field still leaves its type element; a sequence item keeps its element even when empty, since
    // the reader counts the items by their elements.
    if (group.unused)
        MarkWritten();
    if (group.element.empty())
    {
        m_groupKinds.push_back(GroupKind::Unused);
        return;
    }
    m_groupKinds.push_back(GroupKind::Element);
    m_emptyFlags.push_back(!group.unused);
    auto* element = new TiXmlElement(std::string(group.element));
    m_current->LinkEndChild(element);
    m_current = element;
}

void XMLOutput::EndGroup()
{
    QUARN_ASSERT(!m_groupKinds.empty(), "EndGroup without an open group in XML file \"%s\".",
                 FileName().c_str());
    if (m_groupKinds.empty())
        return;
    const GroupKind kind = m_groupKinds.back();
    m_groupKinds.pop_back();
    if (kind != GroupKind::Element)
        return;
    TiXmlElement* parent = m_current->Parent()->ToElement();
    if (m_emptyFlags.back())
        parent->RemoveChild(m_current);
    m_emptyFlags.pop_back();
    m_current = parent;
}

void XMLOutput::SequenceSize(std::uint32_t&, const char*&) {}

void XMLOutput::MarkWritten()
{
    // Flags still set always sit above the cleared ones.
    for (std::size_t i = m_emptyFlags.size(); i-- > 0 && m_emptyFlags[i];)
        m_emptyFlags[i] = false;
}

template <class T> void XMLOutput::Write(T value)
{
    MarkWritten();
    std::string text;
    if (!ValueText(value, text))
    {
        QUARN_REPORT("Failed to convert type '%s' to string in file: \n%s\n.", TypeName<T>().c_str(),
                     m_path.c_str());
        return;
    }
    m_current->LinkEndChild(new TiXmlText(text));
}

void XMLOutput::Serialize(std::string& value)
{
    MarkWritten();
    auto* text = new TiXmlText(value);
    // A parser drops text that is only white space; as character data it survives.
    const bool blank = !value.empty() && std::all_of(value.begin(), value.end(),
                                                     [](unsigned char c) { return std::isspace(c); });
    text->SetCDATA(blank);
    m_current->LinkEndChild(text);
}

} // namespace Quarn
