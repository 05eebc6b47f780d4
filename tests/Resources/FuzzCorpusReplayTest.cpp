#include "GraphicsTargets.h"
#include "ReaderTargets.h"
#include "support/CapturedErrors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace Quarn
{
namespace
{

// Every saved input of a reader (seeds, and inputs that once crashed it) goes through that reader again;
// under the sanitizers a crash, an out-of-bounds read or a leak fails the test.
TEST(FuzzCorpusReplayTest, EverySavedInputIsReadWithoutAFault)
{
    const struct
    {
        const char* folder;
        void (*read)(const std::uint8_t*, std::size_t);
    } readers[] = {
        {"xml_reader", &fuzz::ReadXMLObject},
        {"binary_reader", &fuzz::ReadBinaryObject},
        {"saved_table_reader", &fuzz::ReadSavedTable},
        {"sound_project_builder", &fuzz::BuildSoundProject},
        {"sound_project_loader", &fuzz::LoadSoundProject},
        {"sound_file_reader", &fuzz::ReadSoundFile},
        {"pictures", &fuzz::ReadPicture},
        {"dds_reader", &fuzz::ReadDdsTexture},
        {"mesh_reader", &fuzz::ReadMeshFile},
        {"sprite_sheet_reader", &fuzz::ReadSpriteSheet},
        {"atlas_description_reader", &fuzz::ReadAtlasDescription},
        {"effect_source_reader", &fuzz::CheckEffectSource},
        {"compiled_effect_reader", &fuzz::LoadCompiledEffect},
        {"effect_script_reader", &fuzz::RunEffectScripts},
    };
    test::CapturedErrors errors;
    for (const auto& reader : readers)
    {
        std::size_t inputs = 0;
        for (const auto& entry :
             std::filesystem::directory_iterator(std::filesystem::path(QUARN_FUZZ_CORPUS) / reader.folder))
        {
            SCOPED_TRACE(entry.path().string());
            std::ifstream file(entry.path(), std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
            reader.read(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++inputs;
        }
        EXPECT_GT(inputs, 0u) << reader.folder;
    }
}

} // namespace
} // namespace Quarn
