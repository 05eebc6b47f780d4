#include "Audio/Audio.h"
#include "Audio/MusicPrompt.h"
#include "Script/LuaMethods.h"

// The Lua face of the sound system: the methods scripts call on "audio".

namespace Quarn
{

void Audio::RegisterLuaMethods(lua_State* state)
{
    LuaMethods<Audio>(state, &Audio::SetVolume, "SetVolume", &Audio::GetVolume, "GetVolume", &Audio::SetMute,
                      "SetMute", &Audio::GetMute, "GetMute", &Audio::GetMusicPrompt, "GetMusicPrompt",
                      &Audio::ResetMusicSystem, "ResetMusicSystem", &Audio::GetEnvelope, "GetEnvelope");
}

} // namespace Quarn
