#include "platform/process/ProcessRunner.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Quarn::platform
{

namespace
{

using SteadyClock = std::chrono::steady_clock;

// Without a process descriptor to poll, the end of a tool that closed its pipes is noticed this often.
constexpr std::chrono::milliseconds kExitCheckInterval{10};

class FileDescriptor
{
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    void Reset(int fd)
    {
        Close();
        m_fd = fd;
    }
    void Close()
    {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd = -1;
};

struct Pipe
{
    FileDescriptor read;
    FileDescriptor write;

    bool Open()
    {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return false;
        read.Reset(fds[0]);
        write.Reset(fds[1]);
        return true;
    }
};

class SpawnSetup
{
public:
    SpawnSetup()
    {
        posix_spawn_file_actions_init(&m_actions);
        posix_spawnattr_init(&m_attributes);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&m_actions);
        posix_spawnattr_destroy(&m_attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    // The tool reads nothing, writes into our pipes, runs in a process group of its own (so a
    // time-out can end its children too) and starts with no blocked and no ignored SIGPIPE.
    int Prepare(int outputFd, int errorFd)
    {
        int result = posix_spawn_file_actions_addopen(&m_actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        if (result == 0)
            result = posix_spawn_file_actions_adddup2(&m_actions, outputFd, STDOUT_FILENO);
        if (result == 0)
            result = posix_spawn_file_actions_adddup2(&m_actions, errorFd, STDERR_FILENO);
        sigset_t noSignals;
        sigemptyset(&noSignals);
        sigset_t defaultSignals;
        sigemptyset(&defaultSignals);
        sigaddset(&defaultSignals, SIGPIPE);
        if (result == 0)
            result = posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                                 POSIX_SPAWN_SETSIGDEF);
        if (result == 0)
            result = posix_spawnattr_setpgroup(&m_attributes, 0);
        if (result == 0)
            result = posix_spawnattr_setsigmask(&m_attributes, &noSignals);
        if (result == 0)
            result = posix_spawnattr_setsigdefault(&m_attributes, &defaultSignals);
        return result;
    }

    int Spawn(pid_t& pid, const std::vector<std::string>& arguments)
    {
        std::vector<char*> argv;
        argv.reserve(arguments.size() + 1);
        for (const auto& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        return posix_spawnp(&pid, argv[0], &m_actions, &m_attributes, argv.data(), environ);
    }

private:
    posix_spawn_file_actions_t m_actions;
    posix_spawnattr_t m_attributes;
};

// A descriptor that becomes readable when the process ends, or -1 where the kernel offers none.
int OpenProcessDescriptor(pid_t pid)
{
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

ProcessResult ResultOf(int status)
{
    ProcessResult result;
    if (WIFSIGNALED(status))
    {
        result.end = ProcessEnd::Signalled;
        result.signal = WTERMSIG(status);
    }
    else
    {
        result.end = ProcessEnd::Exited;
        result.exitCode = WEXITSTATUS(status);
    }
    return result;
}

bool Reap(pid_t pid, int options, int& status)
{
    for (;;)
    {
        const pid_t reaped = waitpid(pid, &status, options);
        if (reaped == pid)
            return true;
        if (reaped == 0 || errno != EINTR)
            return false;
    }
}

// One tool's two output pipes and what listens to them.
class OutputReader
{
public:
    OutputReader(Pipe& output, Pipe& error, const ProcessRequest& request)
        : m_streams{{&output.read, &request.onOutput}, {&error.read, &request.onError}}
    {
    }

    // Polls the open pipes and the process descriptor; returns whether any output arrived and sets
    // exited when the descriptor says the tool ended.
    bool Wait(int pidFd, int timeoutMs, bool& exited)
    {
        pollfd fds[3];
        nfds_t count = 0;
        for (auto& stream : m_streams)
        {
            if (stream.fd->IsOpen())
                fds[count++] = {stream.fd->Get(), POLLIN, 0};
        }
        const nfds_t pidIndex = count;
        if (pidFd >= 0)
            fds[count++] = {pidFd, POLLIN, 0};
        if (poll(fds, count, timeoutMs) <= 0)
            return false;
        exited = pidFd >= 0 && fds[pidIndex].revents != 0;
        bool any = false;
        for (nfds_t i = 0; i < pidIndex; ++i)
        {
            if (fds[i].revents != 0)
                any = ReadOnce(StreamOf(fds[i].fd)) || any;
        }
        return any;
    }

    // Reads what the ended tool left in the pipes without waiting for writers it may have left behind.
    void Drain()
    {
        for (auto& stream : m_streams)
        {
            if (!stream.fd->IsOpen())
                continue;
            fcntl(stream.fd->Get(), F_SETFL, fcntl(stream.fd->Get(), F_GETFL) | O_NONBLOCK);
            while (ReadOnce(stream))
            {
            }
        }
    }

private:
    struct Stream
    {
        FileDescriptor* fd;
        const OutputChunk* listener;
    };

    Stream& StreamOf(int fd) { return m_streams[0].fd->Get() == fd ? m_streams[0] : m_streams[1]; }

    static bool ReadOnce(Stream& stream)
    {
        char buffer[kMaxChunk];
        ssize_t bytes;
        do
            bytes = read(stream.fd->Get(), buffer, sizeof(buffer));
        while (bytes < 0 && errno == EINTR);
        if (bytes <= 0)
        {
            if (bytes == 0 || errno != EAGAIN)
                stream.fd->Close();
            return false;
        }
        if (*stream.listener)
            (*stream.listener)(std::string_view(buffer, static_cast<std::size_t>(bytes)));
        return true;
    }

    Stream m_streams[2];
};

} // namespace

ProcessResult RunProcess(const ProcessRequest& request)
{
    ProcessResult notStarted;
    if (request.arguments.empty() || request.arguments[0].empty())
    {
        notStarted.error = EINVAL;
        return notStarted;
    }
    Pipe output;
    Pipe error;
    if (!output.Open() || !error.Open())
    {
        notStarted.error = errno;
        return notStarted;
    }
    pid_t pid = 0;
    {
        SpawnSetup setup;
        int result = setup.Prepare(output.write.Get(), error.write.Get());
        if (result == 0)
            result = setup.Spawn(pid, request.arguments);
        if (result != 0)
        {
            notStarted.error = result;
            return notStarted;
        }
    }
    output.write.Close();
    error.write.Close();

    FileDescriptor pidFd(OpenProcessDescriptor(pid));
    OutputReader reader(output, error, request);
    auto deadline = SteadyClock::now() + request.idleTimeout;
    int status = 0;
    for (;;)
    {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now());
        if (left.count() <= 0)
            break;
        auto wait = left;
        if (!pidFd.IsOpen())
            wait = std::min(wait, kExitCheckInterval);
        bool exited = false;
        if (reader.Wait(pidFd.Get(), static_cast<int>(wait.count()), exited))
            deadline = SteadyClock::now() + request.idleTimeout;
        if (exited || Reap(pid, WNOHANG, status))
        {
            if (exited)
                Reap(pid, 0, status);
            reader.Drain();
            return ResultOf(status);
        }
    }
    // The group takes the tool's children with it; the tool itself may have left the group.
    kill(-pid, SIGKILL);
    kill(pid, SIGKILL);
    Reap(pid, 0, status);
    ProcessResult timedOut;
    timedOut.end = ProcessEnd::TimedOut;
    return timedOut;
}

} // namespace Quarn::platform
