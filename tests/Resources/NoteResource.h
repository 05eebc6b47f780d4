#pragma once

#include "Core/SystemManager.h"
#include "Resources/ResourceManager.h"
#include "Resources/Serializeable.h"
#include "Resources/Serializer.h"

#include <string>

namespace Quarn::test
{

// A small resource: one text read from the "xml" file of its name, inside the group "Map".
class Note : public ResourceBase, public Serializeable
{
public:
    bool Serialize(Serializer& s) override
    {
        if (!s.Exists("Text"))
            return false;
        s.BeginGroup("Text");
        s.Serialize(text);
        s.EndGroup();
        return true;
    }

    std::string text;
    int loads = 0;
};

// The same file read as another resource type.
class OtherNote : public Note
{
};

// Loads a Note from its node's "xml" file, counting the loads of each object.
inline void LoadNote(ResourceNode& node, SystemManager& systems, ResourceBase& resource)
{
    Note& note = static_cast<Note&>(resource);
    ++note.loads;
    ResourceNode* file = nullptr;
    if (node.Filter("xml", file) && file->IsFile())
        systems.GetResourceManager().LoadXMLFile(file->Path(), note);
}

inline std::string NoteText(const std::string& text)
{
    return "<?xml version=\"1.0\" ?>\n<root>\n    <Map>\n        <Text>" + text +
           "</Text>\n    </Map>\n</root>\n";
}

} // namespace Quarn::test
