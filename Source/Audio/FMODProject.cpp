#include "Audio/FMODProject.h"

#include "Audio/Audio.h"
#include "Audio/FmodCheck.h"
#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Resources/ResourceNode.h"
#include "platform/sound/EventSystem.h"

namespace Quarn
{

void FMODProject::ReportMissing(const std::string& name)
{
    QUARN_ASSERT_FAILED_AS("!node.Filter(\"fev\",&file)", "Could not find FMOD project file: '%s.fev'",
                           name.c_str());
}

void FMODProject::Create(ResourceNode& node, SystemManager&)
{
    ResourceNode* file = nullptr;
    if (!node.Filter("fev", file) || !file->IsFile())
    {
        ReportMissing(node.Name());
        return;
    }
    platform::sound::EventSystem* events = Audio::GetEventSystem();
    if (!events)
        return;
    std::size_t size = 0;
    const std::shared_ptr<const char> bytes = file->ReadData(size);
    const std::string failure = "Failed to load project '" + node.Name() + ".fev'";
    // A reload replaces the loaded project in place; a failed one keeps it.
    if (m_project)
    {
        QUARN_FMOD_FAILED(events->Reload(*m_project, bytes.get(), size), failure);
        return;
    }
    platform::sound::EventProject* project = nullptr;
    if (!QUARN_FMOD_FAILED(events->Load(bytes.get(), size, project), failure))
        m_project = project;
}

} // namespace Quarn
