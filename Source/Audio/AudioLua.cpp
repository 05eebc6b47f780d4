#include "Audio/Audio.h"
#include "Audio/MusicPrompt.h"
#include "Script/LuaMethods.h"

// The Lua face of the sound system: the methods scripts call on "audio".

namespace Quarn
{

void Audio::RegisterLuaMethods(lua_State* state)
{
    LuaMethods<Audio>(state, LuaMethod<&Audio::SetVolume>("SetVolume"),
                      LuaMethod<&Audio::GetVolume>("GetVolume"), LuaMethod<&Audio::SetMute>("SetMute"),
                      LuaMethod<&Audio::GetMute>("GetMute"),
                      LuaMethod<&Audio::GetMusicPrompt>("GetMusicPrompt"),
                      LuaMethod<&Audio::ResetMusicSystem>("ResetMusicSystem"),
                      LuaMethod<&Audio::GetEnvelope>("GetEnvelope"));
}

} // namespace Quarn
