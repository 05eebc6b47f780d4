#include "Audio/SoundEmitter.h"

#include "Audio/FmodCheck.h"
#include "Core/MessageManager.h"
#include "GameObjects/ComponentHandle.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectManager.h"
#include "Resources/SerializerTypes.h"
#include "Script/LuaMethods.h"
#include "platform/sound/EventSystem.h"

namespace Quarn
{

SoundEmitter::SoundEmitter(const SoundEmitter& source)
    : ComponentT(source), m_eventGroup(source.m_eventGroup), m_eventName(source.m_eventName),
      m_events(source.m_events)
{
}

SoundEmitter::~SoundEmitter()
{
    Stop();
}

bool SoundEmitter::Serialize(Serializer& serializer)
{
    SerializeNamed(serializer, m_eventName, "unused");
    return true;
}

void SoundEmitter::Init(MessageManager& messages, platform::sound::EventGroup* group,
                        std::shared_ptr<platform::sound::EventSystem> events)
{
    m_eventGroup = group;
    m_events = std::move(events);
    // The listeners find the emitter again at each message: the object may have lost it meanwhile.
    const GameObjectHandle owner = GetOwnerHandle();
    const auto emitterOf = [owner]() -> SoundEmitter*
    {
        GameObjectManager* manager = GameObjectManager::Current();
        GameObject* object = manager ? manager->Resolve(owner) : nullptr;
        return object ? object->Get<SoundEmitter>() : nullptr;
    };
    messages.RegisterGOListener(owner, "EmitSound",
                                [emitterOf](const Message&)
                                {
                                    if (SoundEmitter* emitter = emitterOf())
                                        emitter->Emit();
                                });
    messages.RegisterGOListener(owner, "StopSound",
                                [emitterOf](const Message&)
                                {
                                    if (SoundEmitter* emitter = emitterOf())
                                        emitter->Stop();
                                });
}

platform::sound::Event* SoundEmitter::FindEvent()
{
    if (!m_eventGroup)
        return nullptr;
    platform::sound::Event* event = nullptr;
    if (QUARN_FMOD_FAILED(m_eventGroup->GetEvent(m_eventName, event),
                          "Failed to get event '" + m_eventName + "'"))
        return nullptr;
    return event;
}

void SoundEmitter::Emit()
{
    platform::sound::Event* event = FindEvent();
    m_emitted = event != nullptr;
    if (event)
        QUARN_FMOD_FAILED(event->Start(), "Failed to start event '" + m_eventName + "'");
}

void SoundEmitter::Stop()
{
    if (platform::sound::Event* event = FindEvent())
        QUARN_FMOD_FAILED(event->Stop(false), "Failed to stop event '" + m_eventName + "'");
    m_emitted = false;
}

void SoundEmitter::TogglePaused()
{
    platform::sound::Event* event = m_emitted ? FindEvent() : nullptr;
    if (!event)
        return;
    bool paused = false;
    if (!QUARN_FMOD_FAILED(event->GetPaused(paused), "Failed to getPaused from '" + m_eventName + "'"))
        QUARN_FMOD_FAILED(event->SetPaused(!paused), "Failed to setPaused from '" + m_eventName + "'");
}

void SoundEmitter::Pause()
{
    platform::sound::Event* event = m_emitted ? FindEvent() : nullptr;
    if (event)
        QUARN_FMOD_FAILED(event->SetPaused(true), "Failed to setPaused from '" + m_eventName + "'");
}

void SoundEmitter::Restart()
{
    Stop();
    Emit();
}

namespace
{
namespace Methods
{
using Handle = ComponentHandle<SoundEmitter>;

template <void (SoundEmitter::*Operation)()> void Call(Handle& self)
{
    if (SoundEmitter* emitter = self.Resolve())
        (emitter->*Operation)();
}
} // namespace Methods
} // namespace

void SoundEmitter::RegisterLuaMethods(lua_State* state)
{
    using namespace Methods;
    LuaMethods<Handle>(state, &Call<&SoundEmitter::Emit>, "Emit", &Call<&SoundEmitter::Stop>, "Stop",
                       &Call<&SoundEmitter::TogglePaused>, "TogglePaused", &Call<&SoundEmitter::Pause>,
                       "Pause", &Call<&SoundEmitter::Restart>, "Restart");
}

} // namespace Quarn
