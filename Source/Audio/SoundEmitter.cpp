#include "Audio/SoundEmitter.h"

#include "Audio/FmodCheck.h"
#include "Core/MessageManager.h"
#include "GameObjects/ComponentHandle.h"
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
    StopEvent(FmodFailure::ReportOnly);
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
    // The object's message lists keep what was registered for it until the object goes; listeners of a
    // token replaced or destroyed with its emitter stay there, inert.
    m_listenerToken = std::make_shared<SoundEmitter*>(this);
    const std::weak_ptr<SoundEmitter*> token = m_listenerToken;
    messages.RegisterGOListener(GetOwnerHandle(), "EmitSound",
                                [token](const Message&)
                                {
                                    if (const auto emitter = token.lock())
                                        (*emitter)->Emit();
                                });
    messages.RegisterGOListener(GetOwnerHandle(), "StopSound",
                                [token](const Message&)
                                {
                                    if (const auto emitter = token.lock())
                                        (*emitter)->Stop();
                                });
}

std::unique_ptr<platform::sound::Event> SoundEmitter::FindEvent(FmodFailure failure)
{
    std::unique_ptr<platform::sound::Event> event;
    if (QUARN_FMOD_FAILED(m_eventGroup->GetEvent(m_eventName, event),
                          "Failed to get event '" + m_eventName + "'", failure))
        return nullptr;
    return event;
}

void SoundEmitter::Emit()
{
    if (!m_eventGroup)
        return;
    std::unique_ptr<platform::sound::Event> event = FindEvent(FmodFailure::MayRestart);
    if (!event)
        return;
    // The instance emitted before, if any, goes with its voice: an emitter plays one sound at a time.
    m_event = std::move(event);
    QUARN_FMOD_FAILED(m_event->Start(), "Failed to start event '" + m_eventName + "'");
}

void SoundEmitter::StopEvent(FmodFailure failure)
{
    if (!m_eventGroup)
        return;
    // The group's event is looked up as Emit does, so that a name the project lacks is reported; the
    // emitter's own instance stops either way.
    FindEvent(failure);
    if (m_event)
        QUARN_FMOD_FAILED(m_event->Stop(false), "Failed to stop event '" + m_eventName + "'", failure);
    m_event.reset();
}

void SoundEmitter::Stop()
{
    StopEvent(FmodFailure::MayRestart);
}

void SoundEmitter::TogglePaused()
{
    if (!m_eventGroup)
        return;
    // Before an Emit, or after a Stop, there is no instance: the failure is reported as the sound
    // layer reports a call on no event.
    bool paused = false;
    const auto noEvent = platform::sound::SoundResult::InvalidHandle;
    if (!QUARN_FMOD_FAILED(m_event ? m_event->GetPaused(paused) : noEvent,
                           "Failed to getPaused from '" + m_eventName + "'"))
        QUARN_FMOD_FAILED(m_event->SetPaused(!paused), "Failed to setPaused from '" + m_eventName + "'");
}

void SoundEmitter::Pause()
{
    if (!m_eventGroup)
        return;
    QUARN_FMOD_FAILED(m_event ? m_event->SetPaused(true) : platform::sound::SoundResult::InvalidHandle,
                      "Failed to setPaused from '" + m_eventName + "'");
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
    LuaMethods<Handle>(
        state, LuaMethod<&Call<&SoundEmitter::Emit>>("Emit"), LuaMethod<&Call<&SoundEmitter::Stop>>("Stop"),
        LuaMethod<&Call<&SoundEmitter::TogglePaused>>("TogglePaused"),
        LuaMethod<&Call<&SoundEmitter::Pause>>("Pause"), LuaMethod<&Call<&SoundEmitter::Restart>>("Restart"));
}

} // namespace Quarn
