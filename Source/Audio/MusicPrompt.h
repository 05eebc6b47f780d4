#pragma once

#include "Script/LuaConvert.h"
#include "Script/LuaPrimitiveBind.h"

#include <memory>

namespace Quarn
{

namespace platform::sound
{
class MusicPrompt;
}

// What scripts hold of a prepared music cue: begin, end, is it playing, toggle.
class MusicPrompt
{
public:
    explicit MusicPrompt(std::unique_ptr<platform::sound::MusicPrompt> prompt);
    ~MusicPrompt();

    void Begin();
    void End();
    bool IsActive();
    void Toggle();

    static LuaPrimitiveBind& GetLuaBind();
    // Pushes the value as a Lua userdata owned by Lua (nil for null).
    static void Push(lua_State* state, std::unique_ptr<MusicPrompt> prompt);

private:
    std::unique_ptr<platform::sound::MusicPrompt> m_prompt;
};

// A prompt returned to a script becomes the script's.
template <> struct LuaResult<std::unique_ptr<MusicPrompt>>
{
    static void Push(lua_State* state, std::unique_ptr<MusicPrompt>&& prompt)
    {
        MusicPrompt::Push(state, std::move(prompt));
    }
};

} // namespace Quarn
