#pragma once

#include "Resources/ResourceBase.h"

#include <string>

namespace Quarn
{

class ResourceNode;
class SystemManager;

namespace platform::sound
{
class EventProject;
}

// A built sound project (".fev"), loaded into the Audio system's event system.
class FMODProject : public ResourceBase
{
public:
    // Reads the node's ".fev" file and loads it, or on a reload loads it in place of the loaded project;
    // a missing file or a failed load is reported.
    void Create(ResourceNode& node, SystemManager& systems);
    // The report of a project name with no ".fev" file.
    static void ReportMissing(const std::string& name);
    // Null until a load succeeded.
    platform::sound::EventProject* GetProject() const { return m_project; }

private:
    platform::sound::EventProject* m_project = nullptr;
};

} // namespace Quarn
