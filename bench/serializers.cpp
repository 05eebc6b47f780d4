// Reading objects from XML: XMLInput over a generated block file of 5,000 objects (under 3 MB) into objects,
// beside TinyXML's own parse of the same file with the settings XMLInput gives it (white space kept,
// UTF-8). The goal is a read, checks included, within 1.2 times the bare parse; the ratio of the medians
// of five runs each is printed after the runs.
#include "RatioReporter.h"
#include "Resources/SerializerTypes.h"
#include "Resources/XMLInput.h"
#include "Resources/XMLOutput.h"

#include <benchmark/benchmark.h>
#include <tinyxml.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

using namespace Quarn;

constexpr int kObjects = 5000;

// Optional group around a body, the way components are written.
template <class Body> void Component(Serializer& s, const char* type, Body body)
{
    if (!s.Exists(type))
        return;
    s.BeginGroup(type);
    if (s.Exists("unused"))
    {
        s.BeginGroup("unused");
        body();
        s.EndGroup();
    }
    s.EndGroup();
}

// Roughly the shape of a game object of the demo: an archetype, a transform, a drawn sprite and a
// name.
struct BenchObject : Serializeable
{
    std::vector<std::string> archetypes;
    float x = 0, y = 0, angle = 0;
    std::string texture;
    float alpha = 1;
    std::string name;

    bool Serialize(Serializer& s) override
    {
        SerializeSequence(s, archetypes, "unused;Archetype");
        Component(s, "Transform",
                  [&]
                  {
                      SerializeNamed(s, x, "X");
                      SerializeNamed(s, y, "Y");
                      SerializeNamed(s, angle, "Angle");
                  });
        Component(s, "DrawObject",
                  [&]
                  {
                      SerializeNamed(s, texture, "Texture");
                      SerializeNamed(s, alpha, "Alpha");
                  });
        Component(s, "Nameable", [&] { SerializeNamed(s, name, "Name"); });
        return true;
    }
};

struct BenchBlock : Serializeable
{
    std::vector<BenchObject> objects;
    bool Serialize(Serializer& s) override { return SerializeSequence(s, objects, "unused;Object"); }
};

const std::filesystem::path& BlockFile()
{
    static const std::filesystem::path path = []
    {
        const auto file = std::filesystem::temp_directory_path() /
                          ("quarn_bench_block_" + std::to_string(::getpid()) + ".xml");
        BenchBlock block;
        block.objects.resize(kObjects);
        for (int i = 0; i < kObjects; ++i)
        {
            BenchObject& o = block.objects[i];
            o.archetypes = {i % 3 ? "Enemy" : "Friend"};
            o.x = i * 1.25f;
            o.y = -i * 0.5f;
            o.angle = static_cast<float>(i % 360);
            o.texture = "ship_" + std::to_string(i % 16);
            o.alpha = 0.75f;
            o.name = "object" + std::to_string(i);
        }
        XMLOutput out(file);
        const char* map = "Map";
        out.BeginGroup(map);
        block.Serialize(out);
        out.EndGroup();
        out.Save();
        return file;
    }();
    return path;
}

void BM_TinyXmlParse(benchmark::State& state)
{
    const auto& path = BlockFile();
    const bool condensed = TiXmlBase::IsWhiteSpaceCondensed();
    TiXmlBase::SetCondenseWhiteSpace(false);
    for (auto _ : state)
    {
        TiXmlDocument document;
        benchmark::DoNotOptimize(document.LoadFile(path.c_str(), TIXML_ENCODING_UTF8));
    }
    TiXmlBase::SetCondenseWhiteSpace(condensed);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_TinyXmlParse)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_XMLInputRead(benchmark::State& state)
{
    const auto& path = BlockFile();
    for (auto _ : state)
    {
        BenchBlock block;
        XMLInput in(path);
        const char* map = "Map";
        in.BeginGroup(map);
        block.Serialize(in);
        in.EndGroup();
        if (block.objects.size() != kObjects)
            state.SkipWithError("objects were not all read");
        benchmark::DoNotOptimize(block.objects.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_XMLInputRead)->Unit(benchmark::kMillisecond)->Repetitions(5);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double parse = reporter.Time("BM_TinyXmlParse"), read = reporter.Time("BM_XMLInputRead");
    if (parse > 0 && read > 0)
        std::printf(
            "%d objects, %ju bytes: XMLInput read / TinyXML parse, medians = %.2f (goal: at most 1.2)\n",
            kObjects, static_cast<std::uintmax_t>(std::filesystem::file_size(BlockFile())), read / parse);
    std::filesystem::remove(BlockFile());
    benchmark::Shutdown();
    return 0;
}
