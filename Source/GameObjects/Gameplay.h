#pragma once

#include "Core/SystemT.h"
#include "Resources/OpenSaveDialogManager.h"

#include <memory>

namespace Quarn
{

class LuaManager;

class Gameplay : public SystemT<Gameplay>
{
public:
    Gameplay();
    // Closes the Lua state this system created.
    ~Gameplay() override;

    bool Serialize(Serializer& serializer) override;
    const char* GetName() const override { return "Gameplay"; }
    void Update(float dt) override;
    void Init() override;
    // Registers the component types this system owns, in their fixed order.
    static void RegisterComponentTypes();
    void InitResources(ResourceManager& resources) override;
    // Replaces the Lua state with a new one.
    void WarmReset() override;

private:
    std::unique_ptr<LuaManager> m_lua;
    OpenSaveDialogManager m_dialogs;
};

} // namespace Quarn
