#pragma once

#include "Core/SystemT.h"
#include "GameObjects/GameObjectHandle.h"
#include "platform/window/Window.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Quarn
{

class Camera;

// The rendering system. It owns the game's main window, whose messages it hands to the input system.
class Graphics : public SystemT<Graphics>
{
public:
    Graphics();
    ~Graphics() override;

    bool Serialize(Serializer& serializer) override;
    const char* GetName() const override { return "Graphics"; }
    void Update(float dt) override;
    // Registers the component types, then creates and shows the main window, with the input system in
    // its user data.
    void Init() override;
    // Registers the component types this system owns, in their fixed order.
    static void RegisterComponentTypes();
    // Announces the window: "WindowCreated" with it, then "WindowSizeRefreshed" with its size.
    void InitResources(ResourceManager& resources) override;
    // The fresh message manager of a warm reset learns of this system again.
    void WarmReset() override;

    // The main window's procedure: every message goes to the input system stored in the window's user
    // data; while none is stored, the window handles it itself.
    static platform::WindowResult WindowProcedure(platform::WindowHandle window,
                                                  const platform::WindowMessage& message);

    // The camera last announced by "SetMainCamera" (null clears it). Kept by its object's handle, so it
    // reads null once that object is gone or its camera removed.
    void SetMainCamera(Camera* camera);
    Camera* GetMainCamera() const;

    // Null before Init, or when the window could not be made.
    platform::WindowHandle GetWindow() const { return m_window.get(); }
    std::uint32_t GetBackBufferWidth() const { return m_backBufferWidth; }
    std::uint32_t GetBackBufferHeight() const { return m_backBufferHeight; }

private:
    void RegisterMessageListeners();

    std::string m_title;
    std::uint32_t m_windowedWidth = 800;
    std::uint32_t m_windowedHeight = 600;
    std::uint32_t m_backBufferWidth = 1024;
    std::uint32_t m_backBufferHeight = 700;
    std::unique_ptr<platform::Window> m_window;
    GameObjectHandle m_mainCamera;
};

} // namespace Quarn
