#pragma once

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
// "StopSound", and from scripts. Without the project's events (no project) it does nothing.
class SoundEmitter : public ComponentT<SoundEmitter>
{
public:
    static constexpr const char* kTypeName = "SoundEmitter";

    SoundEmitter() = default;
    SoundEmitter(const SoundEmitter& source);
    // A playing event stops with its emitter.
    ~SoundEmitter() override;

    // The event name, with no element of its own.
    bool Serialize(Serializer& serializer) override;
    static void RegisterLuaMethods(lua_State* state);

    // From the Audio system as the emitter is made: the project's events (kept, with the event system
    // they live in, as long as the emitter is), and the object's two messages.
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
    std::shared_ptr<platform::sound::EventSystem> m_events;
    // Set by Emit, cleared by Stop: pausing acts only on an emitted event. The event itself is found
    // by name at each call, since a project reload may replace it.
    bool m_emitted = false;

    // The group's event of the emitter's name, or null after a reported failure.
    platform::sound::Event* FindEvent();
};

} // namespace Quarn
