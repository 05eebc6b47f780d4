#pragma once

#include "Script/LuaConvert.h"
#include "Script/LuaPrimitiveBind.h"

#include <memory>

namespace Quarn
{

namespace platform::sound
{
class EventSystem;
class MusicPrompt;
} // namespace platform::sound

// What scripts hold of a prepared music cue: begin, end, is it playing, toggle. Without a prompt (the
// game has no sound project) it does nothing and is never active.
class MusicPrompt
{
public:
    // The prompt plays in events, which it keeps as long as it lives.
    MusicPrompt(std::unique_ptr<platform::sound::MusicPrompt> prompt,
                std::shared_ptr<platform::sound::EventSystem> events);
    ~MusicPrompt();

    void Begin();
    void End();
    bool IsActive();
    void Toggle();

    static LuaPrimitiveBind& GetLuaBind();
    // Pushes the value as a Lua userdata owned by Lua (nil for null).
    static void Push(lua_State* state, std::unique_ptr<MusicPrompt> prompt);

private:
    // Declared before the prompt, which must go first.
    std::shared_ptr<platform::sound::EventSystem> m_events;
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
