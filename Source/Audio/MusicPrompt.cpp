#include "Audio/MusicPrompt.h"

#include "Audio/FmodCheck.h"
#include "Script/LuaMethods.h"
#include "platform/sound/EventSystem.h"

namespace Quarn
{

MusicPrompt::MusicPrompt(std::unique_ptr<platform::sound::MusicPrompt> prompt,
                         std::shared_ptr<platform::sound::EventSystem> events)
    : m_events(std::move(events)), m_prompt(std::move(prompt))
{
}

MusicPrompt::~MusicPrompt() = default;

void MusicPrompt::Begin()
{
    if (m_prompt)
        QUARN_FMOD_FAILED(m_prompt->Begin(), "Could not begin MusicPrompt");
}

void MusicPrompt::End()
{
    if (m_prompt)
        QUARN_FMOD_FAILED(m_prompt->End(), "Could not end MusicPrompt");
}

bool MusicPrompt::IsActive()
{
    bool active = false;
    if (m_prompt)
        QUARN_FMOD_FAILED(m_prompt->IsActive(active), "Could not MusicPrompt::isActive");
    return active;
}

void MusicPrompt::Toggle()
{
    if (IsActive())
        End();
    else
        Begin();
}

namespace
{
void Collect(void* prompt)
{
    delete static_cast<MusicPrompt*>(prompt);
}

void Register(lua_State* state)
{
    LuaMethods<MusicPrompt>(
        state, LuaMethod<&MusicPrompt::Begin>("Begin"), LuaMethod<&MusicPrompt::End>("End"),
        LuaMethod<&MusicPrompt::IsActive>("IsActive"), LuaMethod<&MusicPrompt::Toggle>("Toggle"));
    MusicPrompt::GetLuaBind().SetCollector(&Collect);
}
} // namespace

LuaPrimitiveBind& MusicPrompt::GetLuaBind()
{
    static LuaPrimitiveBind bind(typeid(MusicPrompt), &Register);
    return bind;
}

void MusicPrompt::Push(lua_State* state, std::unique_ptr<MusicPrompt> prompt)
{
    if (!prompt)
    {
        lua_pushnil(state);
        return;
    }
    void** block = GetLuaBind().PushValueBlock(state);
    *block = prompt.release();
}

} // namespace Quarn
