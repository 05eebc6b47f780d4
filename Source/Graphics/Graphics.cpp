#include "Graphics/Graphics.h"

#include "Core/LowerCase.h"
#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/Random.h"
#include "Core/RestartGameException.h"
#include "Core/SystemManager.h"
#include "Core/TimeManager.h"
#include "GameObjects/Camera.h"
#include "GameObjects/ComponentRegistry.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectManager.h"
#include "Graphics/DXResourceCreator.h"
#include "Graphics/DebugLineManager.h"
#include "Graphics/DrawObject.h"
#include "Graphics/Effect.h"
#include "Graphics/GraphicsError.h"
#include "Graphics/Mesh.h"
#include "Graphics/ParticleEmitter.h"
#include "Graphics/PointLight.h"
#include "Graphics/Text.h"
#include "Graphics/Texture.h"
#include "Graphics/TextureAtlas.h"
#include "Input/Input.h"
#include "Physics/Physics.h"
#include "Resources/ConvertViaCmdLine.h"
#include "Resources/ResourceManager.h"
#include "Resources/SerializerTypes.h"
#include "platform/core/Clock.h"
#include "platform/folders/UserFolders.h"
#include "platform/fonts/PrivateFonts.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/ImageFile.h"
#include "platform/gfx/gl/GlDevice.h"
#include "platform/window/Cursor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace Quarn
{

namespace gfx = platform::gfx;

namespace
{
Graphics::AdapterFactory g_adapterFactory = &gfx::CreateGlAdapter;

MessageManager* Messages()
{
    SystemManager* systems = SystemManager::Instance();
    return systems ? &systems->GetMessageManager() : nullptr;
}
} // namespace

void Graphics::SetAdapterFactory(AdapterFactory factory)
{
    g_adapterFactory = factory ? factory : &gfx::CreateGlAdapter;
}

Graphics* GetGraphics()
{
    SystemManager* systems = SystemManager::Instance();
    return systems ? dynamic_cast<Graphics*>(systems->GetSystem("Graphics")) : nullptr;
}

Graphics::Graphics()
{
    m_presentParameters.backBufferWidth = 1024;
    m_presentParameters.backBufferHeight = 700;
}

Graphics::~Graphics()
{
    if (m_device)
        HandleLostDevice();
    for (Resource<Effect>& effect : m_effects)
        if (effect)
            effect->OnLostDevice();
    // The device draws on the window: it goes first.
    m_device.reset();
    m_adapter.reset();
}

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

void Graphics::ChooseBackBufferSize()
{
    if (!m_fullScreen)
    {
        m_presentParameters.backBufferWidth = m_windowedWidth;
        m_presentParameters.backBufferHeight = m_windowedHeight;
    }
    else if (m_fullScreenHeight == 0)
    {
        m_presentParameters.backBufferWidth = m_desktopWidth;
        m_presentParameters.backBufferHeight = m_desktopHeight;
    }
    else
    {
        m_presentParameters.backBufferWidth = m_fullScreenWidth;
        m_presentParameters.backBufferHeight = m_fullScreenHeight;
    }
}

void Graphics::CheckFullScreenResolution()
{
    if (m_fullScreenWidth == 0 || m_fullScreenHeight == 0)
    {
        m_fullScreenWidth = m_desktopWidth;
        m_fullScreenHeight = m_desktopHeight;
    }
    bool desktopFound = false;
    for (const gfx::DisplayMode& mode : DisplayModes())
    {
        if (mode.width == m_fullScreenWidth && mode.height == m_fullScreenHeight)
            return;
        desktopFound |= mode.width == m_desktopWidth && mode.height == m_desktopHeight;
    }
    if (desktopFound)
    {
        m_fullScreenWidth = m_desktopWidth;
        m_fullScreenHeight = m_desktopHeight;
    }
}

void Graphics::CheckCapabilities()
{
    const gfx::Capabilities& caps = m_adapter->GetCapabilities();
    if (!(caps.presentImmediate || caps.presentVSync))
        QUARN_ASSERT_FAILED_AS(
            "! (caps.PresentationIntervals & D3DPRESENT_INTERVAL_IMMEDIATE || "
            "caps.PresentationIntervals & D3DPRESENT_INTERVAL_ONE)",
            "Your card does not support VSYNC, this is strange and unexpected, please contact a "
            "developer and we may be able to fix it, but for now we're crashing!");
    if (caps.vertexShaderModel < 3 || caps.pixelShaderModel < 3)
        QUARN_ASSERT_FAILED_AS(
            "*(((char*)&caps.VertexShaderVersion)+1) < 3 || "
            "*(((char*)&caps.PixelShaderVersion)+1) < 3",
            "Your card does not support vertex or pixel shader model 3.0.  If you are pretty sure "
            "it does, contact the developers and I am probably getting false positives that I "
            "can fix!");
}

void Graphics::CreateMainWindow()
{
    OutputHandler& output = OutputHandler::Get();
    output.Log("Created window");
    std::string error;
    m_window = platform::Window::Create({m_title, m_presentParameters.backBufferWidth,
                                         m_presentParameters.backBufferHeight, &Graphics::WindowProcedure},
                                        error);
    if (!m_window)
    {
        QUARN_ASSERT_FAILED_AS("m_wnd == NULL", "Window creation failed, %s!", error.c_str());
        return;
    }
    SystemManager* systems = SystemManager::Instance();
    Input* input = systems ? dynamic_cast<Input*>(systems->GetSystem("Input")) : nullptr;
    m_window->SetUserData(input);
    if (m_fullScreen)
        m_window->SetMode(
            {true, m_presentParameters.backBufferWidth, m_presentParameters.backBufferHeight, 0, 0});
    m_window->Show();
}

void Graphics::CreateDevice()
{
    m_presentParameters.backBufferFormat = m_fullScreen ? gfx::Format::A8R8G8B8 : gfx::Format::X8R8G8B8;
    m_presentParameters.windowed = !m_fullScreen;
    m_presentParameters.autoDepthStencil = true;
    m_presentParameters.depthStencilFormat = gfx::Format::D24S8;
    m_presentParameters.vsync = m_vsync;
    if (m_window)
    {
        m_clientWidth = m_window->ClientWidth();
        m_clientHeight = m_window->ClientHeight();
    }
    OutputHandler& output = OutputHandler::Get();
    output.Log("Creating device");
    const gfx::Result result = m_adapter->CreateDevice(m_window.get(), m_presentParameters, m_device);
    if (result.Failed() || !m_device)
    {
        m_device.reset();
        QUARN_GRAPHICS_ERROR(result,
                             "Failed to create DirectDevice, make sure you have proper drivers, and a "
                             "graphics card that can support DX9 shader model 3!");
        return;
    }
    output.Log("device created");
    HandleResetDevice();
    output.Log("reset");
}

void Graphics::RegisterResourceTypes(ResourceManager& resources)
{
    OutputHandler& output = OutputHandler::Get();
    output.StartTimer("Cache graphics resources");
    resources.AddCopiedExtensions({"dds", "txa", "tai", "ttf", "png", "tmb"});
    resources.AddConversion("fx", "fxo",
                            ConvertViaCmdLine(ConvertViaCmdLine::TargetThenSource,
                                              "./tools/fxc.exe /T fx_2_0 /Fo \"%s\" \"%s\""));
    resources.AddConversion("jpg", "dds", &DDSCompiler);
    resources.AddConversion("png", "dds", &DDSCompiler);
    output.EndTimer("Cache graphics resources");

    gfx::Device* device = m_device.get();
    resources.RegisterCreator<Effect>(DXResourceCreator<Effect>(device));
    resources.RegisterCreator<Mesh>(DXResourceCreator<Mesh>(device));
    resources.RegisterCreator<Texture>(DXResourceCreator<Texture>(device));
    resources.RegisterCreator<TextureAtlas>(
        [](ResourceNode& node, SystemManager& systems, ResourceBase& atlas)
        { TextureAtlas::Create(node, systems, static_cast<TextureAtlas&>(atlas)); });
}

void Graphics::Init()
{
    RegisterComponentTypes();
    const platform::PixelSize desktop = platform::DesktopSize();
    m_desktopHeight = desktop.height;
    m_desktopWidth = desktop.width;
    m_desktopPicture = platform::CaptureDesktop(m_desktopWidth, m_desktopHeight);
    ChooseUserPictures();

    std::string error;
    m_adapter = g_adapterFactory(error);
    if (!m_adapter)
    {
        QUARN_REPORT("DirectX failed to initialize!");
        return;
    }
    CheckCapabilities();
    gfx::DisplayMode mode;
    const gfx::Result modeResult = m_adapter->GetDisplayMode(mode);
    if (modeResult.Failed())
        QUARN_GRAPHICS_ERROR(modeResult, "Failed to query display adaper modes (resolutions and such)!");
    CheckFullScreenResolution();
    ChooseBackBufferSize();
    CreateMainWindow();
    CreateDevice();

    OutputHandler& output = OutputHandler::Get();
    m_drawGroups.m_particlesOff = m_disableParticles;
    m_drawGroups.m_renderText = [this] { RenderText(); };
    m_drawGroups.m_hasText = [this] { return !m_textRenderer.GetTexts().empty(); };
    output.Log("anttweak");
    output.Log("anttweak2");
    if (SystemManager* systems = SystemManager::Instance())
        RegisterResourceTypes(systems->GetResourceManager());
    if (DebugLineManager* lines = DebugLineManager::Current())
        lines->SetViewProjection(&m_viewProjection);
    if (m_farFarPlaneDist > 0.0f)
        m_farViewProjection.SetFarPlane(m_farFarPlaneDist);
    if (m_farFov > 0.0f)
        m_farViewProjection.SetFOV(
            static_cast<float>(static_cast<double>(m_farFov) / 180.0 * 3.1415927410125732));
    m_guiHost.Init(m_device.get(), GetBackBufferWidth(), GetBackBufferHeight());
    if (SystemManager* systems = SystemManager::Instance())
        systems->GetResourceManager().Root().ForEachWithExtension("ttf", [](const std::string& path)
                                                                  { platform::fonts::AddPrivateFont(path); });
}

void Graphics::RegisterMessageListeners()
{
    MessageManager* messages = Messages();
    if (!messages)
        return;
    messages->RegisterListener<void(unsigned, unsigned)>(
        "WindowResized",
        [this](unsigned width, unsigned height)
        {
            if (!m_fullScreen)
                OutputHandler::Get().Log("Change window size: %u %u", width, height);
        });
    // Maximising a window takes it to full screen; restoring one from full screen takes it back.
    messages->RegisterListener<void()>("WindowMaximized",
                                       [this]
                                       {
                                           if (!m_fullScreen)
                                               ToggleFullscreen();
                                       });
    messages->RegisterListener<void()>("WindowRestore",
                                       [this]
                                       {
                                           if (m_fullScreen)
                                               ToggleFullscreen();
                                       });
    messages->RegisterListener<void()>("ToggleFullscreen", [this] { ToggleFullscreen(); });
    messages->RegisterListener<void(Camera*)>("SetMainCamera",
                                              [this](Camera* camera) { SetMainCamera(camera); });
    messages->RegisterListener<void(Component*)>(
        "CreatedPointLight",
        [this](Component* light) { m_drawGroups.AddPointLight(static_cast<PointLight*>(light)); });
    messages->RegisterListener<void(Component*)>(
        "DestroyedPointLight",
        [this](Component* light) { m_drawGroups.RemovePointLight(static_cast<PointLight*>(light)); });
    messages->RegisterListener<void(Component*)>("CreatedDrawObject",
                                                 [this](Component* object) { OnCreatedDrawObject(object); });
    messages->RegisterListener<void(Component*)>(
        "DestroyedDrawObject",
        [this](Component* object) { m_drawGroups.RemoveObject(static_cast<DrawObject*>(object)); });
    messages->RegisterListener<void(Component*)>("CreatedParticleEmitter", [this](Component* emitter)
                                                 { OnCreatedParticleEmitter(emitter); });
    messages->RegisterListener<void(Component*)>(
        "DestroyedParticleEmitter",
        [this](Component* emitter) { m_drawGroups.RemoveEmitter(static_cast<ParticleEmitter*>(emitter)); });
    m_textRenderer.Init(*messages);
    messages->RegisterListener<void(std::string, float)>("ChangeDXGlobalFloat",
                                                         [this](const std::string& name, float value)
                                                         { m_params.ChangeFloat(name, value); });
}

void Graphics::OnCreatedDrawObject(Component* component)
{
    auto* object = static_cast<DrawObject*>(component);
    SystemManager* systems = SystemManager::Instance();
    if (!systems)
        return;
    ResourceManager& resources = systems->GetResourceManager();
    object->m_mesh = resources.GetResource<Mesh>(object->m_mesh.GetName());
    object->m_texture = resources.GetResource<Texture>(object->m_texture.GetName());
    object->m_textureAtlas = resources.GetResource<TextureAtlas>(object->m_textureAtlas.GetName());
    gfx::SurfaceDesc top;
    if (object->m_textureAtlas && object->m_texture && object->m_texture->GetTexture() &&
        object->m_texture->GetTexture()->GetLevelDesc(0, top).Succeeded())
        object->m_textureAtlas->SetTextureSize(static_cast<float>(top.width), static_cast<float>(top.height));
    m_drawGroups.AddObject(object);
}

void Graphics::OnCreatedParticleEmitter(Component* component)
{
    auto* emitter = static_cast<ParticleEmitter*>(component);
    if (SystemManager* systems = SystemManager::Instance())
        emitter->m_texture = systems->GetResourceManager().GetResource<Texture>(emitter->m_texture.GetName());
    m_drawGroups.AddEmitter(emitter);
}

void Graphics::WarmReset()
{
    m_mainCamera = GameObjectHandle();
    m_guiHost.WarmReset();
}

void Graphics::InitResources(ResourceManager& resources)
{
    m_guiHost.InitResources();
    OutputHandler& output = OutputHandler::Get();
    output.Log("initresources");
    output.StartTimer("GRaphicsInit1");
    // A warm reset runs this again; the effect list keeps one "Model".
    const bool hasModel =
        std::any_of(m_effects.begin(), m_effects.end(),
                    [](const Resource<Effect>& effect) { return effect.GetName() == "Model"; });
    if (!hasModel)
    {
        m_effects.push_back(resources.GetResource<Effect>("Model"));
        m_params.Bind(m_effects.back() ? m_effects.back()->GetEffect() : nullptr);
    }
    RegisterMessageListeners();
    output.EndTimer("GRaphicsInit1");
    output.StartTimer("GRaphicsInit2");
    if (MessageManager* messages = Messages())
    {
        messages->SendMessage("DirectXDeviceInitialized", m_device.get());
        messages->SendMessage("WindowCreated", GetWindow());
        messages->SendMessage("WindowSizeRefreshed", static_cast<unsigned>(GetBackBufferWidth()),
                              static_cast<unsigned>(GetBackBufferHeight()));
    }
    output.EndTimer("GRaphicsInit2");
    // A settings resource without "RandomTexture" names no texture.
    if (m_randomTexture.GetName() != Resource<Texture>().GetName())
        m_randomTexture = resources.GetResource<Texture>(m_randomTexture.GetName());
    CreateScreenTexture();
    LoadPictureTextures();
}

void Graphics::ChooseUserPictures()
{
    m_picturePaths = {};
    const std::filesystem::path folder = platform::PicturesFolder();
    std::error_code error;
    if (folder.empty())
    {
        QUARN_ASSERT_FAILED_AS("!success", "Couldn't get my pictures... PANIC!");
        return;
    }
    if (!std::filesystem::exists(folder, error))
    {
        QUARN_ASSERT_FAILED_AS("!fs::exists( path )", "My pictures doesn't exist... PANIC!");
        return;
    }
    if (!std::filesystem::is_directory(folder, error))
    {
        QUARN_ASSERT_FAILED_AS("!fs::is_directory( path )", "My pictures isn't a directory... PANIC!");
        return;
    }
    std::vector<std::string> candidates;
    // The folder may change while it is walked: a step that fails ends the walk with what was found, and
    // only files that can be read are candidates.
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error))
    {
        const std::string extension = LowerCase(entry->path().extension().string());
        if (extension != ".png" && extension != ".jpg" && extension != ".bmp")
            continue;
        std::error_code unreadable;
        if (!entry->is_regular_file(unreadable) || !std::ifstream(entry->path(), std::ios::binary))
            continue;
        candidates.push_back(entry->path().string());
    }
    // Directory order is the file system's; sorting makes the engine generator's choice repeatable.
    std::sort(candidates.begin(), candidates.end());
    for (std::string& path : m_picturePaths)
    {
        if (candidates.empty())
            break;
        const std::size_t pick = static_cast<std::size_t>(EngineRand()) % candidates.size();
        path = std::move(candidates[pick]);
        candidates[pick] = std::move(candidates.back());
        candidates.pop_back();
    }
}

void Graphics::CreateScreenTexture()
{
    m_drawGroups.m_screenTexture.reset();
    if (!m_device || m_desktopPicture.pixels.empty())
        return;
    std::shared_ptr<gfx::Texture> texture;
    gfx::Result result = m_device->CreateTexture(m_desktopPicture.width, m_desktopPicture.height, 1, 0,
                                                 gfx::Format::A8R8G8B8, gfx::Pool::Managed, texture);
    if (result.Failed())
    {
        QUARN_GRAPHICS_ERROR(result, "Couldn't create Screen Texture");
        return;
    }
    gfx::LockedRect locked;
    result = texture->LockRect(0, locked, nullptr, 0);
    if (result.Failed())
    {
        QUARN_GRAPHICS_ERROR(result, "Couldn't lock screen texture");
        return;
    }
    for (std::uint32_t y = 0; y < m_desktopPicture.height; ++y)
        std::memcpy(static_cast<std::uint8_t*>(locked.bits) +
                        std::size_t{y} * static_cast<std::size_t>(locked.pitch),
                    m_desktopPicture.pixels.data() + std::size_t{y} * m_desktopPicture.width,
                    std::size_t{m_desktopPicture.width} * 4);
    result = texture->UnlockRect(0);
    if (result.Failed())
        QUARN_GRAPHICS_ERROR(result, "Couldn't unlock screen texture");
    m_drawGroups.m_screenTexture = std::move(texture);
}

void Graphics::LoadPictureTextures()
{
    m_drawGroups.m_pictures = {};
    for (std::size_t i = 0; i < m_picturePaths.size() && !m_picturePaths[i].empty() && m_device; ++i)
    {
        gfx::DecodedImage image;
        std::string error;
        if (!gfx::DecodeImageFile(m_picturePaths[i], image, error))
            continue;
        std::shared_ptr<gfx::Texture> texture;
        if (gfx::CreateImageTexture(*m_device, image, texture).Failed())
            continue;
        m_drawGroups.m_pictures[i] = std::move(texture);
    }
}

void Graphics::HandleLostDevice()
{
    if (MessageManager* messages = Messages())
        messages->SendMessage("LostDevice");
    m_textRenderer.OnLostDevice();
    m_defaultColourTarget.reset();
    m_defaultDepthTarget.reset();
    m_renderTargets.OnLostDevice(m_device.get());
    m_drawGroups.OnLostDevice();
    m_presentParameters.vsync = m_vsync;
    m_stateBlock.reset();
    for (Resource<Effect>& effect : m_effects)
        if (effect)
            effect->OnLostDevice();
}

void Graphics::HandleResetDevice()
{
    if (MessageManager* messages = Messages())
        messages->SendMessage("ResetDevice", m_device.get());
    m_viewProjection.SetAspect(static_cast<float>(GetBackBufferWidth()) /
                               static_cast<float>(GetBackBufferHeight()));
    gfx::Device& device = *m_device;
    device.SetRenderState(gfx::RenderState::FillMode, gfx::kFillSolid);
    device.SetRenderState(gfx::RenderState::CullMode, gfx::kCullCounterClockwise);
    device.SetRenderState(gfx::RenderState::AlphaBlendEnable, 1);
    device.SetRenderState(gfx::RenderState::SrcBlend, gfx::kBlendSrcAlpha);
    device.SetRenderState(gfx::RenderState::DestBlend, gfx::kBlendInvSrcAlpha);
    device.SetRenderState(gfx::RenderState::Lighting, 0);
    device.SetRenderState(gfx::RenderState::MultisampleAntialias, 0);
    device.CreateStateBlock(m_stateBlock);
    m_defaultColourTarget = device.GetRenderTarget(0);
    m_defaultDepthTarget = device.GetDepthStencilSurface();
    m_renderTargets.OnResetDevice(GetBackBufferWidth(), GetBackBufferHeight(), &device);
    if (!m_drawGroups.m_quadDeclaration)
    {
        const gfx::VertexElement quad[] = {{0, 0, gfx::DeclType::Float4, gfx::DeclUsage::PositionT, 0},
                                           {0, 16, gfx::DeclType::Float2, gfx::DeclUsage::TexCoord, 0}};
        device.CreateVertexDeclaration(quad, m_drawGroups.m_quadDeclaration);
    }
    for (Resource<Effect>& effect : m_effects)
        if (effect)
        {
            effect->SetTextureBySemantic("RANDOM_TEXTURE",
                                         m_randomTexture ? m_randomTexture->GetTexture() : nullptr);
        }
}

void Graphics::RenderText()
{
    OutputHandler& output = OutputHandler::Get();
    output.StartTimer("RenderText");
    m_textRenderer.DrawAll(m_device.get(), m_viewProjection.GetViewProjection());
    output.EndTimer("RenderText");
}

void Graphics::UpdateSharedParameters(Effect& first, float dt, float gameTime)
{
    gfx::Effect* effect = first.GetEffect();
    if (!m_params.IsBoundTo(effect))
        m_params.Bind(effect);
    if (!effect)
        return;
    const float screenSize[] = {static_cast<float>(GetBackBufferWidth()),
                                static_cast<float>(GetBackBufferHeight())};
    effect->SetFloats(m_params.Handle(FXParamGroup::ScreenSize), screenSize);
    const float ambient[] = {m_ambient.r, m_ambient.g, m_ambient.b, m_ambient.a};
    effect->SetFloats(m_params.Handle(FXParamGroup::Ambient), ambient);
    effect->SetFloat(m_params.Handle(FXParamGroup::Fov), m_viewProjection.GetFOV());

    FXParamGroup::FrameValues frame;
    frame.time = gameTime;
    frame.elapsed = dt;
    SystemManager* systems = SystemManager::Instance();
    if (const auto* physics = systems ? dynamic_cast<const Physics*>(systems->GetSystem("Physics")) : nullptr)
        frame.physicsDt = physics->GetPhysicsDT();
    frame.directionalLight = m_directionalLight;
    frame.directionalLightColor = {m_directionalLightColor.r, m_directionalLightColor.g,
                                   m_directionalLightColor.b, m_directionalLightColor.a};
    m_params.Update(m_viewProjection, m_farViewProjection, frame);
}

void Graphics::DrawScene(float dt, float gameTime)
{
    OutputHandler& output = OutputHandler::Get();
    gfx::Device& device = *m_device;
    const gfx::Result begun = device.BeginScene();
    if (begun.Failed())
        QUARN_GRAPHICS_ERROR(begun, "D3D Device begin scene failed!");
    if (m_stateBlock)
        m_stateBlock->Apply();

    output.StartTimer("UpdateParams");
    if (!m_effects.empty() && m_effects.front())
        UpdateSharedParameters(*m_effects.front(), dt, gameTime);
    output.EndTimer("UpdateParams");

    output.StartTimer("Effect");
    m_drawGroups.m_directionalLightOn = m_directionalLightOn;
    for (Resource<Effect>& effect : m_effects)
        if (effect)
            Effect::Render(*effect, &device, &m_renderTargets, m_defaultDepthTarget, m_defaultColourTarget,
                           &m_drawGroups);
    output.EndTimer("Effect");

    device.SetRenderState(gfx::RenderState::ZEnable, 0);
    device.SetStreamSource(0, nullptr, 0, 0);
    device.SetStreamSource(1, nullptr, 0, 0);
    device.SetIndices(nullptr);
    device.SetStreamSourceFreq(0, 1);
    device.SetStreamSourceFreq(1, 1);
    if (m_stateBlock)
    {
        m_stateBlock->Apply();
        m_stateBlock->Apply();
    }

    output.StartTimer("RenderUI");
    if (MessageManager* messages = Messages())
        messages->SendMessage("RenderUI", &device);
    output.EndTimer("RenderUI");

    device.SetRenderState(gfx::RenderState::CullMode, gfx::kCullNone);
    device.SetRenderState(gfx::RenderState::ZEnable, 0);
    if (m_guiHost.HasCanvas())
        m_guiHost.RenderCanvas();
    device.SetRenderState(gfx::RenderState::CullMode, gfx::kCullCounterClockwise);

    output.StartTimer("End");
    const gfx::Result ended = device.EndScene();
    if (ended.Failed())
        QUARN_GRAPHICS_ERROR(ended, "D3D Device end scene failed!");
    output.EndTimer("End");
}

void Graphics::HandlePresentResult(gfx::Result result)
{
    if (result == gfx::Result::Code::DeviceLost)
    {
        // Waits until the device can be reset; any other answer ends the wait, and only a device that
        // can be reset is.
        result = m_device->TestCooperativeLevel();
        while (result == gfx::Result::Code::DeviceLost)
        {
            platform::GetClock().SleepMs(200);
            result = m_device->TestCooperativeLevel();
        }
        if (result != gfx::Result::Code::DeviceNotReset)
            return;
    }
    if (result == gfx::Result::Code::DeviceNotReset)
        ResetDevice();
    else if (result.Failed())
        QUARN_GRAPHICS_ERROR(result, "present failed.");
}

void Graphics::ResetDevice()
{
    HandleLostDevice();
    const gfx::Result reset = m_device->Reset(m_presentParameters);
    m_resetFailed = reset.Failed();
    if (m_resetFailed)
        QUARN_GRAPHICS_ERROR(reset, "Device reset failed!");
    HandleResetDevice();
}

void Graphics::ResetForModeChange()
{
    if (!m_device)
        return;
    m_device->SetStreamSource(0, nullptr, 0, 0);
    m_device->SetStreamSource(1, nullptr, 0, 0);
    m_device->SetVertexDeclaration(nullptr);
    m_device->SetIndices(nullptr);
    ResetDevice();
}

void Graphics::SetBackBufferSize(std::uint32_t width, std::uint32_t height)
{
    m_presentParameters.backBufferWidth = width;
    m_presentParameters.backBufferHeight = height;
    // Whoever follows the back buffer's size (input's mouse, the UI) learns of every change.
    if (MessageManager* messages = Messages())
        messages->SendMessage("WindowSizeRefreshed", static_cast<unsigned>(width),
                              static_cast<unsigned>(height));
}

void Graphics::ToggleFullscreen()
{
    m_fullScreen = !m_fullScreen;
    m_presentParameters.backBufferFormat = gfx::Format::X8R8G8B8;
    m_presentParameters.windowed = !m_fullScreen;
    if (m_fullScreen)
    {
        CheckFullScreenResolution();
        if (m_fullScreenHeight == 0)
            SetBackBufferSize(m_desktopWidth, m_desktopHeight);
        else
            SetBackBufferSize(m_fullScreenWidth, m_fullScreenHeight);
        if (m_window)
            m_window->SetMode({true, GetBackBufferWidth(), GetBackBufferHeight(), 0, 0});
    }
    else
    {
        SetBackBufferSize(m_windowedWidth, m_windowedHeight);
        if (m_window)
            m_window->SetMode({false, m_windowedWidth, m_windowedHeight, 100, 100});
    }
    ResetForModeChange();
}

void Graphics::SetFullscreen(bool fullScreen)
{
    if (fullScreen != m_fullScreen)
        ToggleFullscreen();
}

bool Graphics::AcceptsSize(const char* caller, std::uint32_t width, std::uint32_t height) const
{
    const std::uint32_t largest = m_adapter ? m_adapter->GetCapabilities().maxTextureSize : 0;
    if (width >= 1 && height >= 1 && width <= largest && height <= largest)
        return true;
    QUARN_REPORT("%s: %u x %u is not a size the display can take (1 to %u each way).", caller, width, height,
                 largest);
    return false;
}

void Graphics::SetResolution(std::uint32_t width, std::uint32_t height)
{
    if (!AcceptsSize("SetResolution", width, height))
        return;
    m_fullScreenWidth = m_windowedWidth = width;
    m_fullScreenHeight = m_windowedHeight = height;
    CheckFullScreenResolution();
    if (m_fullScreen)
    {
        SetBackBufferSize(m_fullScreenWidth, m_fullScreenHeight);
        if (m_window)
            m_window->SetMode({true, m_fullScreenWidth, m_fullScreenHeight, 0, 0});
    }
    else
    {
        SetBackBufferSize(m_windowedWidth, m_windowedHeight);
        if (m_window)
            m_window->SetMode({false, m_windowedWidth, m_windowedHeight});
    }
    ResetForModeChange();
}

void Graphics::SetPreferredFullscreenResolution(std::uint32_t width, std::uint32_t height)
{
    if (!AcceptsSize("SetPreferredFullscreenResolution", width, height))
        return;
    m_fullScreenWidth = width;
    m_fullScreenHeight = height;
    CheckFullScreenResolution();
    if (!m_fullScreen)
        return;
    SetBackBufferSize(m_fullScreenWidth, m_fullScreenHeight);
    if (MessageManager* messages = Messages())
        messages->SendMessage("WindowResized", static_cast<unsigned>(GetBackBufferWidth()),
                              static_cast<unsigned>(GetBackBufferHeight()));
    if (m_window)
        m_window->SetMode({true, m_fullScreenWidth, m_fullScreenHeight, 0, 0});
    ResetForModeChange();
}

std::vector<gfx::DisplayMode> Graphics::DisplayModes() const
{
    std::vector<gfx::DisplayMode> modes;
    const std::uint32_t count = m_adapter ? m_adapter->GetModeCount(gfx::Format::X8R8G8B8) : 0;
    for (std::uint32_t i = 0; i < count; ++i)
    {
        gfx::DisplayMode mode;
        const gfx::Result result = m_adapter->EnumMode(gfx::Format::X8R8G8B8, i, mode);
        if (result.Failed())
            QUARN_GRAPHICS_ERROR(
                result, "Failed to query available resolutions, make sure you have proper video drivers!");
        else
            modes.push_back(mode);
    }
    return modes;
}

std::vector<platform::PixelSize> Graphics::Resolutions(std::uint32_t aspect) const
{
    std::vector<platform::PixelSize> sizes;
    for (const gfx::DisplayMode& mode : DisplayModes())
    {
        const bool fits = aspect == 0 || (mode.height != 0 && mode.width / mode.height == aspect);
        const bool listed = std::any_of(sizes.begin(), sizes.end(),
                                        [&](const platform::PixelSize& size)
                                        { return size.width == mode.width && size.height == mode.height; });
        if (fits && !listed)
            sizes.push_back({mode.width, mode.height});
    }
    return sizes;
}

std::array<std::uint32_t, 4> Graphics::GetAdapterIdentifier() const
{
    return m_adapter ? m_adapter->Identifier() : std::array<std::uint32_t, 4>{};
}

std::uint32_t Graphics::GetDefaultAspect() const
{
    if (m_fullScreenHeight == 0)
        return m_desktopHeight == 0 ? 0 : m_desktopWidth / m_desktopHeight;
    return m_fullScreenWidth / m_fullScreenHeight;
}

void Graphics::Update(float dt)
{
    // A reset that failed is tried again, once a frame, until it takes.
    if (m_resetFailed && m_device)
        ResetDevice();
    if (m_window)
    {
        m_clientWidth = m_window->ClientWidth();
        m_clientHeight = m_window->ClientHeight();
    }
    m_guiHost.Update(dt);
    if (Camera* camera = GetMainCamera())
    {
        m_viewProjection.SetView(camera->UpdateFromTransform());
        m_farViewProjection.SetView(camera->UpdateFromTransform());
    }
    SystemManager* systems = SystemManager::Instance();
    const float gameTime =
        systems ? static_cast<float>(systems->GetTimeManager().GetGameTimer()->GetTotalTime()) : 0.0f;
    OutputHandler& output = OutputHandler::Get();

    output.StartTimer("GFXUpdate");
    if (!m_drawGroups.m_particlesOff)
        m_drawGroups.UpdateParticles(dt, gameTime);
    output.EndTimer("GFXUpdate");
    if (!m_device)
        return;

    output.StartTimer("GFXPrep");
    m_drawGroups.PreparePointLights(m_device.get());
    if (!m_drawGroups.m_particlesOff)
        m_drawGroups.PrepareParticles(m_device.get());
    m_drawGroups.UploadLines(m_device.get());
    output.EndTimer("GFXPrep");

    output.StartTimer("GFXDraw");
    DrawScene(dt, gameTime);
    output.EndTimer("GFXDraw");

    output.StartTimer("GFXPresent");
    const gfx::Result presented = m_device->Present();
    m_presentTime = output.EndTimer("GFXPresent");
    HandlePresentResult(presented);
    platform::ShowCursor(!m_fullScreen);
}

} // namespace Quarn
