#include "GraphicsTargets.h"

#include "Graphics/Effect.h"
#include "Graphics/Mesh.h"
#include "Graphics/RenderTargetManager.h"
#include "Graphics/Texture.h"
#include "Graphics/TextureAtlas.h"
#include "Resources/BinaryInput.h"
#include "Resources/ResourceNode.h"
#include "Resources/ResourceNodeOwner.h"
#include "platform/core/ErrorPresenter.h"
#include "platform/gfx/EffectFile.h"
#include "platform/gfx/recording/RecordingDevice.h"
#include "tools/fxc/EffectCompiler.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

namespace Quarn::fuzz
{

namespace
{

namespace gfx = platform::gfx;

std::string_view Text(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// A resource tree whose every file reads as the bytes given last, as the resource manager reads files.
class MemoryFiles final : public ResourceNodeOwner
{
public:
    const std::string& SourceRoot() const override { return m_root; }
    const std::string& WorkingRoot() const override { return m_root; }
    std::shared_ptr<const char> ReadFileData(const std::string&, std::size_t& size) override
    {
        size = m_bytes.size();
        std::shared_ptr<char> copy(new char[std::max<std::size_t>(size, 1)], std::default_delete<char[]>());
        std::memcpy(copy.get(), m_bytes.data(), size);
        return copy;
    }

    // The node of the file's name; the file holds bytes.
    ResourceNode& File(const std::string& fileName, std::string_view bytes)
    {
        m_bytes = bytes;
        m_tree = std::make_unique<ResourceNode>(*this);
        m_tree->Add(m_root + "/" + fileName);
        ResourceNode* node = nullptr;
        m_tree->Filter(fileName.substr(0, fileName.find('.')), node);
        return *node;
    }

private:
    std::string m_root = "/fuzz";
    std::string_view m_bytes;
    std::unique_ptr<ResourceNode> m_tree;
};

void KeepReportsOffTheScreen()
{
    static const bool kept = []
    {
        platform::SetErrorCapture([](const std::string&, const std::string&) {});
        return true;
    }();
    (void)kept;
}

// One recording device for the run, its log emptied for every input. Its textures are small, so that
// no input can make the run's memory grow past its limit.
gfx::RecordingDevice& Device()
{
    KeepReportsOffTheScreen();
    static gfx::RecordingDevice* const device = []
    {
        auto* made = new gfx::RecordingDevice(gfx::PresentParameters{64, 48});
        made->SetMaxTextureSize(64);
        return made;
    }();
    device->ClearLog();
    return *device;
}

MemoryFiles& Files()
{
    static MemoryFiles* const files = new MemoryFiles();
    return *files;
}

// Parameters of every type and targets of every kind of size, for scripts to name. Loop counts stay
// small: loops nest, and the scripts are cut short, so that no frame runs for long.
constexpr std::string_view kScriptedEffect = R"(
float Script : STANDARDSGLOBAL < string Script = "Technique=Technique?Main;"; > = 0.8;
int Three = 3;
int Zero = 0;
int Minus = -1;
float Half = 0.5;
bool On = true;
int Step = 0;
float Index = 0;
float4 Red = {1, 0, 0, 1};
float Far = 0.25;
string Words = "no count";
texture Target < string Format = "A8R8G8B8"; float2 ViewPortRatio = {0.5, 0.5}; >;
texture Small < string Format = "A32B32G32R32F"; float2 ViewPortDimensions = {8, 4}; >;
texture Huge < string Format = "A8R8G8B8"; float2 ViewPortDimensions = {30000, 30000}; >;
texture Negative < string Format = "A8R8G8B8"; float2 ViewPortRatio = {-1, 0.5}; >;
texture Depth < string Format = "D24S8"; float2 ViewPortDimensions = {16, 16}; >;
texture Wrong < string Format = "a8r8g8b8"; >;
texture Shapeless;
technique Main < string Script = "@"; >
{
    pass P0 < string Script = "@"; > { StencilRef = 0; }
    pass P1 < string Script = "@"; > { StencilRef = 1; }
    pass P2 < string Script = "@"; > { StencilRef = 2; }
}
)";
constexpr std::size_t kLongestScript = 96;

} // namespace

void ReadDdsTexture(const std::uint8_t* data, std::size_t size)
{
    gfx::RecordingDevice& device = Device();
    Texture texture;
    Texture::Load(Files().File("Picture.dds", Text(data, size)), texture, &device);
}

void ReadMeshFile(const std::uint8_t* data, std::size_t size)
{
    gfx::RecordingDevice& device = Device();
    if (size > std::numeric_limits<std::uint32_t>::max())
        return;
    BinaryInput input(reinterpret_cast<const char*>(data), static_cast<std::uint32_t>(size));
    Mesh mesh;
    if (input.Exists(""))
    {
        input.BeginGroup("");
        mesh.Serialize(input);
        input.EndGroup();
    }
    if (!input.Good() || !mesh.Fault().empty())
        return;
    device.BeginScene();
    if (mesh.SetUp(device))
        mesh.Draw(device);
    device.EndScene();
}

void ReadSpriteSheet(const std::uint8_t* data, std::size_t size)
{
    KeepReportsOffTheScreen();
    TextureAtlas atlas;
    std::string fault;
    atlas.ReadSpriteSheet({reinterpret_cast<const char*>(data), size}, fault);
    atlas.SetTextureSize(64.0f, 32.0f);
    atlas.GetFrame("run", 4);
}

void ReadAtlasDescription(const std::uint8_t* data, std::size_t size)
{
    KeepReportsOffTheScreen();
    TextureAtlas atlas;
    std::string fault;
    atlas.ReadAtlasDescription(Text(data, size), fault);
    atlas.GetFrame("walk", 3);
}

void CheckEffectSource(const std::uint8_t* data, std::size_t size)
{
    KeepReportsOffTheScreen();
    std::string errors;
    tools::CheckEffect(Text(data, size), "fuzz.fx", errors);
}

void LoadCompiledEffect(const std::uint8_t* data, std::size_t size)
{
    gfx::RecordingDevice& device = Device();
    Effect effect;
    Effect::Load(Files().File("Model.fxo", Text(data, size)), effect, &device);
}

void RunEffectScripts(const std::uint8_t* data, std::size_t size)
{
    gfx::RecordingDevice& device = Device();
    // The lines of the input, without the quotes a script in an effect file cannot hold, go where the
    // effect holds "@", in order; scripts the input lacks stay empty.
    std::string effectText(kScriptedEffect);
    std::string_view lines = Text(data, size);
    for (std::size_t at = effectText.find('@'); at != std::string::npos; at = effectText.find('@', at))
    {
        const std::size_t end = std::min(lines.find('\n'), lines.size());
        std::string script(lines.substr(0, std::min(end, kLongestScript)));
        lines.remove_prefix(std::min(end + 1, lines.size()));
        std::erase(script, '"');
        effectText.replace(at, 1, script);
        at += script.size();
    }
    const std::string compiled = gfx::CompiledEffect(effectText);
    Effect effect;
    Effect::Load(Files().File("Model.fxo", compiled), effect, &device);
    RenderTargetManager targets;
    targets.OnResetDevice(64, 48, &device);
    for (int frame = 0; frame < 2; ++frame)
        Effect::Render(effect, &device, &targets, device.GetDepthStencilSurface(), device.GetBackBuffer(),
                       nullptr);
}

} // namespace Quarn::fuzz
