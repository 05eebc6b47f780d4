#include "e2e/ChildProcessSupport.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace Quarn::test
{

namespace
{

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& changes)
{
    auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    std::vector<std::string> merged;
    for (char** entry = environ; *entry; ++entry)
    {
        const std::string text = *entry;
        bool changed = false;
        for (const std::string& change : changes)
            changed = changed || nameOf(change) == nameOf(text);
        if (!changed)
            merged.push_back(text);
    }
    for (const std::string& change : changes)
        if (change.find('=') != std::string::npos)
            merged.push_back(change);
    return merged;
}

std::vector<char*> PointersTo(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const Options& options)
{
    // Everything the child needs is prepared before fork: it only changes folder, descriptors and image.
    std::vector<std::string> argumentTexts = arguments;
    std::vector<std::string> environmentTexts = MergedEnvironment(options.environment);
    const std::vector<char*> argv = PointersTo(argumentTexts);
    const std::vector<char*> envp = PointersTo(environmentTexts);
    const std::string output = options.outputFile.empty() ? "/dev/null" : options.outputFile.string();
    const std::string dir = options.workingDir.string();

    m_pid = fork();
    if (m_pid < 0)
        throw std::runtime_error(std::string("fork failed: ") + std::strerror(errno));
    if (m_pid == 0)
    {
        const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = open("/dev/null", O_RDONLY);
        if (out < 0 || in < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(out, 2) < 0)
            _exit(127);
        if (options.inheritedFd >= 0)
            fcntl(options.inheritedFd, F_SETFD, 0);
        if (!dir.empty() && chdir(dir.c_str()) != 0)
            _exit(127);
        execvpe(argv[0], argv.data(), envp.data());
        _exit(127);
    }
}

ChildProcess::~ChildProcess()
{
    // Asked to end first, so a server can remove its socket and lock file.
    if (!Running())
        return;
    kill(m_pid, SIGTERM);
    if (!WaitForExit(std::chrono::seconds(10)) && Running())
    {
        kill(m_pid, SIGKILL);
        Reap(0);
    }
}

bool ChildProcess::Reap(int options)
{
    if (m_ended)
        return true;
    int status = 0;
    pid_t result;
    do
        result = waitpid(m_pid, &status, options);
    while (result < 0 && errno == EINTR);
    if (result != m_pid)
        return false;
    m_ended = true;
    m_status = status;
    return true;
}

bool ChildProcess::Running()
{
    return !Reap(WNOHANG);
}

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (Running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (!m_ended || !WIFEXITED(m_status))
        return std::nullopt;
    return WEXITSTATUS(m_status);
}

void GrowingFile::ReadMore()
{
    std::ifstream in(m_path, std::ios::binary);
    if (!in)
        return;
    in.seekg(static_cast<std::streamoff>(m_text.size()));
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        m_text.append(buffer, static_cast<std::size_t>(in.gcount()));
}

bool GrowingFile::WaitFor(const std::string& text, ChildProcess& writer, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;)
    {
        // Read before looking at the writer, so lines written just before it ended are still seen.
        const bool running = writer.Running();
        ReadMore();
        const std::size_t at = m_text.find(text, m_searchFrom);
        if (at != std::string::npos)
        {
            m_searchFrom = at + text.size();
            return true;
        }
        if (!running || std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void PrepareRunFolder(const std::filesystem::path& dir)
{
    const std::filesystem::path built = std::filesystem::path(QUARN_BINARY_DIR) / "run";
    std::filesystem::create_directory(dir / "run");
    std::filesystem::create_directory_symlink(built.parent_path() / "Resources", dir / "Resources");
    std::filesystem::create_directory_symlink(built / "tools", dir / "run" / "tools");
    std::filesystem::create_symlink(built / "fmod_designercl.exe", dir / "run" / "fmod_designercl.exe");
    std::filesystem::create_directory(dir / "Pictures");
    std::filesystem::create_directory(dir / "config");
    std::ofstream(dir / "config" / "user-dirs.dirs")
        << "XDG_PICTURES_DIR=\"" << (dir / "Pictures").string() << "\"\n";
}

} // namespace Quarn::test
