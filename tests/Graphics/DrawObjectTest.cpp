#include "Graphics/DrawObject.h"
#include "../Script/LuaTestState.h"
#include "Audio/Audio.h"
#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "Core/TimeManager.h"
#include "GameObjects/GameObjectLua.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/Gameplay.h"
#include "GameObjects/Transform.h"
#include "Graphics/DrawGroups.h"
#include "Graphics/Graphics.h"
#include "Graphics/Mesh.h"
#include "Graphics/ParticleEmitter.h"
#include "Graphics/Texture.h"
#include "Physics/Physics.h"
#include "Platform/GlDeviceFixture.h"
#include "Resources/ResourceManager.h"
#include "platform/gfx/DdsFile.h"
#include "platform/gfx/EffectFile.h"
#include "support/CapturedErrors.h"
#include "support/RecordingGraphics.h"
#include "support/RunFolder.h"
#include "support/TempDir.h"
#include "tools/meshbuilder/MeshBuilder.h"

#include <gtest/gtest.h>

#include <optional>

namespace Quarn
{
namespace
{

namespace gfx = platform::gfx;

// Draws the group "objects" straight into clip space (World alone places a quad), its texture cut by
// FRAME and faded by the alpha of VELOCITY_EDGE_ALPHA; then, unless the group "fx" is empty, a grey
// veil over the whole screen.
constexpr const char* kObjectsEffect = R"(
float Script : STANDARDSGLOBAL < string Script = "Technique=Main;"; > = 0.8;
float4x4 World : WORLD;
float4 Frame : FRAME;
float4 VelocityEdgeAlpha : VELOCITY_EDGE_ALPHA;
texture ObjectTexture : TEXTURE;
float4 Black = {0, 0, 0, 1};
technique Main < string Script = "ClearSetColor=Black; Clear=Color; Pass=Objects; Pass=Veil;"; >
{
    pass Objects < string Script = "Draw=Objects;"; >
    {
        ZEnable = false; AlphaBlendEnable = true; SrcBlend = SrcAlpha; DestBlend = InvSrcAlpha; CullMode = None;
        VertexShader = glsl {
            layout(location = IN_POSITION) in vec3 position;
            layout(location = IN_TEXCOORD0) in vec2 texCoord;
            layout(location = 0) out vec2 vTexCoord;
            void main()
            {
                gl_Position = World * vec4(position, 1.0);
                vTexCoord = Frame.xy + texCoord * Frame.zw;
            }
        };
        PixelShader = glsl {
            layout(location = 0) in vec2 vTexCoord;
            layout(location = 0) out vec4 result;
            void main() { result = texture(ObjectTexture, vTexCoord) * vec4(1.0, 1.0, 1.0, VelocityEdgeAlpha.w); }
        };
    }
    pass Veil < string Script = "SkipIfEmpty=fx; Draw=Screen;"; >
    {
        ZEnable = false; AlphaBlendEnable = false; CullMode = None;
        PixelShader = glsl {
            layout(location = 0) out vec4 result;
            void main() { result = vec4(0.5, 0.5, 0.5, 1.0); }
        };
    }
}
)";

// The same drawn instanced: the pass asks for it and reads each object's values from its instance.
std::string InstancedObjectsEffect()
{
    std::string text = kObjectsEffect;
    const auto replace = [&text](const std::string& from, const std::string& to)
    { text.replace(text.find(from), from.size(), to); };
    replace(R"(pass Objects < string Script = "Draw=Objects;"; >)",
            R"(pass Objects < string Script = "Draw=Objects;"; bool Instancing = true; >)");
    replace("layout(location = 0) out vec2 vTexCoord;",
            "layout(location = IN_INSTANCE_WORLD0) in vec4 world0;\n"
            "layout(location = IN_INSTANCE_WORLD1) in vec4 world1;\n"
            "layout(location = IN_INSTANCE_WORLD2) in vec4 world2;\n"
            "layout(location = IN_INSTANCE_WORLD3) in vec4 world3;\n"
            "layout(location = IN_INSTANCE_FRAME) in vec4 frame;\n"
            "layout(location = IN_INSTANCE_VELOCITY_EDGE_ALPHA) in vec4 velocityEdgeAlpha;\n"
            "layout(location = 0) out vec2 vTexCoord;\n"
            "layout(location = 1) out float vAlpha;");
    replace("gl_Position = World * vec4(position, 1.0);",
            "gl_Position = mat4(world0, world1, world2, world3) * vec4(position, 1.0);");
    replace("vTexCoord = Frame.xy + texCoord * Frame.zw;",
            "vTexCoord = frame.xy + texCoord * frame.zw; vAlpha = velocityEdgeAlpha.w;");
    replace("layout(location = 0) in vec2 vTexCoord;\n            layout(location = 0) out vec4 result;\n"
            "            void main() { result = texture(ObjectTexture, vTexCoord) * vec4(1.0, 1.0, 1.0, "
            "VelocityEdgeAlpha.w); }",
            "layout(location = 0) in vec2 vTexCoord;\n layout(location = 1) in float vAlpha;\n"
            "layout(location = 0) out vec4 result;\n"
            "void main() { result = texture(ObjectTexture, vTexCoord) * vec4(1.0, 1.0, 1.0, vAlpha); }");
    return text;
}

// An A8R8G8B8 texture of one level from packed colours, rows from the top.
std::string Dds(std::uint32_t width, std::uint32_t height, const std::vector<std::uint32_t>& colours)
{
    std::vector<std::uint8_t> level;
    for (const std::uint32_t colour : colours)
        for (int shift : {0, 8, 16, 24})
            level.push_back(static_cast<std::uint8_t>(colour >> shift));
    const std::vector<std::uint8_t> file = gfx::WriteDds(gfx::Format::A8R8G8B8, width, height, {level});
    return {file.begin(), file.end()};
}

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;

std::string Prototype(const std::string& drawObject, const std::string& extra = "")
{
    return "<?xml version=\"1.0\" ?>\n<root><Object><Transform/>" + extra + "<DrawObject>" + drawObject +
           "</DrawObject></Object></root>\n";
}

// Textures Red, Blue, Default and Sheet (green left half, blue right half, with the frames "flag 0"
// and "flag 1"), the mesh Quad and the object prototypes the tests draw.
void WriteScene(const test::RunFolder& folder, const std::string& effect)
{
    folder.WriteSource("Settings/Graphics.xml", "<?xml version=\"1.0\" ?>\n<root><Graphics/></root>\n");
    folder.WriteWorking("Effects/Model.fxo", gfx::CompiledEffect(effect));
    folder.WriteWorking("Textures/Red.dds", Dds(2, 2, std::vector<std::uint32_t>(4, kRed)));
    folder.WriteWorking("Textures/Blue.dds", Dds(2, 2, std::vector<std::uint32_t>(4, kBlue)));
    folder.WriteWorking("Textures/Default.dds", Dds(1, 1, {0xFFFFFFFF}));
    folder.WriteWorking("Textures/Sheet.dds",
                        Dds(4, 2, {kGreen, kGreen, kBlue, kBlue, kGreen, kGreen, kBlue, kBlue}));
    std::string sheet;
    for (const std::int32_t value : {2, 0, 0, 2, 2, 2, 0, 2, 2})
        for (int i = 0; i < 4; ++i)
            sheet.push_back(static_cast<char>(static_cast<std::uint32_t>(value) >> (8 * i)));
    folder.WriteWorking("Textures/Sheet.txa", sheet + "flag 0" + '\0' + "flag 1" + '\0');
    Mesh quad;
    tools::BuildGrid(quad, 1.0f, 1.0f, 1, 1);
    folder.WriteWorking("Meshes/Quad.tmb", tools::MeshFileBytes(quad));

    folder.WriteSource("Objects/RedSprite.xml", Prototype("<Texture>Red</Texture>"));
    folder.WriteSource("Objects/BlueSprite.xml", Prototype("<Texture>Blue</Texture>"));
    folder.WriteSource("Objects/FxSprite.xml", Prototype("<Texture>Red</Texture><DrawGroup>FX</DrawGroup>"));
    folder.WriteSource(
        "Objects/Glass.xml",
        Prototype("<Texture>Blue</Texture><DrawGroup>objects</DrawGroup><HasAlpha>1</HasAlpha>"));
    // No DrawGroup key: the translucent object keeps the group string "Objects" as the constructor set it.
    folder.WriteSource("Objects/StrayGlass.xml", Prototype("<Texture>Blue</Texture><HasAlpha>1</HasAlpha>"));
    folder.WriteSource("Objects/Sparks.xml",
                       "<?xml version=\"1.0\" ?>\n<root><Object><Transform/><ParticleEmitter>"
                       "<EmitSpeed>10</EmitSpeed><Blending>1</Blending></ParticleEmitter></Object></root>\n");
    folder.WriteSource("Objects/Flag.xml",
                       Prototype("<Texture>Sheet</Texture><TextureAtlas>Sheet</TextureAtlas>"
                                 "<Frame>flag</Frame><InterpolatedTexture>0</InterpolatedTexture>"));
}

// The engine's component types, in the order the systems register them.
void RegisterComponentTypes()
{
    Physics::RegisterComponentTypes();
    Gameplay::RegisterComponentTypes();
    Audio::RegisterComponentTypes();
    Graphics::RegisterComponentTypes();
}

// A game with a Graphics system over the scene above.
class Scene
{
public:
    explicit Scene(bool recording, const std::string& effect = kObjectsEffect)
    {
        WriteScene(m_folder, effect);
        RegisterComponentTypes();
        if (recording)
        {
            test::RecordingGraphics::StartGame(m_systems, m_graphics);
            return;
        }
        Graphics::SetAdapterFactory(nullptr);
        test::RecordingGraphics::StartGame(m_systems, m_graphics);
    }
    ~Scene()
    {
        m_graphics.reset();
        m_systems.reset();
    }

    GameObject& Create(const std::string& prototype, float x, float y, float z = 0.0f, float scale = 1.0f)
    {
        GameObject* object = m_systems->GetGameObjectManager().CreateGameObject(prototype);
        EXPECT_NE(object, nullptr) << prototype;
        Transform& transform = *object->Get<Transform>();
        transform.Position = Vector4(x, y, z, 0.0f);
        transform.Scale = Vector4(scale, scale, 1.0f, 0.0f);
        transform.NotifyChanged();
        return *object;
    }
    DrawGroups& Groups() { return m_graphics->GetDrawGroups(); }

    test::RunFolder m_folder{{}};
    test::CapturedErrors m_errors;
    OutputHandler m_output{false};
    std::optional<SystemManager> m_systems;
    std::optional<Graphics> m_graphics;
};

class DrawObjectTest : public testing::Test
{
protected:
    test::RecordingGraphics m_devices;
    Scene m_scene{true};
};

TEST(DrawObjectDefaultsTest, AConstructedObjectShowsTheWholeDefaultTexture)
{
    DrawObject object;
    EXPECT_EQ(object.m_mesh.GetName(), "Quad");
    EXPECT_EQ(object.m_texture.GetName(), "Default");
    EXPECT_EQ(object.m_drawGroup, "Objects");
    EXPECT_EQ(object.m_alpha, 1.0f);
    EXPECT_TRUE(object.m_visible && object.m_interpolatedTexture && object.m_mipMap);
    EXPECT_EQ(object.m_picture, DrawObject::kNoPicture);
    const struct
    {
        std::int32_t slot;
        std::int32_t result;
    } pictures[] = {{2, 2}, {3, 2}, {-2, 2}, {0, 0}, {-1, -1}};
    for (const auto& c : pictures)
    {
        object.SetPicture(c.slot);
        EXPECT_EQ(object.m_picture, c.result) << c.slot;
    }
}

TEST(DrawObjectDefaultsTest, FramesAdvanceOncePerFrameTimeFromTheFirstFrame)
{
    DrawObject object;
    object.m_frameNumber = 2;
    object.m_frameStartTime = 10.0f;
    const struct
    {
        float frameTime;
        float now;
        std::uint32_t frame;
    } cases[] = {{0.0f, 100.0f, 2}, {0.5f, 10.0f, 2},  {0.5f, 10.49f, 2}, {0.5f, 11.6f, 5},
                 {0.25f, 9.5f, 0},  {-1.0f, 12.0f, 0}, {1e-30f, 11.0f, 2}};
    for (const auto& c : cases)
    {
        object.m_frameTime = c.frameTime;
        EXPECT_EQ(object.CurrentFrame(c.now), c.frame) << c.frameTime << " " << c.now;
    }
}

TEST_F(DrawObjectTest, BatchesHoldObjectsOfOneGroupMeshAndTextureAndEmptinessFollowsTheGroups)
{
    DrawGroups& groups = m_scene.Groups();
    EXPECT_TRUE(groups.IsEmpty("objects"));
    m_scene.Create("RedSprite", 0, 0);
    m_scene.Create("RedSprite", 1, 0);
    GameObject& blue = m_scene.Create("BlueSprite", 2, 0);
    EXPECT_EQ(groups.GetBatches().size(), 2u);
    for (const auto& [key, objects] : groups.GetBatches())
        EXPECT_EQ(key >> 48, DrawGroups::GroupId("objects"));
    EXPECT_EQ(groups.GetBatches().begin()->second.size(), 2u);
    EXPECT_FALSE(groups.IsEmpty("Objects"));
    EXPECT_FALSE(groups.IsEmpty("objects"));

    // A translucent object is matched by its group string as written.
    EXPECT_TRUE(groups.IsEmpty("fx"));
    m_scene.Create("StrayGlass", 0, 0);
    EXPECT_TRUE(groups.IsEmpty("never"));
    EXPECT_TRUE(groups.IsEmpty("objects") == false);
    m_scene.Create("FxSprite", 0, 0);
    EXPECT_FALSE(groups.IsEmpty("fx"));
    EXPECT_EQ(groups.GetTranslucent().size(), 1u);
    // "screen" never counts as empty; "lights" and "particles" do without members.
    EXPECT_FALSE(groups.IsEmpty("screen"));
    EXPECT_TRUE(groups.IsEmpty("lights"));
    EXPECT_TRUE(groups.IsEmpty("particles"));

    m_scene.m_systems->GetGameObjectManager().Destroy(blue.GetHandle());
    m_scene.m_systems->GetGameObjectManager().FrameEnd();
    EXPECT_EQ(groups.GetBatches().size(), 2u) << "the blue batch is erased, the fx batch is there";
    EXPECT_EQ(m_scene.m_errors.Count(), 0u) << m_scene.m_errors.Texts()[0];
}

// The setters that change resources or translucency put a changed copy in the component's place; the
// plain setters change the live component without a message; a handle kept from before reaches
// whichever component is there.
TEST_F(DrawObjectTest, ScriptsReplaceTheComponentForResourceChangesOnly)
{
    GameObject& sprite = m_scene.Create("RedSprite", 0, 0);
    std::vector<std::string> announced;
    MessageManager& messages = m_scene.m_systems->GetMessageManager();
    for (const char* name : {"CreatedDrawObject", "DestroyedDrawObject"})
        messages.RegisterListener<void(Component*)>(name, [&announced, name](Component*)
                                                    { announced.push_back(name); });
    test::LuaTestState lua;
    LuaConverter<GameObject*>::Push(lua.State(), &sprite);
    lua_setglobal(lua.State(), "sprite");
    const DrawObject* before = sprite.Get<DrawObject>();

    EXPECT_EQ(lua.Run(R"(
        kept = sprite.drawObject
        kept:SetAlpha(0.5)
        kept:SetVisible(false)
        kept:SetPitch(0.25)
        kept:SetPicture(7)
        assert(kept:GetAlpha() == 0.5 and not kept:IsVisible() and kept:GetPitch() == 0.25)
    )"),
              "");
    EXPECT_TRUE(announced.empty());
    EXPECT_EQ(sprite.Get<DrawObject>(), before);
    EXPECT_EQ(before->m_picture, DrawObject::kNoPicture);

    EXPECT_EQ(lua.Run(R"(
        kept:SetTexture("Blue")
        kept:SetHasAlpha(true)
        assert(kept:HasAlpha() and kept:GetAlpha() == 0.5 and not kept:IsVisible())
        kept:SetFrameNumber(3)
    )"),
              "");
    EXPECT_EQ(announced, (std::vector<std::string>{"DestroyedDrawObject", "CreatedDrawObject",
                                                   "DestroyedDrawObject", "CreatedDrawObject"}));
    const DrawObject& now = *sprite.Get<DrawObject>();
    EXPECT_EQ(now.m_texture.GetName(), "Blue");
    ASSERT_TRUE(now.m_texture) << "resolved as it entered the draw groups";
    EXPECT_EQ(now.m_frameNumber, 3u);
    // It left its batch for the translucent list.
    EXPECT_TRUE(m_scene.Groups().GetBatches().empty());
    EXPECT_EQ(m_scene.Groups().GetTranslucent(), (std::vector<DrawObject*>{sprite.Get<DrawObject>()}));
    EXPECT_EQ(m_scene.m_errors.Count(), 0u) << m_scene.m_errors.Texts()[0];
}

// The inspector writes the fields of live components: an object made translucent or opaque or moved to
// another group, and an emitter given another blending, stay where they were put and leave from there,
// so that nothing of them is drawn once they are destroyed.
TEST_F(DrawObjectTest, ObjectsAndEmittersLeaveThePlaceTheyWereGivenWhateverTheirFieldsSayNow)
{
    GameObject& red = m_scene.Create("RedSprite", 0, 0);
    GameObject& glass = m_scene.Create("StrayGlass", 1, 0);
    GameObject& sparks = m_scene.Create("Sparks", 2, 0);
    red.Get<DrawObject>()->m_hasAlpha = true;
    red.Get<DrawObject>()->m_drawGroup = "fx";
    glass.Get<DrawObject>()->m_hasAlpha = false;
    sparks.Get<ParticleEmitter>()->m_blending = 2;
    const DrawGroups& groups = m_scene.Groups();
    EXPECT_EQ(groups.GetBatches().size(), 1u);
    EXPECT_EQ(groups.GetTranslucent().size(), 1u);
    ASSERT_EQ(groups.GetEmitterBatches().size(), 1u);
    EXPECT_EQ(groups.GetEmitterBatches().begin()->first.first, 1) << "still under the blending it had";

    GameObjectManager& objects = m_scene.m_systems->GetGameObjectManager();
    for (GameObject* object : {&red, &glass, &sparks})
        objects.Destroy(object->GetHandle());
    objects.FrameEnd();
    EXPECT_TRUE(groups.GetBatches().empty());
    EXPECT_TRUE(groups.GetTranslucent().empty());
    EXPECT_TRUE(groups.GetEmitterBatches().empty());
    m_scene.m_graphics->Update(0.016f);
    EXPECT_EQ(m_scene.m_errors.Count(), 0u) << m_scene.m_errors.Texts()[0];
}

// One frame of the recording device: the draws of the group, with the calls around them.
TEST_F(DrawObjectTest, AGroupBindsEachBatchOnceAndDrawsVisibleObjectsOneByOne)
{
    m_scene.Create("RedSprite", 0, 0);
    m_scene.Create("RedSprite", 1, 0).Get<DrawObject>()->m_visible = false;
    m_scene.Create("RedSprite", 2, 0);
    m_scene.Create("BlueSprite", 3, 0);
    m_scene.Create("StrayGlass", 4, 0);
    gfx::RecordingDevice& device = *m_devices.Device();
    device.ClearLog();
    m_scene.m_graphics->Update(0.016f);
    std::size_t draws = 0;
    std::size_t indexBindings = 0;
    for (const std::string& call : device.Log())
    {
        draws += call.starts_with("DrawIndexedPrimitive triangles 0 0 6 0 2");
        indexBindings += call.starts_with("SetIndices #");
    }
    EXPECT_EQ(draws, 3u) << "the hidden object and the stray translucent one are not drawn";
    EXPECT_EQ(indexBindings, 2u) << "one set-up per batch";
    EXPECT_EQ(m_scene.m_errors.Count(), 0u) << m_scene.m_errors.Texts()[0];
}

// Instanced, each run of objects sharing mesh, texture and filters is one draw of as many instances;
// translucent objects never join an opaque run.
TEST(InstancedDrawObjectTest, EachRunOfLikeObjectsIsOneInstancedDraw)
{
    test::RecordingGraphics devices;
    Scene scene(true, InstancedObjectsEffect());
    scene.Create("RedSprite", 0, 0);
    scene.Create("RedSprite", 1, 0).Get<DrawObject>()->m_visible = false;
    scene.Create("RedSprite", 2, 0);
    scene.Create("BlueSprite", 3, 0);
    scene.Create("Glass", 4, 0);
    scene.Create("Glass", 5, 0, 1.0f);
    gfx::RecordingDevice& device = *devices.Device();
    device.ClearLog();
    scene.m_graphics->Update(0.016f);
    std::vector<std::string> instanceCounts;
    std::size_t draws = 0;
    for (const std::string& call : device.Log())
    {
        if (call.starts_with("SetStreamSourceFreq 0 4"))
            instanceCounts.push_back(call.substr(call.rfind(' ') + 1));
        draws += call.starts_with("DrawIndexedPrimitive");
    }
    EXPECT_EQ(instanceCounts, (std::vector<std::string>{"40000002", "40000001", "40000002"}));
    EXPECT_EQ(draws, 3u);
    EXPECT_EQ(scene.m_errors.Count(), 0u) << scene.m_errors.Texts()[0];
}

// The same scene drawn by OpenGL, object by object (false) and instanced (true): the same pixels.
class GlDrawObjectTest : public gfx::test::GlDeviceFixture, public testing::WithParamInterface<bool>
{
protected:
    // The fixture's own device goes before the scene makes the Graphics system's.
    GlDrawObjectTest() : GlDeviceFixture(1, 1)
    {
        m_device.reset();
        m_made.emplace(false, GetParam() ? InstancedObjectsEffect() : std::string(kObjectsEffect));
    }

    std::vector<std::uint32_t> Frame()
    {
        m_scene.m_graphics->Update(0.016f);
        std::vector<std::uint32_t> pixels;
        gfx::Device& device = *m_scene.m_graphics->GetDevice();
        EXPECT_TRUE(device.ReadSurface(*device.GetBackBuffer(), pixels).Succeeded());
        return pixels;
    }
    // The pixel at clip-space point (x, y).
    std::uint32_t At(const std::vector<std::uint32_t>& pixels, float x, float y) const
    {
        const std::uint32_t width = m_scene.m_graphics->GetBackBufferWidth();
        const std::uint32_t height = m_scene.m_graphics->GetBackBufferHeight();
        const auto column = static_cast<std::size_t>((x + 1.0f) / 2.0f * static_cast<float>(width));
        const auto row = static_cast<std::size_t>((1.0f - y) / 2.0f * static_cast<float>(height));
        return pixels[row * width + column] & 0xFFFFFF;
    }

    std::optional<Scene> m_made;
    Scene& m_scene = *m_made;
};

TEST_P(GlDrawObjectTest, TexturedQuadsAtlasFramesAndTranslucentOrderReachThePixels)
{
    ASSERT_NE(m_scene.m_graphics->GetDevice(), nullptr);
    m_scene.Create("RedSprite", -0.5f, 0.5f, 0.0f, 0.5f);
    m_scene.Create("Flag", 0.5f, 0.5f, 0.0f, 0.5f);
    // Translucent objects are drawn from low z to high z, whatever order they were made in: the blue
    // one at z 0.2 ends on top.
    m_scene.Create("Glass", -0.5f, -0.5f, 0.2f, 0.5f);
    GameObject& under = m_scene.Create("Glass", -0.5f, -0.5f, 0.1f, 0.5f);
    under.Get<DrawObject>()->m_texture = m_scene.m_systems->GetResourceManager().GetResource<Texture>("Red");
    std::vector<std::uint32_t> pixels = Frame();
    EXPECT_EQ(At(pixels, -0.5f, 0.5f), 0xFF0000u);
    EXPECT_EQ(At(pixels, -0.8f, 0.5f), 0x000000u) << "outside the quad";
    EXPECT_EQ(At(pixels, 0.5f, 0.5f), 0x00FF00u) << "the atlas's first frame: the left half";
    EXPECT_EQ(At(pixels, -0.5f, -0.5f), 0x0000FFu);
    EXPECT_EQ(At(pixels, 0.5f, -0.5f), 0x000000u) << "no veil: the group fx is empty";

    m_scene.Create("FxSprite", 5.0f, 5.0f);
    pixels = Frame();
    EXPECT_EQ(At(pixels, 0.5f, -0.5f), 0x808080u) << "the veil pass runs once fx holds an object";
    EXPECT_EQ(m_scene.m_errors.Count(), 0u) << m_scene.m_errors.Texts()[0];
}

TEST_P(GlDrawObjectTest, TheSecondAtlasFrameShowsTheRightHalf)
{
    ASSERT_NE(m_scene.m_graphics->GetDevice(), nullptr);
    GameObject& flag = m_scene.Create("Flag", 0.0f, 0.0f, 0.0f, 1.0f);
    flag.Get<DrawObject>()->m_frameNumber = 1;
    EXPECT_EQ(At(Frame(), 0.0f, 0.0f), 0x0000FFu);
}

// The demo's own effect draws each group in a pass of its own, since a pass is skipped when a group it
// draws is empty: a game with objects and no backdrop shows them.
class GlDemoEffectTest : public gfx::test::GlDeviceFixture
{
protected:
    GlDemoEffectTest() : GlDeviceFixture(1, 1) { m_device.reset(); }
};

TEST_F(GlDemoEffectTest, AGameWithoutABackdropShowsItsObjects)
{
    Scene scene(false, test::TempDir::Read(std::string(QUARN_BINARY_DIR) + "/Resources/Effects/Model.fx"));
    gfx::Device* device = scene.m_graphics->GetDevice();
    ASSERT_NE(device, nullptr);
    // Without a camera the eye is at the origin looking down -z: a red sprite 100 units wide, 400 away,
    // covers the middle of the picture.
    scene.Create("RedSprite", 0.0f, 0.0f, -400.0f, 100.0f);
    scene.m_graphics->Update(0.016f);
    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(device->ReadSurface(*device->GetBackBuffer(), pixels).Succeeded());
    const std::uint32_t width = scene.m_graphics->GetBackBufferWidth();
    const std::uint32_t centre =
        pixels[std::size_t{scene.m_graphics->GetBackBufferHeight() / 2} * width + width / 2];
    EXPECT_GT(centre >> 16 & 0xFF, 200u) << std::hex << centre;
    EXPECT_LT(centre & 0xFF, 60u) << std::hex << centre << " is the background's blue";
    EXPECT_EQ(scene.m_errors.Count(), 0u) << scene.m_errors.Texts()[0];
}

INSTANTIATE_TEST_SUITE_P(Drawing, GlDrawObjectTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info)
                         { return info.param ? "Instanced" : "ObjectByObject"; });

} // namespace
} // namespace Quarn
