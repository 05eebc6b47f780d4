#include "Graphics/Graphics.h"

#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Core/SystemManager.h"
#include "GameObjects/Camera.h"
#include "GameObjects/ComponentRegistry.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectManager.h"
#include "Graphics/DrawObject.h"
#include "Graphics/ParticleEmitter.h"
#include "Graphics/PointLight.h"
#include "Graphics/Text.h"
#include "Input/Input.h"
#include "Resources/SerializerTypes.h"

namespace Quarn
{

Graphics::Graphics() = default;

Graphics::~Graphics() = default;

bool Graphics::Serialize(Serializer& serializer)
{
    SerializeNamed(serializer, m_fullScreenWidth, "FullScreenWidth");
    SerializeNamed(serializer, m_fullScreenHeight, "FullScreenHeight");
    SerializeNamed(serializer, m_windowedWidth, "WindowedWidth");
    SerializeNamed(serializer, m_windowedHeight, "WindowedHeight");
    SerializeNamed(serializer, m_title, "Title");
    SerializeNamed(serializer, m_ambient, "Ambient");
    SerializeNamed(serializer, m_disableParticles, "DisableParticles");
    SerializeNamed(serializer, m_fullScreen, "FullScreen");
    SerializeNamed(serializer, m_farFarPlaneDist, "FarFarPlaneDist");
    SerializeNamed(serializer, m_farFov, "FarFOV");
    SerializeNamed(serializer, m_vsync, "VSync");
    SerializeNamed(serializer, m_directionalLight, "DirectionalLight");
    SerializeNamed(serializer, m_directionalLightColor, "DirectionalLightColor");
    SerializeNamed(serializer, m_directionalLightOn, "DirectionalLightOn");
    SerializeNamed(serializer, m_randomTexture, "RandomTexture");
    return true;
}

void Graphics::Update(float) {}

platform::WindowResult Graphics::WindowProcedure(platform::WindowHandle window,
                                                 const platform::WindowMessage& message)
{
    if (auto* input = static_cast<Input*>(window->UserData()))
        return Input::HandleWindowMessage(*input, window, message);
    return platform::DefaultWindowProcedure(window, message);
}

void Graphics::RegisterComponentTypes()
{
    ComponentRegistry& registry = GetComponentRegistry();
    registry.Register<DrawObject>();
    registry.Register<ParticleEmitter>();
    registry.Register<PointLight>();
    registry.Register<Text>();
}

void Graphics::SetMainCamera(Camera* camera)
{
    m_mainCamera = camera && camera->GetOwner() ? camera->GetOwnerHandle() : GameObjectHandle();
}

Camera* Graphics::GetMainCamera() const
{
    GameObjectManager* manager = GameObjectManager::Current();
    GameObject* owner = manager && m_mainCamera.IsValid() ? manager->Resolve(m_mainCamera) : nullptr;
    return owner ? owner->Get<Camera>() : nullptr;
}

void Graphics::RegisterMessageListeners()
{
    SystemManager* systems = SystemManager::Instance();
    if (!systems)
        return;
    MessageManager& messages = systems->GetMessageManager();
    messages.RegisterListener<void(unsigned, unsigned)>(
        "WindowResized",
        [this](unsigned width, unsigned height)
        {
            if (!m_fullScreen)
                OutputHandler::Get().Log("Change window size: %u %u", width, height);
        });
    messages.RegisterListener<void(Camera*)>("SetMainCamera",
                                             [this](Camera* camera) { SetMainCamera(camera); });
}

void Graphics::ChooseBackBufferSize()
{
    if (!m_fullScreen)
    {
        m_backBufferWidth = m_windowedWidth;
        m_backBufferHeight = m_windowedHeight;
    }
    else if (m_fullScreenHeight == 0)
    {
        m_backBufferWidth = m_desktopWidth;
        m_backBufferHeight = m_desktopHeight;
    }
    else
    {
        m_backBufferWidth = m_fullScreenWidth;
        m_backBufferHeight = m_fullScreenHeight;
    }
}

void Graphics::Init()
{
    RegisterComponentTypes();
    RegisterMessageListeners();
    const platform::PixelSize desktop = platform::DesktopSize();
    m_desktopHeight = desktop.height;
    m_desktopWidth = desktop.width;
    ChooseBackBufferSize();

    OutputHandler& output = OutputHandler::Get();
    output.Log("Created window");
    std::string error;
    m_window = platform::Window::Create(
        {m_title, m_backBufferWidth, m_backBufferHeight, &Graphics::WindowProcedure}, error);
    if (!m_window)
    {
        const bool inLua = output.InLua();
        output.AssertFailed("m_wnd == NULL", __FILE__, inLua, __LINE__, "Window creation failed, %s!",
                            error.c_str());
        ThrowIfRestart(inLua);
        return;
    }
    SystemManager* systems = SystemManager::Instance();
    Input* input = systems ? dynamic_cast<Input*>(systems->GetSystem("Input")) : nullptr;
    m_window->SetUserData(input);
    m_window->Show();
}

void Graphics::WarmReset()
{
    m_mainCamera = GameObjectHandle();
    RegisterMessageListeners();
}

void Graphics::InitResources(ResourceManager&)
{
    OutputHandler::Get().Log("initresources");
    SystemManager* systems = SystemManager::Instance();
    if (!systems)
        return;
    MessageManager& messages = systems->GetMessageManager();
    messages.SendMessage("WindowCreated", GetWindow());
    messages.SendMessage("WindowSizeRefreshed", static_cast<unsigned>(m_backBufferWidth),
                         static_cast<unsigned>(m_backBufferHeight));
}

} // namespace Quarn
