#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace Quarn::test
{

// A program running beside the test. Its standard output and error go to a file (or /dev/null); an
// environment entry "NAME=VALUE" replaces the test's own NAME, "NAME" alone removes it. A process still
// running when the object goes is stopped.
class ChildProcess
{
public:
    struct Options
    {
        std::filesystem::path workingDir;
        std::vector<std::string> environment;
        std::filesystem::path outputFile;
        // A descriptor the program keeps open under the same number (-1: none).
        int inheritedFd = -1;
    };

    ChildProcess(const std::vector<std::string>& arguments, const Options& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    bool Running();
    // The exit status once the program has ended by itself within the time, else nothing.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);

private:
    bool Reap(int options);

    pid_t m_pid = -1;
    bool m_ended = false;
    int m_status = 0;
};

// Reads a growing text file as it is written and finds lines in it, in order.
class GrowingFile
{
public:
    explicit GrowingFile(std::filesystem::path path) : m_path(std::move(path)) {}

    // Waits until the text appears after the previous find, while the writer keeps running.
    bool WaitFor(const std::string& text, ChildProcess& writer, std::chrono::milliseconds timeout);

private:
    void ReadMore();

    std::filesystem::path m_path;
    std::string m_text;
    std::size_t m_searchFrom = 0;
};

// A run folder of the built game of its own in dir ("dir/run", with "dir/Resources" and the tools the
// resource conversion runs), so that parallel runs of the game share no working files; and an empty
// pictures folder, "dir/Pictures", that XDG_CONFIG_HOME=dir/config points the game to.
void PrepareRunFolder(const std::filesystem::path& dir);

// The environment setting that keeps the system libraries' own leaks (fontconfig's caches, for one) out
// of a sanitized game's exit status.
inline const std::string kLeakSuppressions =
    "LSAN_OPTIONS=suppressions=" QUARN_SOURCE_DIR "/../../lsan-suppressions.txt:print_suppressions=0";

} // namespace Quarn::test
