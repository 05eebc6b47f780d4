#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace Quarn
{

// A converter that runs an external tool. The command line is a printf-style template whose "%s"
// are the file paths: kind 0 takes the target and then the source, kind 1 the source alone. The
// template is split into arguments first (double quotes keep an argument together), and the paths
// are put into the arguments, so a path never passes through a shell.
//
// The tool's standard output is logged; its standard error is logged and reported, with "Error: "
// removed once. A tool that cannot start, fails, or stays silent past the time-out is reported; one
// that was killed or ended by a signal leaves no target behind.
class ConvertViaCmdLine
{
public:
    enum Kind
    {
        TargetThenSource = 0,
        SourceOnly = 1,
    };

    ConvertViaCmdLine(int kind, const char* format,
                      std::chrono::milliseconds timeout = std::chrono::seconds(60));

    void operator()(const std::string& source, const std::string& target) const;

    // The argument vector and the command line as one text, for the given paths.
    std::vector<std::string> Arguments(const std::string& source, const std::string& target) const;
    std::string CommandLine(const std::string& source, const std::string& target) const;

private:
    int m_kind;
    std::string m_format;
    std::chrono::milliseconds m_timeout;
};

} // namespace Quarn
