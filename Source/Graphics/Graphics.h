#pragma once

#include "Core/RGBA.h"
#include "Core/SystemT.h"
#include "Core/Vector4.h"
#include "GameObjects/GameObjectHandle.h"
#include "Resources/Resource.h"
#include "platform/window/Window.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Quarn
{

class Camera;
class Texture;

// The rendering system. It owns the game's main window, whose messages it hands to the input system.
class Graphics : public SystemT<Graphics>
{
public:
    Graphics();
    ~Graphics() override;

    // The settings: window title and sizes, full screen, lighting, particles and the random texture.
    bool Serialize(Serializer& serializer) override;
    const char* GetName() const override { return "Graphics"; }
    void Update(float dt) override;
    // Registers the component types, reads the desktop size, sets the back-buffer size from the settings,
    // then creates and shows the main window (titled and sized by them), with the input system in its
    // user data.
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
    bool IsFullScreen() const { return m_fullScreen; }

private:
    void RegisterMessageListeners();
    void ChooseBackBufferSize();

    bool m_disableParticles = false;
    bool m_fullScreen = false;
    std::string m_title;
    RGBA m_ambient = RGBA::FromARGB(255, 51, 26, 26);
    std::uint32_t m_fullScreenWidth = 0;
    std::uint32_t m_fullScreenHeight = 0;
    std::uint32_t m_windowedWidth = 800;
    std::uint32_t m_windowedHeight = 600;
    std::uint32_t m_desktopWidth = 0;
    std::uint32_t m_desktopHeight = 0;
    bool m_vsync = false;
    float m_farFarPlaneDist = 0.0f;
    float m_farFov = 0.0f;
    Vector4 m_directionalLight{0.0f, 0.0f, 0.0f, 0.0f};
    RGBA m_directionalLightColor = RGBA::FromARGB(1, 1, 1, 1);
    bool m_directionalLightOn = false;
    Resource<Texture> m_randomTexture;
    std::uint32_t m_backBufferWidth = 1024;
    std::uint32_t m_backBufferHeight = 700;
    std::unique_ptr<platform::Window> m_window;
    GameObjectHandle m_mainCamera;
};

} // namespace Quarn
