#pragma once

#include "Core/Color4.h"
#include "Core/SystemT.h"
#include "Core/Vector4.h"
#include "GameObjects/GameObjectHandle.h"
#include "Graphics/DrawGroups.h"
#include "Graphics/FXParamGroup.h"
#include "Graphics/RenderTargetManager.h"
#include "Graphics/TextRenderer.h"
#include "Graphics/ViewProjection.h"
#include "Resources/Resource.h"
#include "UI/GuiHost.h"
#include "platform/desktop/DesktopCapture.h"
#include "platform/gfx/Device.h"
#include "platform/window/Window.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Quarn
{

class Camera;
class Component;
class Effect;
class Texture;

// The rendering system. It owns the game's main window, whose messages it hands to the input system,
// and the graphics device, through which every frame is drawn by the effects of its effect list.
class Graphics : public SystemT<Graphics>
{
public:
    // The widget canvas over the game.
    GuiHost& GetGuiHost() { return m_guiHost; }

    // How the system reaches the machine's graphics: the OpenGL adapter unless a test gives another.
    using AdapterFactory = std::unique_ptr<platform::gfx::Adapter> (*)(std::string& error);
    static void SetAdapterFactory(AdapterFactory factory);

    Graphics();
    ~Graphics() override;

    // The settings: window title and sizes, full screen, lighting, particles, the random texture, and
    // the colour a frame shows where no effect draws.
    bool Serialize(Serializer& serializer) override;
    const char* GetName() const override { return "Graphics"; }
    // One frame: the UI host's step, the cameras, particles, lights and lines, then the scene (effects,
    // "RenderUI", the UI canvas) and Present.
    void Update(float dt) override;
    // Registers the component types, measures the desktop, checks the machine's graphics, opens the main
    // window and the device on it, registers the graphics file types and resource creators, and makes
    // the fonts of the resource tree usable by name.
    void Init() override;
    // Registers the component types this system owns, in their fixed order.
    static void RegisterComponentTypes();
    // Puts the effect "Model" in the effect list, registers the listeners and announces the device, the
    // window and the back-buffer size.
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
    // Null before Init, or when no device could be made.
    platform::gfx::Device* GetDevice() const { return m_device.get(); }
    std::uint32_t GetBackBufferWidth() const { return m_presentParameters.backBufferWidth; }
    std::uint32_t GetBackBufferHeight() const { return m_presentParameters.backBufferHeight; }
    const platform::gfx::PresentParameters& GetPresentParameters() const { return m_presentParameters; }
    bool IsFullScreen() const { return m_fullScreen; }
    float GetPresentTime() const { return m_presentTime; }
    ViewProjection& GetViewProjection() { return m_viewProjection; }
    ViewProjection& GetFarViewProjection() { return m_farViewProjection; }
    DrawGroups& GetDrawGroups() { return m_drawGroups; }
    const TextRenderer& GetTextRenderer() const { return m_textRenderer; }
    FXParamGroup& GetParams() { return m_params; }
    const std::vector<Resource<Effect>>& GetEffects() const { return m_effects; }

    // Device loss: releases what lives on the device ("LostDevice" first), and rebuilds it after a reset
    // ("ResetDevice" first). Init rebuilds once right after the device is made.
    void HandleLostDevice();
    void HandleResetDevice();
    // Keeps the full-screen size when the display has that mode; else takes the desktop size when the
    // display has that; else leaves it.
    void CheckFullScreenResolution();
    // Display modes. Each change of mode or size resizes the window and the back buffer (announced by
    // "WindowSizeRefreshed") and goes through the release, reset and rebuild of a lost device.
    void ToggleFullscreen();
    // Switches only when the mode asked for is not the current one.
    void SetFullscreen(bool fullScreen);
    // The windowed and the full-screen size. A width or height below 1 or above the adapter's largest
    // texture is refused with a report, and nothing changes.
    void SetResolution(std::uint32_t width, std::uint32_t height);
    // The full-screen size; used at once only in full screen. Refused as SetResolution refuses.
    void SetPreferredFullscreenResolution(std::uint32_t width, std::uint32_t height);
    // The display's sizes, each once, in the display's order; only those whose width / height (whole
    // numbers) is aspect when aspect is not 0.
    std::vector<platform::PixelSize> Resolutions(std::uint32_t aspect) const;
    // Width / height of the full-screen size (of the desktop when none is set), in whole numbers.
    std::uint32_t GetDefaultAspect() const;

    // Called by the draw group "text" while an effect runs.
    void RenderText();

    // The methods scripts call on "graphics".
    static void RegisterLuaMethods(lua_State* state);
    // Lighting and presentation as scripts see them; a changed VSync takes effect at the next reset. The
    // colours are float colours, never clamped.
    Color4 GetAmbient() const { return m_ambient; }
    void SetAmbient(Color4 ambient) { m_ambient = ambient; }
    Vector4 GetDirectionalLight() const { return m_directionalLight; }
    void SetDirectionalLight(Vector4 direction) { m_directionalLight = direction; }
    bool GetDirectionalLightOn() const { return m_directionalLightOn; }
    void SetDirectionalLightOn(bool on) { m_directionalLightOn = on; }
    Color4 GetDirectionalLightColor() const { return m_directionalLightColor; }
    void SetDirectionalLightColor(Color4 colour) { m_directionalLightColor = colour; }
    void SetVSync(bool vsync) { m_vsync = vsync; }
    std::uint32_t GetDesktopWidth() const { return m_desktopWidth; }
    std::uint32_t GetDesktopHeight() const { return m_desktopHeight; }
    const std::array<std::string, 3>& GetPicturePaths() const { return m_picturePaths; }
    // The adapter's identity as four words (all 0 without an adapter).
    std::array<std::uint32_t, 4> GetAdapterIdentifier() const;

private:
    void RegisterMessageListeners();
    void ChooseBackBufferSize();
    void CreateMainWindow();
    void CheckCapabilities();
    void CreateDevice();
    void RegisterResourceTypes(ResourceManager& resources);
    // The first effect's shared parameters: screen size, ambient and field of view, then the group's.
    void UpdateSharedParameters(Effect& first, float dt, float gameTime);
    void DrawScene(float dt, float gameTime);
    // After Present: waits out a lost device and resets it once it can be; reports other failures.
    void HandlePresentResult(platform::gfx::Result result);
    // Release, Reset with the present parameters, rebuild (also after a failed Reset, which the next
    // frame tries again).
    void ResetDevice();
    void ResetForModeChange();
    void SetBackBufferSize(std::uint32_t width, std::uint32_t height);
    // Whether a size asked for can be a back buffer's; reported under the caller's name when not.
    bool AcceptsSize(const char* caller, std::uint32_t width, std::uint32_t height) const;
    // The adapter's X8R8G8B8 modes in its order; a mode that cannot be read is reported and left out.
    std::vector<platform::gfx::DisplayMode> DisplayModes() const;
    // Up to three readable .png, .jpg or .bmp files of the user's pictures folder, chosen at random,
    // never one twice; a missing folder is reported.
    void ChooseUserPictures();
    // The desktop snapshot and the chosen pictures as textures for draw objects that ask for them.
    void CreateScreenTexture();
    void LoadPictureTextures();
    void OnCreatedDrawObject(Component* component);
    void OnCreatedParticleEmitter(Component* component);

    float m_presentTime = 0.0f;
    bool m_disableParticles = false;
    bool m_fullScreen = false;
    std::string m_title;
    std::unique_ptr<platform::gfx::StateBlock> m_stateBlock;
    std::unique_ptr<platform::Window> m_window;
    std::uint32_t m_clientWidth = 0;
    std::uint32_t m_clientHeight = 0;
    std::unique_ptr<platform::gfx::Adapter> m_adapter;
    std::unique_ptr<platform::gfx::Device> m_device;
    platform::gfx::PresentParameters m_presentParameters;
    DrawGroups m_drawGroups;
    std::vector<Resource<Effect>> m_effects;
    FXParamGroup m_params;
    RenderTargetManager m_renderTargets;
    ViewProjection m_viewProjection;
    ViewProjection m_farViewProjection;
    float m_farFarPlaneDist = 0.0f;
    float m_farFov = 0.0f;
    std::shared_ptr<platform::gfx::Surface> m_defaultColourTarget;
    std::shared_ptr<platform::gfx::Surface> m_defaultDepthTarget;
    GuiHost m_guiHost;
    Color4 m_ambient{0.2f, 0.1f, 0.1f, 1.0f};
    std::uint32_t m_fullScreenWidth = 0;
    std::uint32_t m_fullScreenHeight = 0;
    std::uint32_t m_windowedWidth = 800;
    std::uint32_t m_windowedHeight = 600;
    std::uint32_t m_desktopWidth = 0;
    std::uint32_t m_desktopHeight = 0;
    bool m_vsync = false;
    bool m_resetFailed = false;
    platform::DesktopPicture m_desktopPicture;
    std::array<std::string, 3> m_picturePaths;
    GameObjectHandle m_mainCamera;
    Vector4 m_directionalLight{0.0f, 0.0f, 0.0f, 0.0f};
    Color4 m_directionalLightColor{1.0f / 255.0f, 1.0f / 255.0f, 1.0f / 255.0f, 1.0f / 255.0f};
    bool m_directionalLightOn = false;
    Resource<Texture> m_randomTexture;
    TextRenderer m_textRenderer;
};

// The Graphics system of the running game; null when there is none.
Graphics* GetGraphics();

} // namespace Quarn
