// Bringing 200 files of 256 KB into memory through the preload manager: every request queued, the
// manager pumped until the reads are done, then every file's bytes taken. The io_uring reader (unbuffered
// where the file system allows it) beside the plain-read reader, in the same run and on the same files.
#include "Resources/PreloadManager.h"
#include "platform/io/PlainFileReader.h"
#include "platform/io/UringFileReader.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{

constexpr int kFiles = 200;
constexpr std::size_t kFileSize = 256 * 1024;

// The files, made once below the current directory (a real disk rather than a memory file system,
// where unbuffered reads are refused) and removed at exit.
class BenchFiles
{
public:
    BenchFiles()
    {
        std::string pattern = (std::filesystem::current_path() / "preload-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        m_dir = pattern;
        std::string bytes(kFileSize, '\0');
        for (int i = 0; i < kFiles; ++i)
        {
            for (std::size_t b = 0; b < bytes.size(); ++b)
                bytes[b] = static_cast<char>((b * 31 + static_cast<std::size_t>(i)) & 0xff);
            const std::string path = (m_dir / ("file" + std::to_string(i) + ".bin")).string();
            std::ofstream(path, std::ios::binary) << bytes;
            m_paths.push_back(path);
        }
    }
    ~BenchFiles()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    const std::vector<std::string>& Paths() const { return m_paths; }

private:
    std::filesystem::path m_dir;
    std::vector<std::string> m_paths;
};

const BenchFiles& Files()
{
    static const BenchFiles files;
    return files;
}

void PreloadAll(benchmark::State& state,
                const std::function<std::unique_ptr<Quarn::platform::FileReader>()>& make)
{
    const BenchFiles& files = Files();
    Quarn::PreloadManager preload(make());
    std::size_t total = 0;
    for (auto _ : state)
    {
        for (int i = 0; i < kFiles; ++i)
            preload.AddRequest(files.Paths()[static_cast<std::size_t>(i)], static_cast<float>(i));
        while (preload.HasPendingReads())
            preload.Update();
        for (const std::string& path : files.Paths())
        {
            std::size_t size = 0;
            const auto data = preload.GetData(path, size);
            benchmark::DoNotOptimize(data.get());
            total += size;
        }
    }
    if (total != static_cast<std::size_t>(state.iterations()) * kFiles * kFileSize)
        state.SkipWithError("a file was not read whole");
    state.SetBytesProcessed(static_cast<std::int64_t>(total));
}

void IoUring(benchmark::State& state)
{
    int error = 0;
    if (!Quarn::platform::UringFileReader::Create(error))
    {
        state.SkipWithError("the kernel refuses io_uring here");
        return;
    }
    PreloadAll(state,
               []
               {
                   int ignored = 0;
                   return std::unique_ptr<Quarn::platform::FileReader>(
                       Quarn::platform::UringFileReader::Create(ignored));
               });
}

void PlainReads(benchmark::State& state)
{
    PreloadAll(state, [] { return std::make_unique<Quarn::platform::PlainFileReader>(); });
}

} // namespace

// Rates over wall time: a read spends its time waiting, which the process's CPU time leaves out.
BENCHMARK(IoUring)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PlainReads)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
