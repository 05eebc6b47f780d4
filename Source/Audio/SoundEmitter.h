#pragma once

#include "GameObjects/ComponentT.h"

#include <string>

namespace Quarn
{

namespace sound
{
class Event;
class EventGroup;
} // namespace sound

// Lets its game object play one sound event by name.
class SoundEmitter : public ComponentT<SoundEmitter>
{
public:
    static constexpr const char* kTypeName = "SoundEmitter";

    // The event name, with no element of its own.
    bool Serialize(Serializer& serializer) override;

    // The sound system's event group and the event obtained last; set by the Audio system.
    sound::EventGroup* m_eventGroup = nullptr;
    sound::Event* m_event = nullptr;
    std::string m_eventName;
};

} // namespace Quarn
