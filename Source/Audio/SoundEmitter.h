#pragma once

#include "Audio/FmodCheck.h"
#include "GameObjects/ComponentT.h"

#include <memory>
#include <string>

namespace Quarn
{

class MessageManager;

namespace platform::sound
{
class Event;
class EventGroup;
class EventSystem;
} // namespace platform::sound

// Lets its game object play one sound event by name: on its object's messages "EmitSound" and
// "StopSound", and from scripts. Each emitter plays an instance of its own, which no other emitter of
// the same event touches. Without the project's events (no project) it does nothing.
class SoundEmitter : public ComponentT<SoundEmitter>
{
public:
    static constexpr const char* kTypeName = "SoundEmitter";

    SoundEmitter() = default;
    SoundEmitter(const SoundEmitter& source);
    // Stops its event; a failure is reported, never thrown.
    ~SoundEmitter() override;

    // The event name, with no element of its own.
    bool Serialize(Serializer& serializer) override;
    static void RegisterLuaMethods(lua_State* state);

    // From the Audio system as the emitter is made: the project's events (kept, with the event system
    // they live in, as long as the emitter is), and the object's two messages. The listeners of an
    // earlier Init of this emitter, and of any emitter the object had before, do nothing from then on.
    void Init(MessageManager& messages, platform::sound::EventGroup* group,
              std::shared_ptr<platform::sound::EventSystem> events);

    void Emit();
    void Stop();
    void TogglePaused();
    void Pause();
    void Restart();

    platform::sound::EventGroup* m_eventGroup = nullptr;
    std::string m_eventName;

private:
    // Declared before the event, which plays in it and so must go first.
    std::shared_ptr<platform::sound::EventSystem> m_events;
    // The instance obtained by the last Emit; none before it and after a stop.
    std::unique_ptr<platform::sound::Event> m_event;
    // The token the object's listeners from the last Init hold; they act only while it is this one.
    std::shared_ptr<SoundEmitter*> m_listenerToken;

    // A new instance of the group's event of the emitter's name, or null after a reported failure.
    std::unique_ptr<platform::sound::Event> FindEvent(FmodFailure failure);
    void StopEvent(FmodFailure failure);
};

} // namespace Quarn
